// The balloon's life on a window: one balloon per window, gone once its fault is mended or dealt
// with, and never over the window's buttons.
#include "controls/BalloonTip.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>

#include <memory>

namespace {

// A small form: two boxes and, right under the lower one, an OK button.
class BalloonRulesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_window = std::make_unique<QWidget>();
        auto* layout = new QVBoxLayout(m_window.get());
        layout->setSpacing(2);
        m_upper = new QLineEdit(m_window.get());
        m_lower = new QLineEdit(m_window.get());
        m_ok = new QPushButton(QStringLiteral("OK"), m_window.get());
        layout->addWidget(m_upper);
        layout->addWidget(m_lower);
        layout->addWidget(m_ok);
        m_window->resize(260, 110);
        m_window->move(300, 300);
        m_window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(m_window.get()));
    }
    void TearDown() override
    {
        m_window.reset();
        QTRY_VERIFY_WITH_TIMEOUT(CBalloonTip::LiveBalloons().empty(), 5000);
    }
    static QPointer<CBalloonTip> Show(QWidget* target, const QString& text = QStringLiteral("text"))
    {
        return CBalloonTip::ShowBalloonTip(CBalloonTip::IconError, QStringLiteral("错误"), text, target, std::nullopt,
                                           60000);
    }
    static QRect GlobalRect(QWidget* w) { return QRect(w->mapToGlobal(QPoint(0, 0)), w->size()); }

    std::unique_ptr<QWidget> m_window;
    QLineEdit* m_upper = nullptr;
    QLineEdit* m_lower = nullptr;
    QPushButton* m_ok = nullptr;
};

}  // namespace

TEST_F(BalloonRulesTest, ANewBalloonOnAWindowReplacesTheOneShownThere)
{
    QWidget elsewhere;
    auto* otherBox = new QLineEdit(&elsewhere);
    elsewhere.show();
    QPointer<CBalloonTip> other = Show(otherBox);
    QPointer<CBalloonTip> first = Show(m_upper, QStringLiteral("first"));
    QPointer<CBalloonTip> second = Show(m_lower, QStringLiteral("second"));
    ASSERT_TRUE(first && second && other);
    EXPECT_FALSE(first->isVisible());
    EXPECT_TRUE(second->isVisible());
    QTRY_VERIFY_WITH_TIMEOUT(!first, 500);  // gone at once, not 1.5 s later
    ASSERT_TRUE(other);
    EXPECT_TRUE(other->isVisible());  // another window keeps its own
    // Ten faults in a row leave one balloon on the window.
    for (int i = 0; i < 10; ++i)
        Show(m_upper);
    QTest::qWait(50);
    int shownHere = 0;
    for (CBalloonTip* b : CBalloonTip::LiveBalloons())
        shownHere += b->GetTarget() && b->GetTarget()->window() == m_window.get() && b->isVisible() ? 1 : 0;
    EXPECT_EQ(shownHere, 1);
}

TEST_F(BalloonRulesTest, GoesWhenTheUserEditsItsControlOrOneNamedWithIt)
{
    QPointer<CBalloonTip> tip = Show(m_lower);
    ASSERT_TRUE(tip);
    m_upper->setText(QStringLiteral("set by the program"));
    EXPECT_TRUE(tip->isVisible());  // neither the program nor another box mends it
    QTest::keyClick(m_upper, Qt::Key_A);
    EXPECT_TRUE(tip->isVisible());
    QTest::keyClick(m_lower, Qt::Key_A);
    EXPECT_FALSE(tip->isVisible());

    tip = Show(m_lower);
    tip->EndOnEditOf(m_upper);
    QTest::keyClick(m_upper, Qt::Key_Backspace);
    EXPECT_FALSE(tip->isVisible());
}

TEST_F(BalloonRulesTest, GoesWhenItsWindowHides)
{
    QPointer<CBalloonTip> tip = Show(m_lower);
    ASSERT_TRUE(tip && tip->isVisible());
    m_window->hide();
    EXPECT_FALSE(tip->isVisible());
    QTRY_VERIFY_WITH_TIMEOUT(!tip, 3000);
}

TEST_F(BalloonRulesTest, GoesWhenAMessageBoxOpensOverItsWindow)
{
    QPointer<CBalloonTip> tip = Show(m_lower);
    ASSERT_TRUE(tip && tip->isVisible());
    bool shownOverTheBox = true;
    QDialog box(m_window.get());
    QTimer::singleShot(100, &box, [&] {
        shownOverTheBox = tip && tip->isVisible();
        box.accept();
    });
    box.exec();
    EXPECT_FALSE(shownOverTheBox);
}

TEST_F(BalloonRulesTest, LeavesTheWindowsButtonsFree)
{
    // The box right above the button: the balloon goes above the box instead of over the button.
    QPointer<CBalloonTip> tip = Show(m_lower);
    ASSERT_TRUE(tip);
    EXPECT_FALSE(tip->geometry().intersects(GlobalRect(m_ok)));
    EXPECT_TRUE(tip->geometry().contains(tip->AnchorPoint()));  // still pointing at the box
    // With nothing in the way it stays below its box.
    m_ok->hide();
    tip = Show(m_lower);
    EXPECT_GE(tip->geometry().top(), tip->AnchorPoint().y());
}

TEST(BalloonPlace, BelowUnlessAboveOrSidewaysCoversLessOrFitsTheScreenBetter)
{
    const QRect screen(0, 0, 800, 600);
    const QSize size(180, 70);
    const QPoint anchor(200, 300);
    // Nothing in the way: below, the pointer reaching up to the anchor.
    BalloonPlace p = PlaceBalloon(anchor, size, 26, screen, {});
    EXPECT_TRUE(p.pointerUp);
    EXPECT_EQ(p.topLeft, QPoint(174, 300));
    // A button below: above, its pointer's tip (the bottom row) on the anchor.
    p = PlaceBalloon(anchor, size, 26, screen, {QRect(150, 340, 80, 26)});
    EXPECT_FALSE(p.pointerUp);
    EXPECT_EQ(p.topLeft, QPoint(174, 231));
    // A button beside the anchor: below, moved sideways to end just before it.
    p = PlaceBalloon(anchor, size, 26, screen, {QRect(260, 290, 60, 26)});
    EXPECT_TRUE(p.pointerUp);
    EXPECT_EQ(p.topLeft, QPoint(80, 300));
    // Buttons on both sides: the side that covers less.
    p = PlaceBalloon(anchor, size, 26, screen, {QRect(150, 360, 80, 26), QRect(150, 240, 80, 40)});
    EXPECT_TRUE(p.pointerUp);
    // No room below: above; no room either way: below, pushed onto the screen.
    p = PlaceBalloon(QPoint(200, 580), size, 26, screen, {});
    EXPECT_FALSE(p.pointerUp);
    p = PlaceBalloon(QPoint(200, 50), size, 26, QRect(0, 0, 800, 100), {});
    EXPECT_TRUE(p.pointerUp);
    EXPECT_TRUE(QRect(0, 0, 800, 100).contains(QRect(p.topLeft, size)));
    // Off the left edge: pushed in.
    p = PlaceBalloon(QPoint(-50, 300), size, 26, screen, {});
    EXPECT_EQ(p.topLeft.x(), 0);
}
