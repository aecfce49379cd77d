#include "TestImages.h"
#include "controls/SkinButton.h"

#include <gtest/gtest.h>

#include <QHBoxLayout>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>

namespace {

QIcon SolidIcon(QColor c, QSize size = QSize(16, 16))
{
    QPixmap pm(size);
    pm.fill(c);
    return QIcon(pm);
}

class ButtonTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_host.resize(200, 100);
        m_button = new CSkinButton("确定", &m_host);
        m_button->setGeometry(10, 10, 80, 40);
        m_other = new CSkinButton("取消", &m_host);
        m_other->setGeometry(100, 10, 80, 40);
        m_host.show();
        // Whatever earlier tests did with the mouse, start with it outside.
        for (CSkinButton* b : {m_button, m_other}) {
            QEvent leave(QEvent::Leave);
            QCoreApplication::sendEvent(b, &leave);
        }
    }
    void HoverIt(CSkinButton* b)
    {
        QTest::mouseMove(b, QPoint(5, 5));
        QMouseEvent move(QEvent::MouseMove, QPointF(5, 5), b->mapToGlobal(QPointF(5, 5)), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QCoreApplication::sendEvent(b, &move);
    }
    QWidget m_host;
    CSkinButton* m_button = nullptr;
    CSkinButton* m_other = nullptr;
};

}  // namespace

TEST(GreyIcon, LuminanceTruncatedBlackAndAlphaKept)
{
    QImage src(4, 1, QImage::Format_ARGB32);
    src.setPixel(0, 0, qRgba(200, 100, 50, 255));
    src.setPixel(1, 0, qRgba(0, 0, 0, 255));
    src.setPixel(2, 0, qRgba(255, 255, 255, 0));    // transparent white: the mask stays
    src.setPixel(3, 0, qRgba(1, 2, 3, 255));
    const QImage g = MakeGreyIcon(src);
    // 0.299 * 200 + 0.587 * 100 + 0.114 * 50 = 124.2
    EXPECT_EQ(g.pixel(0, 0), qRgba(124, 124, 124, 255));
    EXPECT_EQ(g.pixel(1, 0), qRgba(0, 0, 0, 255));
    EXPECT_EQ(qAlpha(g.pixel(2, 0)), 0);
    EXPECT_EQ(qRed(g.pixel(2, 0)), 255);
    // 0.299 + 1.174 + 0.342 = 1.815 -> 1
    EXPECT_EQ(g.pixel(3, 0), qRgba(1, 1, 1, 255));
    EXPECT_TRUE(MakeGreyIcon(QImage()).isNull());
}

TEST(ButtonLayout, IconPlacementPerAlignment)
{
    const QRect client(0, 0, 100, 60);
    const QSize icon(32, 32);
    SkinButtonLayout l = LayoutSkinButton(client, 0, icon, true, false);
    EXPECT_EQ(l.icon, QRect(3, 14, 32, 32));
    EXPECT_EQ(l.caption.left(), 35);
    l = LayoutSkinButton(client, 0, icon, false, false);
    EXPECT_EQ(l.icon, QRect(34, 14, 32, 32));
    l = LayoutSkinButton(client, 1, icon, true, false);
    EXPECT_EQ(l.icon, QRect(34, 3, 32, 32));
    EXPECT_EQ(l.caption.top(), 32);
    l = LayoutSkinButton(client, 1, icon, false, false);
    EXPECT_EQ(l.icon, QRect(34, 14, 32, 32));
    l = LayoutSkinButton(client, 2, icon, true, false);
    EXPECT_EQ(l.icon, QRect(100 - 3 - 32, 14, 32, 32));
    EXPECT_EQ(l.caption.left(), 3);
    EXPECT_EQ(l.caption.right(), 64);
    l = LayoutSkinButton(client, 3, icon, true, false);
    EXPECT_EQ(l.icon, client);
    EXPECT_EQ(l.caption, client);
    // Pressed: one pixel right and down.
    l = LayoutSkinButton(client, 1, icon, true, true);
    EXPECT_EQ(l.icon, QRect(35, 4, 32, 32));
    EXPECT_EQ(l.caption.top(), 33);
    EXPECT_EQ(SkinButtonBackSlot(true, false, true), 0);
    EXPECT_EQ(SkinButtonBackSlot(false, true, false), 0);
    EXPECT_EQ(SkinButtonBackSlot(false, false, true), 4);
    EXPECT_EQ(SkinButtonBackSlot(false, false, false), 2);
}

TEST_F(ButtonTest, RefusalsChangeNothing)
{
    EXPECT_EQ(m_button->SetIconAlign(2), 0);
    EXPECT_EQ(m_button->SetIconAlign(4), 4);
    EXPECT_EQ(m_button->SetIconAlign(-1), 4);
    EXPECT_EQ(m_button->GetIconAlign(), 2);
    EXPECT_EQ(m_button->SetStateColour(2, 0x123456), 0);
    EXPECT_EQ(m_button->SetStateColour(6, 0xABCDEF), 3);
    EXPECT_EQ(m_button->SetStateColour(-1, 0xABCDEF), 3);
    for (int s = 0; s < 6; ++s)
        EXPECT_NE(m_button->GetStateColour(s), 0xABCDEFu);
    EXPECT_EQ(m_button->GetStateColour(2), 0x123456u);
    m_button->ResetColours();
    EXPECT_EQ(m_button->GetStateColour(2), SysColour::BtnFace);
    EXPECT_EQ(m_button->GetStateColour(3), SysColour::BtnText);
}

