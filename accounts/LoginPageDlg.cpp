#include "accounts/LoginPageDlg.h"

#include "accounts/AccountRules.h"
#include "accounts/LoginDlg.h"
#include "core/DialogService.h"
#include "core/DlgItem.h"
#include "core/Globals.h"
#include "core/MainWindowApi.h"
#include "core/Profile.h"
#include "core/SkinSections.h"
#include "core/StringTable.h"
#include "controls/PictureFrame.h"
#include "external/records/WndMessage.h"
#include "external/skin/Skin.h"
#include "external/skin/SkinImage.h"
#include "external/userdb/UserDb.h"
#include "res/resource.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QComboBox>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QImageReader>
#include <QLabel>
#include <QLinearGradient>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QTimer>

#include <algorithm>
#include <iterator>
#include <vector>

namespace {

constexpr QSize kDefaultPageSize{440, 300};
// Template geometry of the page (a page of the default size); the slots are laid out from it.
constexpr int kPictureX = 186;
constexpr int kPictureSize = 60;
constexpr QSize kNameSize{150, 20};
constexpr QSize kRightsSize{150, 18};
constexpr QSize kPasswordSize{100, 24};
constexpr QSize kLoginSize{64, 26};

void SetTextColour(QWidget* w, const QColor& c)
{
    QPalette pal = w->palette();
    pal.setColor(QPalette::WindowText, c);
    pal.setColor(QPalette::Text, c);
    w->setPalette(pal);
}

// The rings of a slot's picture while it has the keyboard focus (Windows' focus blue); the outer
// ring keeps the colour under the mouse too, so the focus never hides behind the hover.
constexpr COLORREF kFocusRing = 0xD77800;  // RGB(0, 120, 215)
constexpr COLORREF kSlotRing = 0xFFFFFF;
constexpr COLORREF kSlotHoverRing = 0x800000;  // RGB(0, 0, 128)

void ShowSlotFocus(CPictureFrame* picture, bool focused)
{
    picture->SetRingColour(focused ? kFocusRing : kSlotRing);
    picture->SetHoverRing2(focused ? kFocusRing : kSlotHoverRing);
}

// A click on a picture frame, as the frame itself reports one to its parent.
void PressPicture(CPictureFrame* picture)
{
    if (picture->parentWidget() && !picture->GetPath().isEmpty())
        PostMessage(picture->parentWidget(), WM_PICTURE_CLICKED,
                    static_cast<uintptr_t>(static_cast<intptr_t>(picture->GetValue())), reinterpret_cast<intptr_t>(picture));
}

// A picture frame seen by assistive technology: a button named after what it shows (its tooltip
// unless given a name), which can be pressed.
class CPictureAccessible : public QAccessibleWidget {
public:
    explicit CPictureAccessible(CPictureFrame* w) : QAccessibleWidget(w, QAccessible::Button) {}
    QString text(QAccessible::Text t) const override
    {
        QString s = QAccessibleWidget::text(t);
        if (t == QAccessible::Name && s.isEmpty())
            s = static_cast<CPictureFrame*>(widget())->GetTipText();
        return s;
    }
    QStringList actionNames() const override { return QStringList{pressAction()} + QAccessibleWidget::actionNames(); }
    void doAction(const QString& action) override
    {
        if (action == pressAction())
            PressPicture(static_cast<CPictureFrame*>(widget()));
        else
            QAccessibleWidget::doAction(action);
    }
};

QAccessibleInterface* PictureAccessibleFactory(const QString& key, QObject* object)
{
    if (key == QLatin1String("CPictureFrame"))
        if (auto* frame = qobject_cast<CPictureFrame*>(object))
            return new CPictureAccessible(frame);
    return nullptr;
}

// Widens a button or label to its text when the text needs more than the template gives.
void FitWidth(QWidget* w, const QString& text, int padding)
{
    const int need = QFontMetrics(w->font()).horizontalAdvance(text) + padding;
    if (need > w->width())
        w->resize(need, w->height());
}

}  // namespace

QSize LoginPageSize(const QString& backBmpPath)
{
    const QSize size = QImageReader(backBmpPath).size();
    return size.isValid() && !size.isEmpty() ? size : kDefaultPageSize;
}

