#include "app/Pages.h"

#include "accounts/LoginPageDlg.h"

#include "core/DlgItem.h"
#include "core/Globals.h"
#include "core/SkinSections.h"
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
    const QPixmap show(ProgramFile(QStringLiteral("Show.bmp")));
    if (!show.isNull()) {
        m_picture->setPixmap(show);
        m_picture->setGeometry(0, 0, show.width(), show.height());
        resize(show.size());
    }
}

// The one place where the real login page class is chosen.
QWidget* CreateLoginPage(QWidget* parent)
{
    return CreateLoginPageDlg(parent);
}