TEST_F(ButtonTest, BackgroundPerStateAndSlot)
{
    m_button->setText(QString());
    m_button->setFocusPolicy(Qt::NoFocus);
    m_button->SetStateColour(CSkinButton::BackHover, 0x0000FF);
    m_button->SetStateColour(CSkinButton::BackNormal, 0x00FF00);
    m_button->SetStateColour(CSkinButton::BackFocus, 0xFF0000);
    EXPECT_EQ(PixelRef(Shot(*m_button), 40, 20), 0x00FF00u);
    // Flat, not hovered: no border at all.
    EXPECT_EQ(PixelRef(Shot(*m_button), 0, 20), 0x00FF00u);

    HoverIt(m_button);
    ASSERT_TRUE(m_button->IsHover());
    QImage img = Shot(*m_button);
    EXPECT_EQ(PixelRef(img, 40, 20), 0x0000FFu);
    EXPECT_EQ(PixelRef(img, 0, 20), SysColour::BtnHighlight);  // raised thin border
    EXPECT_EQ(PixelRef(img, 79, 20), SysColour::BtnShadow);

    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(m_button, &leave);
    EXPECT_FALSE(m_button->IsHover());
    EXPECT_EQ(PixelRef(Shot(*m_button), 0, 20), 0x00FF00u);

    m_button->setDown(true);
    img = Shot(*m_button);
    EXPECT_EQ(PixelRef(img, 40, 20), 0x0000FFu);
    EXPECT_EQ(PixelRef(img, 0, 20), SysColour::BtnShadow);  // sunken
    EXPECT_EQ(PixelRef(img, 79, 20), SysColour::BtnHighlight);
    m_button->setDown(false);

    m_button->SetBorderColour(0x808000);
    m_button->SetAlwaysBorder(true);
    img = Shot(*m_button);
    EXPECT_EQ(PixelRef(img, 0, 20), 0x808000u);
    EXPECT_EQ(PixelRef(img, 79, 20), 0x808000u);
    EXPECT_EQ(PixelRef(img, 40, 0), 0x808000u);
}

TEST_F(ButtonTest, NonFlatButtonHasTheClassicEdge)
{
    m_button->setText(QString());
    m_button->SetFlatLook(false);
    const QImage img = Shot(*m_button);
    EXPECT_EQ(PixelRef(img, 0, 20), SysColour::BtnHighlight);
    EXPECT_EQ(PixelRef(img, 1, 20), SysColour::Light3D);
    EXPECT_EQ(PixelRef(img, 79, 20), SysColour::DkShadow3D);
    EXPECT_EQ(PixelRef(img, 78, 20), SysColour::BtnShadow);
}