QWidget* CreateLoginPageDlg(QWidget* parent)
{
    return new CLoginPageDlg(parent);
}

CLoginPageDlg::CLoginPageDlg(QWidget* parent) : QWidget(parent)
{
    static const bool accessibleInstalled = (QAccessible::installFactory(&PictureAccessibleFactory), true);
    (void)accessibleInstalled;
    SetCtrlId(this, IDD_LOGIN_PAGE);
    CreateControls();
    OnInitDialog();
}

CLoginPageDlg::~CLoginPageDlg()
{
    // The pictures point at the records; let go of them before the records go.
    for (CUserPictureFrame* p : m_pictures)
        p->SetUser(nullptr);
}

void CLoginPageDlg::CreateControls()
{
    const QString backPath = ReadLoginPageSkin().backBmp;
    resize(LoginPageSize(backPath));
    WS_SetSkin(this);
    WS_SetBackBmp(this, backPath);
    m_back = LoadSkinBitmap(backPath);
    const int w = width();
    const int h = height();

    m_logo = new QLabel(this);
    SetCtrlId(m_logo, IDC_LOGIN_LOGO);
    m_logo->setGeometry(20, 20, 0, 0);

    for (int i = 0; i < kSlots; ++i) {
        auto* picture = new CUserPictureFrame(this);
        SetCtrlId(picture, IDC_SLOT_PICTURE0 + i);
        picture->setGeometry(kPictureX, 20 + i * (kPictureSize + 8), kPictureSize, kPictureSize);
        picture->setCursor(Qt::PointingHandCursor);
        // The keyboard reaches a slot with Tab and presses it with Enter or Space.
        picture->setFocusPolicy(Qt::StrongFocus);
        picture->installEventFilter(this);
        m_pictures[i] = picture;

        auto* name = new QLabel(this);
        SetCtrlId(name, IDC_SLOT_NAME0 + i);
        name->setTextFormat(Qt::PlainText);  // a user's name, never markup
        name->setGeometry(QRect(QPoint(kPictureX + kPictureSize + 8, 25 + i * (kPictureSize + 8)), kNameSize));
        QFont f = name->font();
        f.setBold(true);
        name->setFont(f);
        SetTextColour(name, QColor(22, 22, 22));
        m_names[i] = name;
    }

    m_rights = new QLabel(this);
    SetCtrlId(m_rights, IDC_SLOT_RIGHTS);
    m_rights->setTextFormat(Qt::PlainText);
    m_rights->resize(kRightsSize);
    SetTextColour(m_rights, QColor(103, 125, 153));

    m_password = new QLineEdit(this);
    SetCtrlId(m_password, IDC_PASSWORD);
    m_password->setEchoMode(QLineEdit::Password);
    m_password->resize(kPasswordSize);
    m_password->setAccessibleName(LoadStr(762));

    m_login = new QPushButton(this);
    SetCtrlId(m_login, IDOK);
    m_login->resize(kLoginSize);

    m_other = new QPushButton(this);
    SetCtrlId(m_other, IDC_OTHER_USER);
    m_exit = new QPushButton(this);
    SetCtrlId(m_exit, IDC_LOGIN_EXIT);
    m_exit->setGeometry(w - 96, h - 40, 84, 28);
    m_other->setGeometry(w - 190, h - 40, 88, 28);

    m_languageLabel = new QLabel(this);
    SetCtrlId(m_languageLabel, IDC_LANGUAGE_LABEL);
    m_languageLabel->setGeometry(20, h - 64, 150, 20);
    m_languageLabel->setWordWrap(true);
    m_languageLabel->setTextFormat(Qt::PlainText);
    m_languageLabel->setAlignment(Qt::AlignLeft | Qt::AlignBottom);
    SetTextColour(m_languageLabel, Qt::black);
    m_language = new QComboBox(this);
    SetCtrlId(m_language, IDC_LANGUAGE);
    m_language->setGeometry(20, h - 42, 130, 26);
    m_languageLabel->setBuddy(m_language);

    // Enter in the password box logs in through returnPressed alone: the hosting dialog must not
    // also press a default button (that would run a second attempt on the cleared box).
    // Enter on a focused button presses it all the same (the page's event filter), as Space does.
    for (QPushButton* b : {m_login, m_other, m_exit}) {
        b->setAutoDefault(false);
        b->setDefault(false);
        b->installEventFilter(this);
    }

    ApplyDialogTexts(this, IDD_LOGIN_PAGE);
    FitTextWidths();

    connect(m_login, &QPushButton::clicked, this, &CLoginPageDlg::OnOK);
    connect(m_password, &QLineEdit::returnPressed, this, &CLoginPageDlg::OnOK);
    connect(m_other, &QPushButton::clicked, this, &CLoginPageDlg::OnOtherUser);
    connect(m_exit, &QPushButton::clicked, this, [this] {
        // A queued, non-spontaneous close of the main window: it ends the program
        // (only the window's own close box hides it in the tray).
        QMetaObject::invokeMethod(window(), "close", Qt::QueuedConnection);
    });
    connect(m_language, &QComboBox::activated, this, &CLoginPageDlg::OnLanguageChange);
}

