// The chart page as a new user meets it: the first view of a day shows its activity, and no
// list cell or strip text is cut, in either language.
#include "tests/charts/DayPageFixture.h"

#include "core/Globals.h"
#include "core/StringTable.h"
#include "controls/SkinHeaderCtrl.h"

#include <QComboBox>
#include <QLineEdit>
#include <QScrollBar>
#include <QStyleOptionComboBox>

namespace {

// A day with steps from one slot on, and an optional effective exercise (as QuietDay).
DeviceStepRecord WalkDay(int y, int m, int d, int firstStepSlot, int exerciseSlot = -1)
{
    DeviceStepRecord r = QuietDay(y, m, d, exerciseSlot, exerciseSlot >= 0 ? 13 : 0);
    for (int s = firstStepSlot; s >= 0 && s < firstStepSlot + 20; ++s)
        r.slotValues[s] = 40;
    return r;
}

class DayViewTest : public DayDetailTest {
protected:
    void Select(const QDate& d) { Pick(d); }
    int First() const { return page->GetChart()->GetFirstCategory(); }
};

}  // namespace

TEST(DayViewMath, FirstActiveSlotIsTheEarlierOfStepsAndExercise)
{
    StepRecord day;
    day.Clear();
    EXPECT_EQ(FirstActiveSlot(day), -1);
    day.day.slotValues[400] = 12;
    EXPECT_EQ(FirstActiveSlot(day), 400);
    day.exerciseStart = {500, 245};
    day.exerciseSlots = {10};  // arrays of unequal length: only the pairs count
    EXPECT_EQ(FirstActiveSlot(day), 400);
    day.exerciseSlots = {10, 13};
    EXPECT_EQ(FirstActiveSlot(day), 245);
    day.exerciseStart = {0xFFFFFFFFu, 900};  // hostile starts beyond the day are ignored
    EXPECT_EQ(FirstActiveSlot(day), 400);
}

TEST(DayViewMath, FirstViewPositionKeepsAnActiveSlotInView)
{
    // window of 102 slots, range 0 .. 623
    EXPECT_EQ(FirstViewPosition(-1, 90, 102, 0, 623), 90);    // nothing active: stays
    EXPECT_EQ(FirstViewPosition(150, 90, 102, 0, 623), 90);   // in view: stays
    EXPECT_EQ(FirstViewPosition(245, 0, 102, 0, 623), 210);   // an hour before 08:00
    EXPECT_EQ(FirstViewPosition(20, 300, 102, 0, 623), 0);    // never before midnight
    EXPECT_EQ(FirstViewPosition(719, 0, 102, 0, 623), 630);   // rounded as the scroll bar rounds
}

TEST_F(DayViewTest, FirstViewOfADayShowsItsActivityUnlessTheUserScrolledIt)
{
    Store(WalkDay(2026, 3, 2, 400));        // steps from 13:20
    Store(WalkDay(2026, 3, 3, 300, 245));   // exercise at 08:10 before the steps
    Store(QuietDay(2026, 3, 4));            // nothing at all
    OpenPage();
    Select(QDate(2026, 3, 2));
    EXPECT_EQ(First(), 360);
    EXPECT_EQ(page->GetScrollBar()->value(), 360);
    Select(QDate(2026, 3, 3));
    EXPECT_EQ(First(), 210);
    Select(QDate(2026, 3, 4));
    EXPECT_EQ(First(), 210);  // nothing to look for: the view stays

    // the user scrolls 3 March; it comes back as they left it, the others as before
    Select(QDate(2026, 3, 3));
    page->GetScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    page->GetScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(First(), 270);
    Select(QDate(2026, 3, 2));
    EXPECT_EQ(First(), 360);
    Select(QDate(2026, 3, 3));
    EXPECT_EQ(First(), 270);

    // after a reload of the month too; another user starts afresh
    Select(QDate(2026, 4, 1));
    Select(QDate(2026, 3, 3));
    EXPECT_EQ(First(), 270);
    page->SetUser(user);
    Select(QDate(2026, 3, 3));
    EXPECT_EQ(First(), 210);
}

TEST(DayViewMath, StripRowKeepsItsPlacesAndMakesRoom)
{
    StripRowInput in;
    in.client = QRect(0, 0, 868, 500);
    in.captionWidth = 48;
    in.energyWidth = 100;
    in.valueWidth = 150;
    StripRowLayout l = ComputeStripRow(in);
    EXPECT_EQ(l.pickerX, 18);
    EXPECT_EQ(l.caption.left(), 118);
    EXPECT_EQ(l.comboX, 173);
    EXPECT_EQ(l.energy.left(), 378);
    EXPECT_EQ(l.value.left(), 498);
    EXPECT_EQ(l.value.right(), 859);  // to the strip's end
    EXPECT_EQ(l.caption.top(), 372);

    // a longer caption, a wider picker and combo push what follows
    in.captionWidth = 110;
    in.pickerWidth = 120;
    in.comboWidth = 230;
    in.energyWidth = 140;
    l = ComputeStripRow(in);
    EXPECT_EQ(l.caption.left(), 18 + 120 + 4);
    EXPECT_EQ(l.comboX, l.caption.left() + 110 + 4);
    EXPECT_EQ(l.energy.left(), l.comboX + 230 + 4);
    EXPECT_GE(l.energy.width(), 140);
    EXPECT_EQ(l.value.left(), l.energy.left() + l.energy.width());
    EXPECT_GE(l.value.width(), 150);
}

