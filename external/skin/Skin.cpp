#include "external/skin/Skin.h"

#include "external/skin/SkinFrame.h"

#include <QPointer>
#include <QWidget>

#include <algorithm>
#include <vector>

namespace {

// Every frame and page skin made, so that WS_FreeSkin can release them.
std::vector<QPointer<QObject>>& Skinned()
{
    static std::vector<QPointer<QObject>> list;
    return list;
}

CSkinFrame* Frame(QWidget* window)
{
    if (!window || !window->isWindow())
        return nullptr;
    CSkinFrame* existing = CSkinFrame::Of(window, false);
    if (existing)
        return existing;
    CSkinFrame* f = CSkinFrame::Of(window, true);
    Skinned().emplace_back(f);
    return f;
}

QColor FromColorRef(uint32_t c)
{
    return QColor(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF));
}

template <class Fn>
int WithFrame(QWidget* window, Fn fn)
{
    CSkinFrame* f = Frame(window);
    if (!f)
        return 0;
    fn(f->Images());
    f->Update();
    return 1;
}

void LoadStates(std::array<QPixmap, 3>& states, const QString& normal, const QString& hover, const QString& pressed)
{
    states[SkinNormal] = LoadSkinBitmap(normal);
    states[SkinHover] = LoadSkinBitmap(hover);
    states[SkinPressed] = LoadSkinBitmap(pressed);
}

}  // namespace

int WS_SetTitleTextColor(QWidget* window, uint32_t color)
{
    return WithFrame(window, [&](SkinImages& im) { im.textColor = FromColorRef(color); });
}

int WS_SetTitleIcon(QWidget* window, const QString& path)
{
    return WithFrame(window, [&](SkinImages& im) {
        QPixmap icon = LoadSkinBitmap(path);
        // A larger icon image stands in for the 16-pixel caption icon at a higher pixel density.
        if (!icon.isNull() && icon.width() > 16)
            icon.setDevicePixelRatio(icon.width() / 16.0);
        im.icon = icon;
    });
}

int WS_SetTitleBmp(QWidget* window, const QString& left, const QString& center, const QString& right)
{
    return WithFrame(window, [&](SkinImages& im) {
        im.titleLeft = LoadSkinBitmap(left);
        im.titleCenter = LoadSkinBitmap(center);
        im.titleRight = LoadSkinBitmap(right);
    });
}

int WS_SetSysbtnParameter(QWidget* window, int top, int right, int spacing)
{
    return WithFrame(window, [&](SkinImages& im) {
        im.buttonTop = top;
        im.buttonRight = right;
        im.buttonSpacing = spacing;
    });
}

int WS_SetClosebtnBmp(QWidget* window, const QString& normal, const QString& hover, const QString& pressed)
{
    return WithFrame(window, [&](SkinImages& im) { LoadStates(im.close, normal, hover, pressed); });
}

int WS_SetMaxbtnBmp(QWidget* window, const QString& normal, const QString& hover, const QString& pressed)
{
    return WithFrame(window, [&](SkinImages& im) { LoadStates(im.max, normal, hover, pressed); });
}

int WS_SetMinbtnBmp(QWidget* window, const QString& normal, const QString& hover, const QString& pressed)
{
    return WithFrame(window, [&](SkinImages& im) { LoadStates(im.min, normal, hover, pressed); });
}

int WS_SetBorderBmp(QWidget* window, const QString& left, const QString& bottomLeft, const QString& bottomCenter,
                    const QString& bottomRight, const QString& right)
{
    return WithFrame(window, [&](SkinImages& im) {
        im.borderLeft = LoadSkinBitmap(left);
        im.borderBottomLeft = LoadSkinBitmap(bottomLeft);
        im.borderBottomCenter = LoadSkinBitmap(bottomCenter);
        im.borderBottomRight = LoadSkinBitmap(bottomRight);
        im.borderRight = LoadSkinBitmap(right);
    });
}

int WS_GetRound(QWidget* window, int top, int bottom)
{
    return WithFrame(window, [&](SkinImages& im) {
        im.roundTop = std::max(0, top);
        im.roundBottom = std::max(0, bottom);
    });
}

int WS_CalcWindowRect(QWidget* window, QRect& rect, int /*flags*/)
{
    const CSkinFrame* f = CSkinFrame::Of(window, false);
    if (!f)
        return 0;
    rect = GrowByFrame(rect, SkinFrameMargins(f->Images(), f->Style()));
    return 1;
}

int WS_SetSkin(QWidget* page)
{
    if (!page)
        return 0;
    if (!CSkinPage::Of(page, false))
        Skinned().emplace_back(CSkinPage::Of(page, true));
    return 1;
}

int WS_SetBackBmp(QWidget* page, const QString& path)
{
    if (!page)
        return 0;
    WS_SetSkin(page);
    CSkinPage::Of(page, false)->SetBackground(LoadSkinBitmap(path));
    return 1;
}

int WS_FreeSkin()
{
    std::vector<QPointer<QObject>> list;
    list.swap(Skinned());
    for (const QPointer<QObject>& o : list) {
        if (auto* f = qobject_cast<CSkinFrame*>(o.data()))
            f->Release();
        else if (auto* p = qobject_cast<CSkinPage*>(o.data()))
            p->Release();
    }
    return 1;
}

int WS_SetStyle(QWidget* window, unsigned style)
{
    CSkinFrame* f = Frame(window);
    if (!f)
        return 0;
    f->SetStyle(style);
    return 1;
}

unsigned WS_GetStyle(QWidget* window)
{
    const CSkinFrame* f = CSkinFrame::Of(window, false);
    return f ? f->Style() : 0;
}

QMenu* WS_GetSystemMenu(QWidget* window)
{
    CSkinFrame* f = Frame(window);
    return f ? f->SystemMenu() : nullptr;
}