void CLoginPageDlg::FitTextWidths()
{
    // Longer texts of another language widen the bottom buttons leftwards, keeping the right edge.
    const int exitRight = m_exit->geometry().right();
    FitWidth(m_exit, m_exit->text(), 24);
    m_exit->move(exitRight - m_exit->width() + 1, m_exit->y());
    const int otherRight = m_exit->x() - 6;
    FitWidth(m_other, m_other->text(), 24);
    m_other->move(otherRight - m_other->width(), m_other->y());
    FitWidth(m_login, m_login->text(), 20);
    // The language label stays inside the left panel, as wide as the combo under it and so clear
    // of the panel's edge: a long text wraps upwards over the combo.
    const int labelWidth = m_language->width();
    const int labelHeight = std::max(20, m_languageLabel->heightForWidth(labelWidth));
    m_languageLabel->setGeometry(m_language->x(), m_language->y() - 2 - labelHeight, labelWidth, labelHeight);
}

void CLoginPageDlg::OnInitDialog()
{
    // The logo from the skin, placed where the skin says; without it the template's place stays.
    const LoginPageSkin skin = ReadLoginPageSkin();
    const QPixmap logo = LoadSkinBitmap(skin.leftLog, devicePixelRatioF());
    if (!logo.isNull()) {
        m_logo->setPixmap(logo);
        m_logo->setGeometry(QRect(skin.leftLogPos, LogicalSize(logo)));
    }

    m_password->setMaxLength(10);
    for (int i = 0; i < kSlots; ++i) {
        m_pictures[i]->hide();
        m_names[i]->hide();
    }
    m_rights->hide();
    m_password->hide();
    m_login->hide();

    std::vector<std::unique_ptr<UserRecord>> users;
    USER_GetUserList(1, 2, users);
    for (size_t i = 0; i < users.size() && i < static_cast<size_t>(kSlots); ++i)
        FillSlot(static_cast<int>(i), std::move(users[i]));
    LayoutSlots();
    FillLanguageCombo();
    ChainTabs();
}

void CLoginPageDlg::FillSlot(int slot, std::unique_ptr<UserRecord> user)
{
    const QString path = UserPicturePath(user->photo);
    const QString name = QString::fromStdString(RecordName(*user));
    CUserPictureFrame* picture = m_pictures[slot];
    picture->SetCornerSize(5);
    picture->SetStretch(true);
    ShowSlotFocus(picture, picture->hasFocus());
    picture->SetPicture(path, name, slot);
    picture->setAccessibleName(name);
    picture->SetUser(user.get());
    picture->show();
    if (const QPixmap bmp = LoadSkinBitmap(path); !bmp.isNull())
        picture->SetBitmap(bmp);

    m_names[slot]->setText(name);
    m_names[slot]->show();
    m_users[slot] = std::move(user);
    m_filled = slot + 1;
}

