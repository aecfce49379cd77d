#include "TestImages.h"
#include "controls/BalloonTip.h"
#include "controls/PictureFrame.h"
#include "external/records/WndMessage.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QScreen>
#include <QFile>
#include <QLineEdit>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>
#include <QVBoxLayout>

namespace {

// Records the picture messages its children post to it.
class MessageSink : public QWidget {
public:
    struct Got {
        uintptr_t wParam;
        intptr_t lParam;
    };
    std::vector<Got> messages;

protected:
    bool event(QEvent* e) override
    {
        if (e->type() == MessageType(WM_PICTURE_CLICKED)) {
            auto* m = static_cast<CWndMessage*>(e);
            messages.push_back({m->wParam(), m->lParam()});
            return true;
        }
        return QWidget::event(e);
    }
};

// A frame whose idea of the mouse position the test sets.
class TestFrame : public CPictureFrame {
public:
    using CPictureFrame::CPictureFrame;
    QPoint cursor{-1000, -1000};

protected:
    QPoint CursorPos() const override { return cursor; }
};

class PictureFrameTest : public ::testing::Test {
protected:
    QString WriteFile(const QString& name, const QByteArray& data)
    {
        const QString path = m_dir.filePath(name);
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(data);
        return path;
    }
    QString WriteImage(const QString& name, QSize size, QColor c)
    {
        QImage img(size, QImage::Format_RGB32);
        img.fill(c);
        const QString path = m_dir.filePath(name);
        EXPECT_TRUE(img.save(path));
        return path;
    }
    void Hover(TestFrame& f)
    {
        f.cursor = f.mapToGlobal(QPoint(5, 5));
        QTest::mouseMove(&f, QPoint(5, 5));
        ASSERT_TRUE(f.IsHover());
    }
    QTemporaryDir m_dir;
};

}  // namespace

TEST(PictureFrameTiming, IntervalsFollowTheDelaysAndGuardTinyOnes)
{
    EXPECT_EQ(PictureFrameInterval({100, 200}, 0), 100);
    EXPECT_EQ(PictureFrameInterval({100, 200}, 1), 200);
    EXPECT_EQ(PictureFrameInterval({0, 10}, 0), 100);   // 0 hundredths would spin
    EXPECT_EQ(PictureFrameInterval({0, 10}, 1), 100);
    EXPECT_EQ(PictureFrameInterval({}, 0), 100);
    EXPECT_EQ(PictureFrameInterval({50}, 7), 100);
    EXPECT_EQ(PictureFrameInterval({50}, -1), 100);
    EXPECT_EQ(NextPictureFrame(0, 2), 1);
    EXPECT_EQ(NextPictureFrame(1, 2), 0);
    EXPECT_EQ(NextPictureFrame(0, 1), 0);
    EXPECT_EQ(NextPictureFrame(5, 0), 0);
}

TEST_F(PictureFrameTest, GifFramesSwitchAfterTheirOwnDelays)
{
    MessageSink parent;
    TestFrame f(&parent);
    const QString gif = WriteFile("anim.gif", TwoFrameGif(10, 20));
    f.SetPicture(gif, "tip", 1);
    ASSERT_EQ(f.FrameCount(), 2);
    EXPECT_EQ(f.FrameDelays(), (std::vector<int>{100, 200}));
    EXPECT_EQ(f.ImageSize(), QSize(1, 1));
    EXPECT_EQ(f.size(), QSize(9, 9));
    EXPECT_TRUE(f.IsAnimating());
    EXPECT_EQ(f.AnimationIntervalMs(), 100);
    EXPECT_EQ(f.CurrentFrame(), 0);

    QElapsedTimer clock;
    clock.start();
    std::vector<std::pair<int, qint64>> switches;  // frame, ms since the picture was set
    std::vector<COLORREF> shown;                   // the picture's pixel right after each switch
    EXPECT_EQ(PixelRef(Shot(f), 4, 4), ColorRefFromRgb(255, 0, 0));
    QObject::connect(&f, &CPictureFrame::FrameChanged, [&](int frame) {
        switches.push_back({frame, clock.elapsed()});
        shown.push_back(PixelRef(Shot(f), 4, 4));
    });
    QTRY_VERIFY_WITH_TIMEOUT(switches.size() >= 3, 5000);
    EXPECT_EQ(switches[0].first, 1);
    EXPECT_EQ(switches[1].first, 0);
    EXPECT_EQ(switches[2].first, 1);
    // Frame 0 shows for 100 ms, frame 1 for 200 ms (lower bounds: a busy machine may be late, never early).
    EXPECT_GE(switches[0].second, 98);
    EXPECT_GE(switches[1].second - switches[0].second, 198);
    EXPECT_GE(switches[2].second - switches[1].second, 98);
    EXPECT_EQ(f.AnimationIntervalMs(), 200);

    // The shown pixel follows the frame: blue, red, blue.
    EXPECT_EQ(shown[0], ColorRefFromRgb(0, 0, 255));
    EXPECT_EQ(shown[1], ColorRefFromRgb(255, 0, 0));
    EXPECT_EQ(shown[2], ColorRefFromRgb(0, 0, 255));
}

