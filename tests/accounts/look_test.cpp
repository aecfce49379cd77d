// How the account pages and dialogs look in both built-in Chinese and the English pack:
// no text is clipped, nothing leaves its window. With TRAVIMO_SHOT_DIR set the pictures are
// also saved there as PNG files, for a person to look at.
#include "tests/accounts/AccountsFixture.h"

#include "accounts/EditUserDlg.h"
#include "accounts/LoginDlg.h"
#include "accounts/LoginPageDlg.h"
#include "accounts/NewUserDlg.h"
#include "accounts/PasswordDlg.h"
#include "core/DlgItem.h"
#include "core/Globals.h"
#include "core/StringTable.h"
#include "controls/BalloonTip.h"
#include "external/userdb/UserDb.h"
#include "res/resource.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QTest>

#include <cstdlib>

namespace {

// Every visible label and button shows its whole text and lies inside the window.
void ExpectNothingClipped(QWidget* window, const char* what)
{
    const QRect inside = window->rect();
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (!w->isVisibleTo(window) || w->isWindow())
            continue;
        const QRect r(w->mapTo(window, QPoint(0, 0)), w->size());
        EXPECT_TRUE(inside.contains(r)) << what << ": control " << CtrlId(w) << " leaves the window";
        QString text;
        if (auto* l = qobject_cast<QLabel*>(w); l && l->pixmap().isNull()) {
            if (l->wordWrap()) {
                EXPECT_GE(l->height(), l->heightForWidth(l->width())) << what << ": \"" << l->text().toStdString()
                                                                      << "\" is cut off";
                continue;
            }
            text = l->text();
        }
        else if (auto* b = qobject_cast<QAbstractButton*>(w))
            text = b->text();
        if (text.isEmpty())
            continue;
        const int need = QFontMetrics(w->font()).horizontalAdvance(text);
        EXPECT_GE(w->width(), need) << what << ": \"" << text.toStdString() << "\" is clipped";
    }
}

// Renders a window together with the balloons that point into it.
QImage Render(QWidget* window)
{
    QImage image = window->grab().toImage();
    QPainter p(&image);
    for (CBalloonTip* b : CBalloonTip::LiveBalloons()) {
        if (!b->isVisible() || !b->GetTarget() || b->GetTarget()->window() != window)
            continue;
        p.drawPixmap(window->mapFromGlobal(b->mapToGlobal(QPoint(0, 0))), b->grab());
    }
    return image;
}

void Save(QWidget* window, const QString& name)
{
    const char* dir = std::getenv("TRAVIMO_SHOT_DIR");
    if (!dir || !*dir)
        return;
    QDir().mkpath(QString::fromLocal8Bit(dir));
    EXPECT_TRUE(Render(window).save(QString::fromLocal8Bit(dir) + QLatin1Char('/') + name + QStringLiteral(".png")));
}

}  // namespace

class LookTest : public AccountsTest, public ::testing::WithParamInterface<int> {
protected:
    void SetUp() override
    {
        AccountsTest::SetUp();
        CopyStandardFiles();
        if (QFileInfo::exists(QStringLiteral(TRAVIMO_BUILD_PROGRAM_DIR "/Photo/0.bmp")))
            CopyFromBuild(QStringLiteral("Photo"));
        // Language 0 is the built-in Chinese table; 1 the English pack of the program folder.
        WriteFile(QStringLiteral("Language/Chinese.lng"), BuiltinTableAsPack(QStringLiteral("简体中文")));
        if (GetParam() == 1) {
            if (!QFileInfo::exists(PathOf(QStringLiteral("Language/English.lng"))))
                GTEST_SKIP() << "the English pack is not in the program folder";
            ASSERT_TRUE(SwitchLanguage(1));
        }
        ASSERT_EQ(AddUser(10002, "李小红", "abc"), 1);
    }
    void TearDown() override
    {
        SwitchLanguage(0);
        g_pDeviceUser = nullptr;
        AccountsTest::TearDown();
    }
    QString Suffix() const { return GetParam() == 1 ? QStringLiteral("_en") : QStringLiteral("_zh"); }

    // A dialog about the logged-in user's own record, given settleMs to settle before it is looked at.
    template <class Dialog>
    void LookAtOwnRecordDialog(const char* what, const QString& shot, int settleMs)
    {
        ASSERT_EQ(LoginAttempt("李小红", PasswordDigestOf(QStringLiteral("abc"))), 1);
        Dialog dlg;
        dlg.SetUser(g_pLoginUser);
        dlg.show();
        QTest::qWait(settleMs);
        ExpectNothingClipped(&dlg, what);
        Save(&dlg, shot + Suffix());
    }
};

TEST_P(LookTest, LoginPageWithAPasswordUserSelected)
{
    CLoginPageDlg page;
    page.show();
    page.SelectSlot(1);
    QTest::qWait(50);
    ExpectNothingClipped(&page, "login page");
    EXPECT_EQ(page.size(), LoginPageSize(PathOf(QStringLiteral("Skin/标准/P2_back.bmp"))));
    Save(&page, QStringLiteral("login_page") + Suffix());
}

TEST_P(LookTest, LoginDialogWithABalloon)
{
    UserRecord t{};
    CLoginDlg dlg(&t);
    dlg.show();
    SetText(&dlg, IDC_USER_NAME, QStringLiteral("Nobody"));
    dlg.accept();
    QTest::qWait(50);
    ExpectNothingClipped(&dlg, "login dialog");
    Save(&dlg, QStringLiteral("login_dialog") + Suffix());
}

TEST_P(LookTest, CreateUserDialog)
{
    UserRecord device{};
    device.number = kBlankDeviceId;
    device.sex = 1;
    device.age = 30;
    device.weight = 70;
    device.height = 175;
    device.targetCalories = 300;
    device.alarm = MakeAlarmTime(7, 0, 0);
    g_pDeviceUser = &device;
    CNewUserDlg dlg;
    dlg.show();
    SetText(&dlg, IDC_USER_NAME, QStringLiteral("王小明"));
    QTest::qWait(50);
    ExpectNothingClipped(&dlg, "create dialog");
    Save(&dlg, QStringLiteral("new_user") + Suffix());
}

TEST_P(LookTest, EditUserDialog)
{
    LookAtOwnRecordDialog<CEditUserDlg>("edit dialog", QStringLiteral("edit_user"), 50);
}

TEST_P(LookTest, PasswordDialog)
{
    // Long enough for the dialog's timer to move the focus into the old password box.
    LookAtOwnRecordDialog<CPasswordDlg>("password dialog", QStringLiteral("password"), 150);
}

INSTANTIATE_TEST_SUITE_P(Languages, LookTest, ::testing::Values(0, 1),
                         [](const ::testing::TestParamInfo<int>& info) {
                             return info.param == 0 ? std::string("Chinese") : std::string("English");
                         });