void CLoginPageDlg::LayoutSlots()
{
    const QRect first = m_pictures[0]->geometry();
    const std::vector<SlotPlace> places =
        LayoutLoginSlots(m_filled, first.x(), first.width(), first.height(), height());
    for (size_t i = 0; i < places.size(); ++i) {
        m_pictures[i]->setGeometry(QRect(places[i].picture, first.size()));
        m_names[i]->move(places[i].label);
    }
}

void CLoginPageDlg::FillLanguageCombo()
{
    const QString ini = LanguageListPath();
    m_language->clear();
    const int count = Profile::GetInt(ini, "Default", "Count", 1);
    for (int n = 0; n < count && n < 100; ++n)
        m_language->insertItem(n, Profile::GetString(ini, QStringLiteral("Language%1").arg(n), "Name", QStringLiteral("NULL")));
    m_language->setCurrentIndex(g_nLanguage < m_language->count() ? g_nLanguage : -1);
    m_languageIndex = m_language->currentIndex();
    const bool show = Profile::GetInt(ini, "Default", "ShowCombo", 1) == 1;
    m_language->setVisible(show);
    m_languageLabel->setVisible(show);
}

void CLoginPageDlg::HidePasswordBox()
{
    m_password->hide();
    m_login->hide();
    m_rights->hide();
    ChainTabs();
}

void CLoginPageDlg::ChainTabs()
{
    // As the page reads: each slot, with the password box and the login button under the chosen
    // one, then the language choice and the buttons at the foot, left to right.
    std::vector<QWidget*> all;
    for (int i = 0; i < kSlots; ++i) {
        all.push_back(m_pictures[i]);
        if (m_selected && m_selected == m_pictures[i]->GetUser())
            all.insert(all.end(), {m_password, m_login});
    }
    all.insert(all.end(), {m_language, m_other, m_exit});
    std::vector<QWidget*> chain;
    std::copy_if(all.begin(), all.end(), std::back_inserter(chain), [](QWidget* w) { return !w->isHidden(); });
    for (size_t i = 1; i < chain.size(); ++i)
        setTabOrder(chain[i - 1], chain[i]);
    m_firstControl = chain.front();
}

void CLoginPageDlg::LoginDone(const QString& password)
{
    // The main window replaces this page: nothing of the page may be touched after this call.
    if (g_pMainWindow && g_pLoginUser)
        g_pMainWindow->ShowUserPages(*g_pLoginUser, password);
}

void CLoginPageDlg::SelectSlot(int slot)
{
    if (slot < 0 || slot >= kSlots)
        return;
    UserRecord* user = m_pictures[slot]->GetUser();
    if (!user)
        return;
    m_selected = user;
    if (user->password[0] != '\0') {
        const QRect name = m_names[slot]->geometry();
        m_rights->move(name.left(), name.bottom() + 1 + 2);
        m_rights->hide();
        m_rights->setText(LoadStr(user->rights == 1 ? 110 : 111));
        m_rights->show();
        const QRect rights = m_rights->geometry();
        m_password->move(rights.left(), rights.bottom() + 1 + 2);
        m_password->show();
        m_password->clear();
        m_password->setFocus();
        const QRect edit = m_password->geometry();
        m_login->move(edit.right() + 1 + 5, edit.top());
        m_login->show();
        ChainTabs();
        return;
    }
    HidePasswordBox();
    if (LoginAttempt(RecordName(*user), std::string()) == 1)
        LoginDone(QString());
}

void CLoginPageDlg::OnOK()
{
    if (!m_selected)
        return;
    const QString text = m_password->text();
    if (text.isEmpty()) {
        ShowErrorBalloon(m_password, LoadStr(123));
        return;
    }
    const std::string digest = PasswordDigestOf(text);
    if (LoginAttempt(RecordName(*m_selected), digest) == 1) {
        LoginDone(QString::fromStdString(digest));
        return;
    }
    m_password->clear();
    ShowErrorBalloon(m_password, LoadStr(122));
    m_password->setFocus();
}

void CLoginPageDlg::OnOtherUser()
{
    HidePasswordBox();
    UserRecord entered{};
    CLoginDlg dlg(&entered, this);
    if (RunModal(dlg) != QDialog::Accepted)
        return;
    if (LoginAttempt(RecordName(entered), RecordPassword(entered)) == 1)
        LoginDone(QString());
}

