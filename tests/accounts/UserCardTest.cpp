// The user card: skin defaults, painted text colours, the picture frame, and an own-profile
// edit that shows at once.

#include "tests/accounts/AccountsFixture.h"

#include "accounts/UserCardDlg.h"
#include "controls/SkinButton.h"
#include "core/DlgItem.h"
#include "core/Globals.h"
#include "external/userdb/UserDb.h"
#include "res/resource.h"

#include <QDialog>
#include <QImage>
#include <QPixmap>

namespace {

QImage Shot(QWidget& w)
{
    QImage img(w.size(), QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::magenta);
    w.render(&img);
    return img.convertToFormat(QImage::Format_RGB32);
}

int CountPixels(const QImage& img, const QRect& area, QRgb colour)
{
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (img.rect().contains(x, y) && (img.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF))
                ++n;
    return n;
}

class UserCardTest : public AccountsTest {
protected:
    void SetUp() override
    {
        AccountsTest::SetUp();
        ASSERT_EQ(AddUser(10002, "WWWW", ""), 1);
        SetLoginUser(StoredUser(10002));
    }
    // A skin whose Set.ini holds the given text (no bitmaps or icons beside it).
    void WriteSkin(const QByteArray& setIni) { WriteFile(QStringLiteral("Skin/标准/Set.ini"), setIni); }
};

}  // namespace

TEST_F(UserCardTest, WithoutRightP1TheDocumentedDefaultsApply)
{
    WriteSkin("[Page3]\nBackBmp=P3_back.bmp\n");
    CUserCardDlg card;
    const UserCardSkin& s = card.Skin();
    EXPECT_EQ(s.picture, QRect(15, 18, 20, 20));
    for (const CardLineSkin* line : {&s.id, &s.name, &s.sex, &s.age, &s.weight, &s.stride}) {
        EXPECT_EQ(line->pos, QPoint(0, 0));
        EXPECT_EQ(line->fontName, QStringLiteral("宋体"));
        EXPECT_EQ(line->textColor, 0u);
        EXPECT_EQ(line->fontSize, line == &s.name ? 18 : 14);
        EXPECT_EQ(line->fontWeight, line == &s.name ? 800 : 200);
    }
    // The skin has no background bitmap: the built-in skin's stands in, and the card takes its
    // size; the buttons sit at the bottom right.
    ASSERT_TRUE(card.HasBackground());
    EXPECT_EQ(card.size(), QPixmap(card.Skin().backBmp).size());
    card.show();
    EXPECT_EQ(card.PasswordButton()->geometry().right(), card.width() - 1 - 12);
    EXPECT_EQ(card.PasswordButton()->geometry().bottom(), card.height() - 1 - 8);
    EXPECT_EQ(card.ProfileButton()->geometry().right() + 1, card.PasswordButton()->x());
    EXPECT_EQ(card.ProfileButton()->accessibleName(), QStringLiteral("修改个人资料"));
    EXPECT_EQ(card.PasswordButton()->accessibleName(), QStringLiteral("修改密码"));

    // A missing picture leaves the box empty inside its frame: the outer frame's left edge at
    // x − 2 in (202, 198, 183), the box itself white.
    const QImage img = Shot(card);
    EXPECT_EQ(img.pixel(13, 28) & 0xFFFFFF, qRgb(202, 198, 183) & 0xFFFFFF);
    EXPECT_EQ(img.pixel(25, 28) & 0xFFFFFF, 0xFFFFFFu);
}

TEST_F(UserCardTest, NameTextColourPaintsRedThenBlue)
{
    for (const auto& [value, pure, other] : {std::tuple{"255", qRgb(255, 0, 0), qRgb(0, 0, 255)},
                                            std::tuple{"16711680", qRgb(0, 0, 255), qRgb(255, 0, 0)}}) {
        WriteSkin(QByteArray("[RightP1]\nHEADX=150\nHEADY=150\nNameX=10\nNameY=40\nNameFontSize=24\n"
                             "NameTextColor=") + value +
                  "\nIDY=200\nSexY=200\nAgeY=200\nWeightY=200\nSteplongY=200\n");
        CUserCardDlg card;
        const QImage img = Shot(card);
        const QRect nameArea(10, 40, 120, 30);
        EXPECT_GT(CountPixels(img, nameArea, pure), 10) << value;
        EXPECT_EQ(CountPixels(img, nameArea, other), 0) << value;
        EXPECT_EQ(CountPixels(img, QRect(0, 0, 196, 39), pure), 0) << "nothing above the name line";
    }
}

TEST_F(UserCardTest, OwnProfileEditShowsAtOnceAndPasswordChangeDoesNot)
{
    WriteSkin("[RightP1]\nNameX=10\nNameY=40\nIDY=200\nSexY=200\nAgeY=200\nWeightY=200\nSteplongY=200\n");
    CUserCardDlg card;
    card.show();
    const QImage before = Shot(card);
    EXPECT_TRUE(card.accessibleName().contains(QStringLiteral("WWWW")));
    int edits = 0;
    QObject::connect(&card, &CUserCardDlg::ProfileEdited, [&edits] { ++edits; });

    m_dialogs.runDialog = [](QDialog& dlg) {
        dlg.show();
        SetText(&dlg, IDC_USER_NAME, QStringLiteral("Ii"));
        SetText(&dlg, IDC_USER_WEIGHT, QStringLiteral("81"));
        dlg.accept();
        return dlg.result();
    };
    card.ProfileButton()->click();
    EXPECT_EQ(edits, 1);
    ASSERT_NE(g_pLoginUser, nullptr);
    EXPECT_EQ(RecordName(*g_pLoginUser), "Ii");
    const QImage after = Shot(card);
    EXPECT_NE(before.copy(QRect(10, 40, 120, 24)), after.copy(QRect(10, 40, 120, 24)));
    EXPECT_TRUE(card.accessibleName().contains(QStringLiteral("Ii")));
    EXPECT_TRUE(card.accessibleDescription().contains(QStringLiteral("体重 : 81 Kg")));

    // The password dialog changes nothing the card shows.
    m_dialogs.runDialog = [](QDialog&) { return int(QDialog::Accepted); };
    card.PasswordButton()->click();
    EXPECT_EQ(edits, 1);
    EXPECT_EQ(Shot(card), after);
}

TEST_F(UserCardTest, LinesOfARecord)
{
    UserRecord r = StoredUser(10002);
    r.sex = 2;
    r.age = 41;
    r.stride = 66;
    const auto lines = UserCardLines(r);
    EXPECT_EQ(lines[0], QStringLiteral("号码 : 10002"));
    EXPECT_EQ(lines[1], QStringLiteral("WWWW"));
    EXPECT_EQ(lines[2], QStringLiteral("性别 : 女"));
    EXPECT_EQ(lines[3], QStringLiteral("年龄 : 41"));
    EXPECT_EQ(lines[5], QStringLiteral("步距 : 66 cm"));
    // A name that looks like markup is painted and read as typed.
    SetRecordName(r, "<b>x</b>");
    EXPECT_EQ(UserCardLines(r)[1], QStringLiteral("<b>x</b>"));
}