// Every list cell, header caption, strip text, combo item and the picker's date fit their
// room, in Chinese and in English, with the longest dates and figures a month can have.
class DayFitTest : public DayDetailTest, public ::testing::WithParamInterface<int> {};

TEST_P(DayFitTest, NothingTheUserReadsIsCutOff)
{
    CopyStandardFiles();
    CopyFromBuild(QStringLiteral("date.ico"));  // the icon takes its room from the date column
    if (GetParam() == 1) {
        ASSERT_TRUE(SwitchLanguage(1));
    }
    for (int d = 20; d <= 30; ++d) {
        DeviceStepRecord r = QuietDay(2026, 11, d, 245 + d, 60, 24.0);  // "2026-11-28", long exercises
        Store(r);
    }
    OpenPage();
    Pick(QDate(2026, 11, 28));
    QApplication::processEvents();

    CSkinListCtrl* list = page->GetDayList();
    ASSERT_EQ(list->GetItemCount(), 11);
    ASSERT_EQ(list->GetImageCount(), 1);
    const QFontMetrics cells(list->font());
    for (int r = 0; r < list->GetItemCount(); ++r) {
        const ListRowLayout row = list->RowLayout(r);
        for (int c = 0; c < list->GetColumnCount(); ++c) {
            const QString text = list->GetItemText(r, c);
            EXPECT_LE(cells.horizontalAdvance(text), row.text[size_t(c)].width()) << "row " << r << " col " << c << " " << qPrintable(text);
        }
    }
    CSkinHeaderCtrl* header = list->GetHeaderCtrl();
    const QFontMetrics captions(header->font());
    for (int c = 0; c < list->GetColumnCount(); ++c)
        EXPECT_LE(captions.horizontalAdvance(list->GetColumnText(c)), LayoutHeaderColumn(header->ColumnInput(c)).caption.width())
            << qPrintable(list->GetColumnText(c));
    EXPECT_GE(list->GetColumnWidth(0), 100);  // never narrower than the classic widths
    EXPECT_GE(list->GetColumnWidth(6), 325);

    // the strip's texts, each in its own box, none overlapping the next or the combo
    QFont stripFont;
    stripFont.setFamilies({QStringLiteral("宋体"), QStringLiteral("WenQuanYi Micro Hei")});
    stripFont.setPixelSize(12);
    const QFontMetrics strip(stripFont);
    const QStringList texts = page->StripTexts();
    const QList<QRect> boxes = page->StripTextRects();
    for (int i = 0; i < 3; ++i)
        EXPECT_LE(strip.horizontalAdvance(texts[i]), boxes[i].width()) << qPrintable(texts[i]);
    QComboBox* combo = page->GetExerciseCombo();
    EXPECT_LE(boxes[0].right(), combo->x());
    EXPECT_GE(boxes[1].left(), combo->geometry().right());
    EXPECT_LE(boxes[1].right(), boxes[2].left());
    EXPECT_LE(page->GetDatePicker()->geometry().right(), boxes[0].left());

    // the combo's items and the picker's date fit their edit fields
    QStyleOptionComboBox opt;
    opt.initFrom(combo);
    const QRect field = combo->style()->subControlRect(QStyle::CC_ComboBox, &opt, QStyle::SC_ComboBoxEditField, combo);
    ASSERT_GT(combo->count(), 0);
    for (int i = 0; i < combo->count(); ++i)
        EXPECT_LE(combo->fontMetrics().horizontalAdvance(combo->itemText(i)), field.width()) << qPrintable(combo->itemText(i));
    auto* edit = page->GetDatePicker()->findChild<QLineEdit*>();
    ASSERT_NE(edit, nullptr);
    EXPECT_LE(edit->fontMetrics().horizontalAdvance(edit->text()) + 4, edit->width()) << qPrintable(edit->text());
}

INSTANTIATE_TEST_SUITE_P(BothLanguages, DayFitTest, ::testing::Values(0, 1));

TEST(DayViewMath, ANarrowPageGivesTheStripASecondLineInsteadOfCuttingItsText)
{
    StripRowInput in;
    in.client = QRect(0, 0, 585, 330);  // the chart page beside the user card
    in.captionWidth = 52;
    in.energyWidth = 100;
    in.valueWidth = 150;
    in.lineHeight = 17;
    const StripRowLayout l = ComputeStripRow(in);
    const DayPageLayout page = ComputeDayPageLayout(in.client, 0, l.stripHeight);
    EXPECT_GT(l.stripHeight, kStripHeight);
    EXPECT_LE(l.value.left() + in.valueWidth, page.strip.left() + page.strip.width());
    EXPECT_GE(l.value.top(), l.energy.top() + in.lineHeight);  // under the energy, not over it
    EXPECT_LE(l.value.top() + in.lineHeight, page.strip.top() + page.strip.height());
    EXPECT_EQ(l.energy.top(), page.strip.top());
    // A page wide enough keeps one row.
    in.client = QRect(0, 0, 868, 500);
    EXPECT_EQ(ComputeStripRow(in).stripHeight, kStripHeight);
}
