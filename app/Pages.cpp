#include "app/Pages.h"

#include "accounts/LoginPageDlg.h"

#include "core/DlgItem.h"
#include "core/Globals.h"
#include "core/SkinSections.h"
#include "external/skin/SkinImage.h"
#include "res/resource.h"

#include <QLabel>
#include <QPixmap>

CPicturePane::CPicturePane(QWidget* parent) : QWidget(parent), m_picture(new QLabel(this))
{
    SetCtrlId(this, IDD_PICTURE_PANE);
    SetCtrlId(m_picture, IDC_SHOW_PICTURE);
    resize(kDefaultSize);
    m_picture->setGeometry(rect());
    const QPixmap show = LoadSkinBitmap(ProgramFile(QStringLiteral("Show.bmp")), devicePixelRatioF());
    if (!show.isNull()) {
        m_picture->setPixmap(show);
        m_picture->setGeometry(QRect(QPoint(0, 0), LogicalSize(show)));
        resize(LogicalSize(show));
    }
}

// The one place where the real login page class is chosen.
QWidget* CreateLoginPage(QWidget* parent)
{
    return CreateLoginPageDlg(parent);
}