TEST_F(PictureFrameTest, SingleFrameStartsNoTimerAndSizesTheWindow)
{
    MessageSink parent;
    CPictureFrame f(&parent);
    f.move(7, 9);
    f.SetPicture(WriteImage("one.png", QSize(30, 20), Qt::green), "", 0);
    EXPECT_EQ(f.FrameCount(), 1);
    EXPECT_FALSE(f.IsAnimating());
    EXPECT_EQ(f.geometry(), QRect(7, 9, 38, 28));
    const QImage img = Shot(f);
    EXPECT_EQ(PixelRef(img, 4, 4), ColorRefFromRgb(0, 255, 0));
    EXPECT_EQ(PixelRef(img, 33, 23), ColorRefFromRgb(0, 255, 0));
}

TEST_F(PictureFrameTest, BadFilesLeaveOnlyTheFrame)
{
    MessageSink parent;
    CPictureFrame f(&parent);
    f.resize(50, 50);
    f.SetPicture(m_dir.filePath("missing.png"), "", 0);
    EXPECT_EQ(f.size(), QSize(8, 8));
    EXPECT_EQ(f.FrameCount(), 0);

    // Truncated GIF, garbage and an empty file: no picture, no crash.
    for (const QByteArray& data : {TwoFrameGif(10, 20).left(30), QByteArray("GIF89a\xff\xff\xff\xff", 10),
                                   QByteArray(), QByteArray(5000, '\x42')}) {
        f.SetPicture(WriteFile("bad.gif", data), "", 0);
        EXPECT_LE(f.FrameCount(), 1);
        EXPECT_FALSE(f.IsAnimating());
        (void)Shot(f);
    }
    f.SetPicture(WriteFile("bad.gif", QByteArray(5000, '\x42')), "", 0);
    EXPECT_EQ(f.size(), QSize(8, 8));

    // A stretching frame keeps its size and draws its frame.
    CPictureFrame s(&parent);
    s.SetStretch(true);
    s.resize(40, 30);
    s.SetPicture(m_dir.filePath("missing.png"), "", 0);
    EXPECT_EQ(s.size(), QSize(40, 30));
    const QImage img = Shot(s);
    EXPECT_EQ(PixelRef(img, 2, 15), 0xDEDEDEu);   // inner frame
    EXPECT_EQ(PixelRef(img, 20, 15), 0xFFFFFFu);  // white inside
}

TEST_F(PictureFrameTest, BitmapShowsWhenThePictureCannotBeRead)
{
    MessageSink parent;
    CPictureFrame f(&parent);
    f.SetStretch(true);
    f.resize(40, 40);
    f.SetPicture(m_dir.filePath("missing.bmp"), "", 0);
    QPixmap bmp(10, 10);
    bmp.fill(Qt::blue);
    f.SetBitmap(bmp);
    EXPECT_EQ(PixelRef(Shot(f), 20, 20), ColorRefFromRgb(0, 0, 255));
}

TEST_F(PictureFrameTest, RingColoursFollowTheHover)
{
    MessageSink parent;
    TestFrame f(&parent);
    f.SetStretch(true);
    f.resize(60, 60);
    f.SetPicture(WriteImage("p.png", QSize(10, 10), Qt::yellow), "name", 3);
    parent.show();

    QImage img = Shot(f);
    EXPECT_EQ(PixelRef(img, 0, 30), 0xFFFFFFu);   // ring 2
    EXPECT_EQ(PixelRef(img, 1, 30), 0xFFFFFFu);   // ring 1
    EXPECT_EQ(PixelRef(img, 2, 30), 0xDEDEDEu);   // inner frame
    EXPECT_EQ(PixelRef(img, 59, 30), 0xFFFFFFu);
    EXPECT_EQ(PixelRef(img, 30, 30), ColorRefFromRgb(255, 255, 0));  // stretched picture

    Hover(f);
    img = Shot(f);
    EXPECT_EQ(PixelRef(img, 0, 30), 0xC56A31u);
    EXPECT_EQ(PixelRef(img, 1, 30), 0xF4E3D8u);
    EXPECT_EQ(PixelRef(img, 58, 30), 0xF4E3D8u);
    EXPECT_EQ(PixelRef(img, 59, 30), 0xC56A31u);
    EXPECT_EQ(PixelRef(img, 30, 0), 0xC56A31u);
    EXPECT_EQ(PixelRef(img, 2, 30), 0xDEDEDEu);

    f.SetHoverRing2(ColorRefFromRgb(0, 0, 128));
    EXPECT_EQ(PixelRef(Shot(f), 0, 30), ColorRefFromRgb(0, 0, 128));

    // The 50 ms check ends the hover once the mouse is outside.
    f.cursor = f.mapToGlobal(QPoint(200, 200));
    QTRY_VERIFY_WITH_TIMEOUT(!f.IsHover(), 2000);
    EXPECT_EQ(PixelRef(Shot(f), 0, 30), 0xFFFFFFu);
}

