#include "accounts/UserCardDlg.h"

#include "accounts/EditUserDlg.h"
#include "accounts/PasswordDlg.h"
#include "controls/SkinButton.h"
#include "controls/SkinFont.h"
#include "core/DialogService.h"
#include "core/DlgItem.h"
#include "core/Globals.h"
#include "core/StringTable.h"
#include "external/records/Records.h"
#include "res/resource.h"

#include <QPainter>
#include <QPainterPath>
#include <QStyleOptionFocusRect>

namespace {
constexpr int kButtonRightGap = 12;
constexpr int kButtonBottomGap = 8;
constexpr int kCornerSize = 2;
constexpr int kButtonIconSize = 16;
}  // namespace

std::array<QString, 6> UserCardLines(const UserRecord& user)
{
    return {QStringLiteral("%1 : %2").arg(LoadStr(115)).arg(user.number),
            QString::fromStdString(RecordName(user)),
            QStringLiteral("%1 : %2").arg(LoadStr(106), LoadStr(user.sex == 1 ? 107 : 108)),
            QStringLiteral("%1 : %2").arg(LoadStr(109)).arg(user.age),
            QStringLiteral("%1 : %2 Kg").arg(LoadStr(117)).arg(user.weight),
            QStringLiteral("%1 : %2 cm").arg(LoadStr(118)).arg(user.stride)};
}

CUserCardDlg::CUserCardDlg(QWidget* parent) : QWidget(parent), m_skin(ReadUserCardSkin())
{
    SetCtrlId(this, IDD_USER_CARD);
    resize(kTemplateSize);
    // Reachable by Tab, so that a screen reader user lands on the card and hears its lines.
    setFocusPolicy(Qt::TabFocus);

    // A background that does not load leaves the card at its template size, without region.
    if (!m_skin.backBmp.isEmpty() && m_back.load(m_skin.backBmp)) {
        resize(m_back.size());
        QPainterPath path;
        path.addRoundedRect(QRectF(0, 0, m_back.width() + 1, m_back.height() + 1), kCornerSize, kCornerSize);
        setMask(QRegion(path.toFillPolygon().toPolygon()));
    }
    if (g_pLoginUser)
        m_picture.load(UserPicturePath(g_pLoginUser->photo));

    auto makeButton = [this](int id, const QString& iconFile, int tip) {
        auto* b = new CSkinButton(this);
        SetCtrlId(b, id);
        b->resize(kButtonSize);
        b->SetIconImage(LoadIconFile(iconFile), kButtonIconSize, kButtonIconSize);
        b->SetIconAlign(CSkinButton::AlignTop);
        b->SetTipText(LoadStr(tip), true);
        b->SetDrawFlatFocus(true);
        b->setAccessibleName(LoadStr(tip));  // no caption: the tooltip names it
        for (int slot : {CSkinButton::BackHover, CSkinButton::BackNormal, CSkinButton::BackFocus})
            b->SetStateColour(slot, ColorRefFromRgb(255, 255, 255));
        return b;
    };
    m_profile = makeButton(IDC_CARD_PROFILE, m_skin.dataIcon, 203);
    m_password = makeButton(IDC_CARD_PASSWORD, m_skin.passwordIcon, 204);
    connect(m_profile, &QAbstractButton::clicked, this, &CUserCardDlg::OnProfile);
    connect(m_password, &QAbstractButton::clicked, this, &CUserCardDlg::OnPassword);
    setTabOrder(this, m_profile);
    setTabOrder(m_profile, m_password);
    UpdateAccessibleText();
}

void CUserCardDlg::resizeEvent(QResizeEvent* e)
{
    QWidget::resizeEvent(e);
    const QRect c = rect();
    if (m_password)
        m_password->move(c.right() + 1 - kButtonRightGap - m_password->width(),
                         c.bottom() + 1 - kButtonBottomGap - m_password->height());
    if (m_profile && m_password)
        m_profile->move(m_password->x() - m_profile->width(),
                        m_password->y() + m_password->height() - m_profile->height());
}

void CUserCardDlg::showEvent(QShowEvent* e)
{
    QWidget::showEvent(e);
    UpdateAccessibleText();
}

void CUserCardDlg::OnProfile()
{
    if (!g_pLoginUser)
        return;
    CEditUserDlg dlg(this);
    dlg.SetUser(g_pLoginUser);
    if (RunModal(dlg) == QDialog::Accepted) {
        Refresh();
        emit ProfileEdited();
    }
}

void CUserCardDlg::OnPassword()
{
    if (!g_pLoginUser)
        return;
    CPasswordDlg dlg(this);
    dlg.SetUser(g_pLoginUser);
    RunModal(dlg);
}

void CUserCardDlg::Refresh()
{
    UpdateAccessibleText();
    update();
}

void CUserCardDlg::UpdateAccessibleText()
{
    if (!g_pLoginUser) {
        setAccessibleName(QString());
        setAccessibleDescription(QString());
        return;
    }
    const std::array<QString, 6> lines = UserCardLines(*g_pLoginUser);
    const QString name = QStringList(lines.begin(), lines.end()).join(QStringLiteral(", "));
    if (name == accessibleName())
        return;
    setAccessibleName(name);
    setAccessibleDescription(QStringList(lines.begin(), lines.end()).join(QLatin1Char('\n')));
}

void CUserCardDlg::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    if (!m_back.isNull())
        p.drawPixmap(0, 0, m_back);
    if (!g_pLoginUser)
        return;

    // The picture frame: two rounded rectangles over the default white brush, inner then outer.
    const QRect& box = m_skin.picture;
    const int x = box.x(), y = box.y(), w = box.width(), h = box.height();
    p.setBrush(Qt::white);
    p.setPen(QPen(QColor(222, 222, 222), 1));
    p.drawRoundedRect(QRect(x - 1, y - 1, w + 1, h + 1), kCornerSize, kCornerSize);
    p.setPen(QPen(QColor(202, 198, 183), 1));
    p.drawRoundedRect(QRect(x - 2, y - 2, w + 3, h + 3), kCornerSize, kCornerSize);
    if (!m_picture.isNull()) {
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.drawImage(QRect(x, y, w, h), m_picture);
    }

    const std::array<QString, 6> lines = UserCardLines(*g_pLoginUser);
    const std::array<const CardLineSkin*, 6> skins = {&m_skin.id,  &m_skin.name,   &m_skin.sex,
                                                      &m_skin.age, &m_skin.weight, &m_skin.stride};
    for (size_t i = 0; i < lines.size(); ++i) {
        const CardLineSkin& s = *skins[i];
        p.setFont(SkinFont(s.fontName, s.fontSize, s.fontWeight));
        p.setPen(ColorRefToQColor(s.textColor));
        // Plain single-line text at the item's top-left: a name is never read as markup.
        p.drawText(QRect(s.pos, QSize(std::max(1, width() - s.pos.x()), std::max(1, height() - s.pos.y()))),
                   Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, lines[i]);
    }

    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = rect().adjusted(1, 1, -1, -1);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &p, this);
    }
}