TEST_F(ButtonTest, MouseDisabledButtonIgnoresTheMouse)
{
    QSignalSpy clicked(m_button, &QAbstractButton::clicked);
    m_button->SetMouseEnabled(false);
    HoverIt(m_button);
    EXPECT_FALSE(m_button->IsHover());
    QTest::mouseClick(m_button, Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseDClick(m_button, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(clicked.count(), 0);
    EXPECT_FALSE(m_button->isDown());

    m_button->SetMouseEnabled(true);
    QTest::mouseClick(m_button, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(clicked.count(), 1);
    HoverIt(m_button);
    EXPECT_TRUE(m_button->IsHover());
}

TEST_F(ButtonTest, CheckboxMode)
{
    m_button->SetCheckboxMode(true);
    EXPECT_EQ(m_button->GetCheck(), 0);
    m_button->SetCheck(2);
    EXPECT_EQ(m_button->GetCheck(), 2);
    EXPECT_TRUE(m_button->isChecked());
    m_button->SetCheck(0);
    EXPECT_EQ(m_button->GetCheck(), 0);
    QTest::mouseClick(m_button, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(m_button->GetCheck(), 1);
    // Checked shows as pressed: hover background and sunken border.
    m_button->setText(QString());
    m_button->SetStateColour(0, 0x0000FF);
    m_button->SetStateColour(2, 0x00FF00);
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(m_button, &leave);
    const QImage img = Shot(*m_button);
    EXPECT_EQ(PixelRef(img, 40, 20), 0x0000FFu);
    EXPECT_EQ(PixelRef(img, 0, 20), SysColour::BtnShadow);
}

TEST_F(ButtonTest, IconsActiveInactiveAndGrey)
{
    m_button->setText(QString());
    m_button->SetIconImage(SolidIcon(QColor(200, 100, 50)), 16, 16, CSkinButton::InactiveIcon::Grey);
    ASSERT_TRUE(m_button->HasIcon());
    EXPECT_FALSE(m_button->IconImage(1).isNull());
    // Not hovered: the grey copy, centred.
    EXPECT_EQ(PixelRef(Shot(*m_button), 40, 20), ColorRefFromRgb(124, 124, 124));
    HoverIt(m_button);
    EXPECT_EQ(PixelRef(Shot(*m_button), 40, 20), ColorRefFromRgb(200, 100, 50));

    m_button->SetIconImage(SolidIcon(Qt::red), 16, 16, SolidIcon(Qt::blue), 16, 16);
    EXPECT_EQ(PixelRef(Shot(*m_button), 40, 20), ColorRefFromRgb(255, 0, 0));
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(m_button, &leave);
    EXPECT_EQ(PixelRef(Shot(*m_button), 40, 20), ColorRefFromRgb(0, 0, 255));

    // An icon that cannot be read clears both slots.
    m_button->SetIconImage(QIcon(), 16, 16, CSkinButton::InactiveIcon::Grey);
    EXPECT_FALSE(m_button->HasIcon());
    EXPECT_TRUE(m_button->IconImage(1).isNull());
    m_button->SetIconImage(QIcon("/no/such/file.ico"), 16, 16);
    EXPECT_FALSE(m_button->HasIcon());
}

TEST_F(ButtonTest, DisabledEmbossesAndPassesTheFocusOn)
{
    m_host.activateWindow();
    m_button->setFocus();
    QCoreApplication::processEvents();
    HoverIt(m_button);
    m_button->setEnabled(false);
    EXPECT_FALSE(m_button->IsHover());
    EXPECT_NE(m_host.focusWidget(), m_button);

    // The caption: highlight one pixel lower right, shadow in place; no black text.
    m_button->SetStateColour(2, 0x000000);  // black background shows the highlight copy
    const QImage img = Shot(*m_button);
    bool shadow = false, highlight = false;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const QColor c = img.pixelColor(x, y);
            shadow |= c == ColorRefToQColor(SysColour::BtnShadow);
            highlight |= qGray(c.rgb()) > 0xD0;  // the white copy shows at the strokes' lower right
        }
    EXPECT_TRUE(shadow);
    EXPECT_TRUE(highlight);
}

TEST_F(ButtonTest, TransparentButtonShowsTheParentsPixels)
{
    class Painted : public QWidget {
    protected:
        void paintEvent(QPaintEvent*) override
        {
            QPainter p(this);
            p.fillRect(rect(), QColor(10, 20, 30));
            p.fillRect(QRect(0, 0, width(), 30), QColor(200, 0, 0));
        }
    } parent;
    parent.resize(200, 100);
    auto* b = new CSkinButton(QString(), &parent);
    b->setGeometry(20, 20, 60, 40);
    b->UseParentBackground();
    b->SetStateColour(2, 0x00FF00);
    parent.show();
    QImage img = Shot(*b);
    EXPECT_EQ(PixelRef(img, 30, 5), ColorRefFromRgb(200, 0, 0));   // parent y 25
    EXPECT_EQ(PixelRef(img, 30, 20), ColorRefFromRgb(10, 20, 30));  // parent y 40
    EXPECT_TRUE(b->HasCapturedBackground());
    b->RefreshBackground();
    EXPECT_FALSE(b->HasCapturedBackground());
}

TEST_F(ButtonTest, TipText)
{
    m_button->SetTipText("打印", true);
    EXPECT_EQ(m_button->toolTip(), QString("打印"));
    m_button->SetTipText(QString(), true);  // a null text is ignored
    EXPECT_EQ(m_button->GetTipText(), QString("打印"));
    m_button->SetTipText("x", false);
    EXPECT_TRUE(m_button->toolTip().isEmpty());
    EXPECT_EQ(m_button->GetTipText(), QString("x"));
}

TEST_F(ButtonTest, FocusedButtonUsesItsFocusSlot)
{
    m_button->SetStateColour(CSkinButton::BackNormal, 0x00FF00);
    m_button->SetStateColour(CSkinButton::BackFocus, 0xFF0000);
    m_host.activateWindow();
    m_other->setFocus();
    QCoreApplication::processEvents();
    QEvent leave(QEvent::Leave);  // wherever earlier tests left the mouse
    QCoreApplication::sendEvent(m_button, &leave);
    ASSERT_FALSE(m_button->IsHover());
    EXPECT_EQ(PixelRef(Shot(*m_button), 4, 36), 0x00FF00u);
    m_button->setFocus();
    QCoreApplication::processEvents();
    if (!m_button->hasFocus())
        GTEST_SKIP() << "this platform gives no window the focus";
    EXPECT_EQ(PixelRef(Shot(*m_button), 4, 36), 0xFF0000u);
    // A flat button draws no focus rectangle unless asked to.
    const QImage plain = Shot(*m_button);
    m_button->SetDrawFlatFocus(true);
    const QImage framed = Shot(*m_button);
    EXPECT_NE(plain, framed);
}