TEST_F(PictureFrameTest, HoverWithoutPathKeepsThePlainRing)
{
    MessageSink parent;
    TestFrame f(&parent);
    f.SetStretch(true);
    f.resize(30, 30);
    f.SetRingColour(ColorRefFromRgb(10, 20, 30));
    parent.show();
    Hover(f);
    EXPECT_EQ(PixelRef(Shot(f), 0, 15), ColorRefFromRgb(10, 20, 30));
}

TEST_F(PictureFrameTest, ClickPostsToTheParentOnlyWhenHoveredWithAPath)
{
    MessageSink parent;
    TestFrame f(&parent);
    f.SetStretch(true);
    f.resize(40, 40);
    parent.show();

    // Empty path: nothing, even hovered.
    Hover(f);
    QTest::mouseClick(&f, Qt::LeftButton, {}, QPoint(5, 5));
    QCoreApplication::processEvents();
    EXPECT_TRUE(parent.messages.empty());

    f.SetPicture(WriteImage("p.png", QSize(4, 4), Qt::red), "tip", 42);
    QTest::mouseClick(&f, Qt::RightButton, {}, QPoint(5, 5));
    QCoreApplication::processEvents();
    EXPECT_TRUE(parent.messages.empty());

    QTest::mouseClick(&f, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_TRUE(parent.messages.empty());  // posted, not sent
    QCoreApplication::processEvents();
    ASSERT_EQ(parent.messages.size(), 1u);
    EXPECT_EQ(parent.messages[0].wParam, 42u);
    EXPECT_EQ(parent.messages[0].lParam, reinterpret_cast<intptr_t>(static_cast<CPictureFrame*>(&f)));

    // Not hovered: nothing.
    f.cursor = QPoint(-5000, -5000);
    QTRY_VERIFY_WITH_TIMEOUT(!f.IsHover(), 2000);
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 5), f.mapToGlobal(QPointF(5, 5)), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&f, &press);
    QCoreApplication::processEvents();
    EXPECT_EQ(parent.messages.size(), 1u);
}

TEST(UserPictureFrame, CarriesItsRecord)
{
    CUserPictureFrame f;
    EXPECT_EQ(f.GetUser(), nullptr);
    auto* fake = reinterpret_cast<UserRecord*>(0x1234);
    f.SetUser(fake);
    EXPECT_EQ(f.GetUser(), fake);
}

// ---------------------------------------------------------------------------
// Balloon tips

namespace {
class BalloonTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_window = std::make_unique<QWidget>();
        auto* layout = new QVBoxLayout(m_window.get());
        m_edit = new QLineEdit(m_window.get());
        m_other = new QLineEdit(m_window.get());
        layout->addWidget(m_other);
        layout->addWidget(m_edit);
        m_window->resize(300, 120);
        m_window->show();
        m_other->setFocus();
    }
    void TearDown() override
    {
        m_window.reset();
        QTRY_VERIFY_WITH_TIMEOUT(CBalloonTip::LiveBalloons().empty(), 5000);
    }
    std::unique_ptr<QWidget> m_window;
    QLineEdit* m_edit = nullptr;
    QLineEdit* m_other = nullptr;
};
}  // namespace

TEST_F(BalloonTest, ShowsAtTheTargetAndTakesItTheFocus)
{
    QPointer<CBalloonTip> tip = CBalloonTip::ShowBalloonTip(CBalloonTip::IconError, "错误", "请输入用户名！", m_edit);
    ASSERT_TRUE(tip);
    EXPECT_TRUE(tip->isVisible());
    EXPECT_TRUE(tip->isWindow());
    EXPECT_TRUE(tip->testAttribute(Qt::WA_ShowWithoutActivating));
    EXPECT_TRUE(tip->windowFlags() & Qt::WindowDoesNotAcceptFocus);
    EXPECT_EQ(tip->AnchorPoint(), m_edit->mapToGlobal(QPoint(10, 10)));
    EXPECT_EQ(tip->GetTitle(), QString("错误"));
    EXPECT_EQ(m_window->focusWidget(), m_edit);
    EXPECT_EQ(CBalloonTip::LiveBalloons().size(), 1u);
    // The pointer's tip sits on the anchor point.
    EXPECT_TRUE(tip->geometry().contains(tip->AnchorPoint()));

    EXPECT_EQ(CBalloonTip::ShowBalloonTip(CBalloonTip::IconError, "t", "x", nullptr), nullptr);
}