void CLoginPageDlg::OnLanguageChange(int index)
{
    if (index < 0)
        return;
    if (!SwitchLanguage(index)) {
        // The pack could not be loaded: everything stays as it was, the choice included.
        m_language->setCurrentIndex(m_languageIndex);
        return;
    }
    m_languageIndex = index;
    m_exit->setText(LoadStr(192));
    m_other->setText(LoadStr(191));
    const bool labelShown = m_languageLabel->isVisible();
    m_languageLabel->hide();
    m_languageLabel->setText(LoadStr(190));
    m_languageLabel->setVisible(labelShown);
    m_login->setText(LoadStr(193));
    m_password->setAccessibleName(LoadStr(762));
    if (m_selected) {
        const bool shown = m_rights->isVisible();
        m_rights->hide();
        m_rights->setText(LoadStr(m_selected->rights == 1 ? 110 : 111));
        m_rights->setVisible(shown);
    }
    FitTextWidths();
}

void CLoginPageDlg::showEvent(QShowEvent* e)
{
    QWidget::showEvent(e);
    // After the window has finished showing itself.
    QTimer::singleShot(0, this, &CLoginPageDlg::ShowFocus);
}

void CLoginPageDlg::ShowFocus()
{
    QWidget* w = window();
    // A window whose native window was remade while it had the focus (the main window's move from
    // its start-up picture to this page) keeps the desktop's focus, yet its widgets no longer count
    // it as active: no caret, no focus frame, until another window has come and gone. Bring the
    // two back in line.
    if (QGuiApplication::focusWindow() && QGuiApplication::focusWindow() == w->windowHandle() &&
        QApplication::activeWindow() != w)
        QApplication::setActiveWindow(w);
    if (m_firstControl && !isAncestorOf(w->focusWidget()))
        m_firstControl->setFocus(Qt::OtherFocusReason);
}

void CLoginPageDlg::focusInEvent(QFocusEvent* e)
{
    // Whoever gives the page the focus gives it to its first control, so the caret or the
    // focus frame shows from the start.
    if (m_firstControl)
        m_firstControl->setFocus(e->reason());
}

bool CLoginPageDlg::eventFilter(QObject* watched, QEvent* e)
{
    if (auto* button = qobject_cast<QPushButton*>(watched)) {
        if (e->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(e)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                button->click();
                return true;
            }
        }
        return QWidget::eventFilter(watched, e);
    }
    auto* picture = qobject_cast<CPictureFrame*>(watched);
    if (!picture)
        return QWidget::eventFilter(watched, e);
    switch (e->type()) {
    case QEvent::KeyPress: {
        const auto* k = static_cast<QKeyEvent*>(e);
        const int key = k->key();
        if ((key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space) && !k->isAutoRepeat()) {
            PressPicture(picture);
            return true;
        }
        break;
    }
    case QEvent::FocusIn:
    case QEvent::FocusOut:
        ShowSlotFocus(picture, e->type() == QEvent::FocusIn);
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, e);
}

bool CLoginPageDlg::event(QEvent* e)
{
    if (e->type() == MessageType(WM_PICTURE_CLICKED)) {
        const auto* m = static_cast<CWndMessage*>(e);
        for (int i = 0; i < kSlots; ++i) {
            if (reinterpret_cast<intptr_t>(static_cast<CPictureFrame*>(m_pictures[i])) == m->lParam()) {
                SelectSlot(i);  // may hand over to the main window, which replaces this page
                return true;
            }
        }
        return true;
    }
    return QWidget::event(e);
}

void CLoginPageDlg::paintEvent(QPaintEvent*)
{
    if (!m_back.isNull())
        return;  // the skin paints the background bitmap
    // Without the skin's bitmap: a quiet gradient rather than a bare grey page.
    QPainter p(this);
    QLinearGradient g(0, 0, 0, height());
    g.setColorAt(0, QColor(0xF1, 0xF5, 0xFA));
    g.setColorAt(1, QColor(0xE2, 0xEA, 0xF4));
    p.fillRect(rect(), g);
}
