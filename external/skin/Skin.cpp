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

// The pixel density the window is drawn at: bitmaps are taken at it (@2x files from 1.5 on).
qreal RatioOf(const QWidget* w)
{
    return w ? w->devicePixelRatioF() : 1.0;
}

template <class Fn>
int WithFrame(QWidget* window, Fn fn)
{
    CSkinFrame* f = Frame(window);
    if (!f)
        return 0;
    fn(f->Images(), RatioOf(window));
    f->Update();
    return 1;
}

void LoadStates(std::array<QPixmap, 3>& states, qreal ratio, const QString& normal, const QString& hover,
                const QString& pressed)
{
    states[SkinNormal] = LoadSkinBitmap(normal, ratio);
    states[SkinHover] = LoadSkinBitmap(hover, ratio);
    states[SkinPressed] = LoadSkinBitmap(pressed, ratio);
}

}  // namespace

int WS_SetTitleTextColor(QWidget* window, uint32_t color)
{
    return WithFrame(window, [&](SkinImages& im, qreal) { im.textColor = FromColorRef(color); });
}

int WS_SetTitleIcon(QWidget* window, const QString& path)
{
    return WithFrame(window, [&](SkinImages& im, qreal ratio) {
        // From an icon file the entry that fills the caption icon's pixels at this density.
        const QImage icon = LoadImageFile(path, ratio, kCaptionIconSize);
        im.icon = icon.isNull() ? QPixmap() : QPixmap::fromImage(icon);
    });
}

int WS_SetTitleBmp(QWidget* window, const QString& left, const QString& center, const QString& right)
{
    return WithFrame(window, [&](SkinImages& im, qreal ratio) {
        im.titleLeft = LoadSkinBitmap(left, ratio);
        im.titleCenter = LoadSkinBitmap(center, ratio);
        im.titleRight = LoadSkinBitmap(right, ratio);
    });
}

int WS_SetSysbtnParameter(QWidget* window, int top, int right, int spacing)
{
    return WithFrame(window, [&](SkinImages& im, qreal) {
        im.buttonTop = top;
        im.buttonRight = right;
        im.buttonSpacing = spacing;
    });
}

int WS_SetClosebtnBmp(QWidget* window, const QString& normal, const QString& hover, const QString& pressed)
{
    return WithFrame(window, [&](SkinImages& im, qreal ratio) { LoadStates(im.close, ratio, normal, hover, pressed); });
}

int WS_SetMaxbtnBmp(QWidget* window, const QString& normal, const QString& hover, const QString& pressed)
{
    return WithFrame(window, [&](SkinImages& im, qreal ratio) { LoadStates(im.max, ratio, normal, hover, pressed); });
}

int WS_SetMinbtnBmp(QWidget* window, const QString& normal, const QString& hover, const QString& pressed)
{
    return WithFrame(window, [&](SkinImages& im, qreal ratio) { LoadStates(im.min, ratio, normal, hover, pressed); });
}

int WS_SetBorderBmp(QWidget* window, const QString& left, const QString& bottomLeft, const QString& bottomCenter,
                    const QString& bottomRight, const QString& right)
{
    return WithFrame(window, [&](SkinImages& im, qreal ratio) {
        im.borderLeft = LoadSkinBitmap(left, ratio);
        im.borderBottomLeft = LoadSkinBitmap(bottomLeft, ratio);
        im.borderBottomCenter = LoadSkinBitmap(bottomCenter, ratio);
        im.borderBottomRight = LoadSkinBitmap(bottomRight, ratio);
        im.borderRight = LoadSkinBitmap(right, ratio);
    });
}

int WS_GetRound(QWidget* window, int top, int bottom)
{
    return WithFrame(window, [&](SkinImages& im, qreal) {
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
    CSkinPage::Of(page, false)->SetBackground(LoadSkinBitmap(path, RatioOf(page)));
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