TEST_F(BalloonTest, TimesOutThenRemovesItselfAfterOneAndAHalfSeconds)
{
    QPointer<CBalloonTip> tip = CBalloonTip::ShowBalloonTip(CBalloonTip::IconError, "错误", "text", m_edit,
                                                            QPoint(100, 100), 200);
    ASSERT_TRUE(tip);
    QTRY_VERIFY_WITH_TIMEOUT(!tip->isVisible(), 3000);
    QElapsedTimer hidden;
    hidden.start();
    EXPECT_TRUE(tip->IsEnding());
    QTest::qWait(1000);
    EXPECT_TRUE(tip) << "removed before 1.5 s";
    QTRY_VERIFY_WITH_TIMEOUT(!tip, 3000);
    EXPECT_GE(hidden.elapsed(), 1400);
    EXPECT_TRUE(CBalloonTip::LiveBalloons().empty());
}

TEST_F(BalloonTest, FiveSecondTimeOut)
{
    QPointer<CBalloonTip> tip = CBalloonTip::ShowBalloonTip(CBalloonTip::IconError, "错误", "text", m_edit);
    QElapsedTimer shown;
    shown.start();
    QTest::qWait(4000);
    ASSERT_TRUE(tip);
    EXPECT_TRUE(tip->isVisible());
    QTRY_VERIFY_WITH_TIMEOUT(!tip->isVisible(), 4000);
    EXPECT_GE(shown.elapsed(), 4900);
    QTRY_VERIFY_WITH_TIMEOUT(!tip, 4000);
    EXPECT_GE(shown.elapsed(), 6400);
}

TEST_F(BalloonTest, ClickHidesAtOnce)
{
    QPointer<CBalloonTip> tip = CBalloonTip::ShowBalloonTip(CBalloonTip::IconWarning, "t", "text", m_edit);
    ASSERT_TRUE(tip);
    QTest::mouseClick(tip.data(), Qt::LeftButton, {}, QPoint(tip->width() / 2, tip->height() / 2));
    EXPECT_FALSE(tip->isVisible());
    EXPECT_TRUE(tip->IsEnding());
    QTRY_VERIFY_WITH_TIMEOUT(!tip, 4000);
}

TEST_F(BalloonTest, EndsWhenItsTargetGoes)
{
    QWidget otherWindow;  // a window of its own: one balloon per window
    auto* otherBox = new QLineEdit(&otherWindow);
    otherWindow.show();
    QPointer<CBalloonTip> tip = CBalloonTip::ShowBalloonTip(CBalloonTip::IconError, "t", "text", m_edit, std::nullopt, 60000);
    QPointer<CBalloonTip> other = CBalloonTip::ShowBalloonTip(CBalloonTip::IconInfo, "", "other", otherBox, std::nullopt, 60000);
    ASSERT_TRUE(tip && other);
    EXPECT_EQ(CBalloonTip::LiveBalloons().size(), 2u);
    delete m_edit;
    m_edit = nullptr;
    QTRY_VERIFY_WITH_TIMEOUT(!tip || !tip->isVisible(), 2000);
    QTRY_VERIFY_WITH_TIMEOUT(!tip, 4000);
    ASSERT_TRUE(other);
    EXPECT_TRUE(other->isVisible());
}

TEST_F(BalloonTest, LongTextWrapsAndKeepsItsBodyNarrow)
{
    const QString longText = QString("很长的错误说明文字").repeated(10);
    QPointer<CBalloonTip> tip = CBalloonTip::ShowBalloonTip(CBalloonTip::IconError, "错误", longText, m_edit);
    ASSERT_TRUE(tip);
    EXPECT_LE(tip->width(), CBalloonTip::kMaxTextWidth + 60);
    EXPECT_GT(tip->height(), 3 * tip->fontMetrics().height());
    (void)Shot(*tip);
}

TEST_F(BalloonTest, StaysOnTheScreenWhenTheAnchorIsOutside)
{
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    for (const QPoint p : {QPoint(screen.right() + 500, screen.bottom() + 500), QPoint(-400, -300)}) {
        QPointer<CBalloonTip> tip = CBalloonTip::ShowBalloonTip(CBalloonTip::IconError, "t", "text", m_edit, p, 60000);
        ASSERT_TRUE(tip);
        EXPECT_TRUE(screen.contains(tip->geometry())) << tip->geometry().x() << "," << tip->geometry().y();
    }
}
