#include "app/Pages.h"

#include "accounts/LoginPageDlg.h"

#include "app/DlgItem.h"
#include "app/Globals.h"
#include "app/WindowSkin.h"
#include "external/skin/Skin.h"
#include "res/resource.h"

#include <QImageReader>
#include <QLabel>
#include <QPixmap>

CPicturePane::CPicturePane(QWidget* parent) : QWidget(parent), m_picture(new QLabel(this))
{
    SetCtrlId(this, IDD_PICTURE_PANE);
    SetCtrlId(m_picture, IDC_SHOW_PICTURE);
    resize(kDefaultSize);
    m_picture->setGeometry(rect());
    const QPixmap show(g_strAppPath + QStringLiteral("Show.bmp"));
    if (!show.isNull()) {
        m_picture->setPixmap(show);
        m_picture->setGeometry(0, 0, show.width(), show.height());
        resize(show.size());
    }
}

QSize SkinBitmapSize(const QString& section, const QString& key, const QString& def, QSize fallback)
{
    const QSize s = QImageReader(SkinFile(section, key, def)).size();
    return s.isValid() && !s.isEmpty() ? s : fallback;
}

namespace {

// Stands in for a page whose own class is not part of the program yet: the skin's
// background of that page at its size.
QWidget* BlankPage(QWidget* parent, int id, const QString& section, QSize size)
{
    auto* page = new QWidget(parent);
    SetCtrlId(page, id);
    WS_SetSkin(page);
    WS_SetBackBmp(page, SkinFile(section, QStringLiteral("BackBmp"), section == QLatin1String("Page2")
                                                                         ? QStringLiteral("P2_back.bmp")
                                                                         : QStringLiteral("P3_back.bmp")));
    page->resize(size);
    return page;
}

}  // namespace

// The one place where the real login page class is chosen.
QWidget* CreateLoginPage(QWidget* parent)
{
    return CreateLoginPageDlg(parent);
}

// The one place where the real user page class is chosen.
QWidget* CreateUserPage(QWidget* parent)
{
    return BlankPage(parent, IDD_NAV_PANEL, QStringLiteral("Page3"), QSize(868, 500));
}
