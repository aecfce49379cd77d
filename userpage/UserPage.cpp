#include "userpage/UserPage.h"

#include "core/DlgItem.h"
#include "core/SkinSections.h"
#include "external/skin/Skin.h"
#include "res/resource.h"

#include <QWidget>

QWidget* CreateUserPage(QWidget* parent)
{
    // Until the page's own parts exist: the skin's background of the page at its size.
    auto* page = new QWidget(parent);
    SetCtrlId(page, IDD_NAV_PANEL);
    WS_SetSkin(page);
    WS_SetBackBmp(page, ReadUserPageSkin().backBmp);
    page->resize(868, 500);
    return page;
}
