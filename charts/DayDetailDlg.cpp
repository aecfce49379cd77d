#include "charts/DayDetailDlg.h"

#include "core/DlgItem.h"
#include "core/Globals.h"
#include "core/StringTable.h"
#include "controls/SkinListCtrl.h"
#include "external/records/WndMessage.h"
#include "external/userdb/UserDb.h"
#include "output/export/ExportTexts.h"
#include "output/export/StoredDaysExport.h"
#include "res/resource.h"

#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QFileInfo>
#include <QIcon>
#include <QMenu>
#include <QPainter>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTimerEvent>

namespace {

constexpr int kFirstLoadDelay = 2000;  // ms
constexpr int kKcalSeriesKey = 1;
constexpr int kPickerWidth = 96;
constexpr int kComboWidth = 196;

// The classic column widths, the least each column gets.
struct Column {
    int text, width, format;
};
constexpr Column kColumns[] = {
    {208, 100, CSkinListCtrl::FormatLeft},  {209, 160, CSkinListCtrl::FormatRight},
    {210, 230, CSkinListCtrl::FormatRight}, {211, 245, CSkinListCtrl::FormatRight},
    {212, 160, CSkinListCtrl::FormatRight}, {213, 195, CSkinListCtrl::FormatRight},
    {217, 325, CSkinListCtrl::FormatRight},
};

QDate DateOfRecord(const StepRecord& r)
{
    const Ymd d = OleDateToYmd(r.day.date.dt);
    return QDate(d.year, d.month, d.day);
}

QFont PageFont()
{
    QFont f;
    f.setFamilies({QStringLiteral("宋体"), QStringLiteral("WenQuanYi Micro Hei")});
    f.setStyleHint(QFont::SansSerif);
    f.setPixelSize(12);
    f.setWeight(QFont::Weight(200));
    return f;
}

}  // namespace

CDayDetailDlg::CDayDetailDlg(QWidget* parent) : QWidget(parent)
{
    // Every control and the page itself on white.
    QPalette pal = palette();
    pal.setColor(QPalette::Window, ColorRefToQColor(m_backColour));
    pal.setColor(QPalette::Base, ColorRefToQColor(m_backColour));
    setPalette(pal);
    setAutoFillBackground(true);
}

CDayDetailDlg::~CDayDetailDlg()
{
    // The controls outlive this object's members while the base class deletes them:
    // no notification may reach the page any more.
    for (QObject* child : children())
        QObject::disconnect(child, nullptr, this, nullptr);
    if (m_loadTimer)
        killTimer(m_loadTimer);
    if (m_list)
        m_list->DeleteAllItems();
    delete m_chart;  // the chart goes before the page's other controls
    m_chart = nullptr;
    m_kcalSeries = nullptr;
    m_selectedDay = nullptr;
}

QString CDayDetailDlg::GraphIniPath(int userNumber)
{
    return UserGraphIniPath(userNumber);
}

QString CDayDetailDlg::ChartTitle() const
{
    const QString name = m_user ? QString::fromStdString(RecordName(*m_user)) : QString();
    return QStringLiteral("%1 %2").arg(name, LoadStr(243));
}

bool CDayDetailDlg::Create()
{
    if (m_chart)
        return true;

    // Controls of the page (their sizes stay; the layout only moves them).
    m_picker = new QDateEdit(this);
    SetCtrlId(m_picker, IDC_DAY_PICKER);
    m_picker->setCalendarPopup(true);
    // A typed date counts when it is complete (Enter, another field, the arrows), not at
    // every digit of the year on its way.
    m_picker->setKeyboardTracking(false);
    m_picker->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    m_picker->setDate(QDate::currentDate());
    m_picker->resize(std::max(kPickerWidth, m_picker->sizeHint().width()), m_picker->sizeHint().height());
    m_picker->setAccessibleName(LoadStr(235));

    m_scroll = new QScrollBar(Qt::Horizontal, this);
    SetCtrlId(m_scroll, IDC_DAY_SCROLL);
    m_scroll->setSingleStep(kScrollStep);
    m_scroll->setPageStep(kScrollStep);

    m_combo = new QComboBox(this);
    SetCtrlId(m_combo, IDC_EXERCISE_COMBO);
    m_combo->setEditable(false);
    m_combo->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    m_combo->setAccessibleName(LoadStr(244));
    m_combo->resize(kComboWidth, m_combo->sizeHint().height());

    m_list = new CSkinListCtrl(this);
    SetCtrlId(m_list, IDC_LIST);

    // The chart and its configuration, in this order.
    m_chart = new CChartWnd(this);
    m_chart->setGeometry(0, 0, 100, 100);
    m_chart->SetXAxisTitle(LoadStr(245));
    m_chart->SetYAxisTitle(LoadStr(246));
    m_chart->SetTitle(ChartTitle());
    m_chart->SetAutoBarWidth(false);
    m_chart->SetDisplayFlags(CHART_CURVE);
    m_chart->SetCategoryGap(6.0);
    m_chart->SetPointMarkers(false);
    m_chart->SetLabelStep(5, 0);
    m_chart->SetMargins(50, 20, 0, 20);
    const double w = m_user ? m_user->weight : 0;
    m_chart->SetLimitValues(w * 0.1002, w * 0.2004, w * 0.2672);
    m_chart->SetFixedScale(true);

    auto series = std::make_unique<ChartSeries>();
    series->key = kKcalSeriesKey;
    series->colour = 0;
    series->patternIndex = 0;
    series->barWidth = 2.0;
    series->name = LoadStr(144);
    series->scaleMax = 25.0;
    series->visible = true;
    series->decimals = 2;
    m_kcalSeries = series.get();
    m_chart->AddSeries(series);

    // The day icon: the program folder first, then the current folder.
    for (const QString& path : {ProgramFile(QStringLiteral("date.ico")), QDir::currentPath() + QStringLiteral("/date.ico")}) {
        if (!QFileInfo(path).isFile())
            continue;
        const QIcon icon(path);
        if (icon.isNull() || icon.availableSizes().isEmpty())
            continue;
        m_list->SetImageList({icon}, QSize(16, 16));
        m_hasDateIcon = true;
        break;
    }

    m_list->SetRowHeight(22);
    m_list->SetHeaderInsets(12, 2, 2, 2, 2);
    for (int i = 0; i < 7; ++i)
        m_list->InsertColumn(i, LoadStr(kColumns[i].text), kColumns[i].format, kColumns[i].width);
    FitColumns();

    m_combo->clear();

    m_scroll->setRange(0, std::max(0, kSlotsPerDay - m_chart->GetCategoryCapacity()));
    m_scroll->setValue(0);

    m_loadedMonth = m_picker->date();

    connect(m_scroll, &QScrollBar::actionTriggered, this, &CDayDetailDlg::OnScrollAction);
    connect(m_picker, &QDateEdit::dateChanged, this, &CDayDetailDlg::OnDateChanged);
    connect(m_combo, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index >= 0)
            update(m_stripRect);
    });
    connect(m_list, &CSkinListCtrl::ItemChanged, this, &CDayDetailDlg::OnItemChanged);
    // The day list's menu (mouse or menu key): the shown month's stored days to a file.
    m_list->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_list, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        QMenu menu(this);
        QAction* exportMonth = menu.addAction(LoadStr(ExportText::ExportMonthCommand));
        exportMonth->setEnabled(m_user.has_value());
        if (menu.exec(m_list->viewport()->mapToGlobal(pos)) == exportMonth && m_user)
            ExportUserMonth(this, UserRecord(*m_user), m_loadedMonth.year(), m_loadedMonth.month());
    });

    // Created while the page may already be visible: children must be shown explicitly.
    for (QWidget* w : std::initializer_list<QWidget*>{m_picker, m_scroll, m_combo, m_list, m_chart})
        w->show();

    m_loadTimer = startTimer(kFirstLoadDelay);
    ApplyGraphSettings();
    DoLayout();
    return true;
}

void CDayDetailDlg::SetUser(const UserRecord& user)
{
    m_user = user;
    UserChanged();
}

void CDayDetailDlg::ClearUser()
{
    m_user.reset();
    UserChanged();
}

void CDayDetailDlg::UserChanged()
{
    if (m_chart) {
        m_chart->SetTitle(ChartTitle());
        const double w = m_user ? m_user->weight : 0;
        // A different user has a different weight: the reference lines follow.
        m_chart->SetLimitValues(w * 0.1002, w * 0.2004, w * 0.2672);
        m_userScroll.clear();  // another user's days
        LoadMonth();
    }
}

void CDayDetailDlg::FreeRecords()
{
    m_selectedDay = nullptr;
    if (m_list)
        m_list->DeleteAllItems();
    m_records.clear();
}

int CDayDetailDlg::LoadMonth()
{
    if (!m_chart)
        return 0;
    // Whatever loaded the month first (a picked date, a new user) makes the delayed
    // first load pointless; letting it run would reset the day the user just chose.
    if (m_loadTimer) {
        killTimer(m_loadTimer);
        m_loadTimer = 0;
    }
    FreeRecords();

    if (m_user && m_loadedMonth.isValid()) {
        for (const Ymd& day : MonthQueryDays(m_loadedMonth.year(), m_loadedMonth.month())) {
            auto record = std::make_unique<StepRecord>();
            record->Clear();
            std::string error;
            if (USER_GetData2(m_user->number, OleDateFromYmd(day.year, day.month, day.day), *record, error) != 1)
                continue;  // no row for that day, no message
            const QStringList texts = DayRowTexts(day, *record);
            const int row = m_list->InsertItem(m_list->GetItemCount(), texts[0], m_hasDateIcon ? 0 : -1);
            for (int c = 1; c < texts.size(); ++c)
                m_list->SetItemText(row, c, texts[c]);
            m_list->SetItemData(row, record.get());
            m_records.push_back(std::move(record));
        }
    }

    FitColumns();
    m_combo->clear();
    m_chart->ClearData();

    if (m_list->GetItemCount() > 0) {
        m_selectedDay = static_cast<const StepRecord*>(m_list->GetItemData(0));
        SetPickerDate(DateOfRecord(*m_selectedDay));
        // Show which row the curve belongs to; the handler sees the day is shown already.
        m_list->SetItemState(0, CSkinListCtrl::StateSelected | CSkinListCtrl::StateFocused,
                             CSkinListCtrl::StateSelected | CSkinListCtrl::StateFocused);
        ShowDay();
    } else {
        // No day shown: the strip must not keep a value of a day that is gone.
        m_cursorLabel.clear();
        m_cursorValue = 0.0;
    }
    update(m_stripRect);
    m_chart->update();
    return 0;
}

void CDayDetailDlg::ShowDay()
{
    if (!m_selectedDay || !m_chart)
        return;
    const StepRecord& day = *m_selectedDay;

    m_combo->clear();
    const size_t n = std::min(day.exerciseStart.size(), day.exerciseSlots.size());
    for (size_t i = 0; i < n; ++i)
        m_combo->addItem(ExerciseText(day.exerciseStart[i], day.exerciseSlots[i]));
    if (m_combo->count() > 0)
        m_combo->setCurrentIndex(0);
    LayoutStripRow();  // the combo is as wide as its longest exercise
    update(m_stripRect);

    m_chart->ClearData();
    for (int s = 0; s < kSlotsPerDay; ++s) {
        auto category = std::make_unique<ChartCategory>();
        category->label = SlotLabel(s);
        m_chart->InsertCategory(s, std::move(category), false);
        m_chart->AddPoint(s, 0, day.day.slotKcal[s], 23.0, kKcalSeriesKey, s == kSlotsPerDay - 1);
    }
    // A day the user scrolled comes back where they left it; any other shows where its
    // activity starts rather than a flat night.
    const QDate date = DateOfRecord(day);
    const auto scrolled = m_userScroll.find(date);
    const int position = scrolled != m_userScroll.end()
                             ? scrolled->second
                             : FirstViewPosition(FirstActiveSlot(day), m_chart->GetFirstCategory(),
                                                 m_chart->GetCategoryCapacity(), m_scroll->minimum(), m_scroll->maximum());
    if (position != m_chart->GetFirstCategory()) {
        m_scrolling = true;
        m_scroll->setValue(position);
        m_scrolling = false;
        m_chart->SetFirstCategory(position, true);  // reports the value under the position line
    } else {
        // The position line stays where it is: what it shows now is this day's value.
        OnCursorMoved();
    }
}

int CDayDetailDlg::ApplyGraphSettings()
{
    SetChartColours(m_user ? ReadGraphColours(GraphIniPath(m_user->number)) : ChartColours{});
    return 1;
}

void CDayDetailDlg::SetChartColours(const ChartColours& colours)
{
    if (!m_chart)
        return;
    m_chart->SetAxisColour(colours.curve);
    if (m_kcalSeries)
        m_kcalSeries->colour = colours.curve;
    m_chart->SetLimitLineColour(colours.limit);
    m_chart->SetCursorLineColour(colours.cursor);
    m_chart->update();
}

ChartColours CDayDetailDlg::GetChartColours() const
{
    if (!m_chart)
        return {};
    return {m_kcalSeries ? m_kcalSeries->colour : m_chart->GetAxisColour(), m_chart->GetLimitLineColour(),
            m_chart->GetCursorLineColour()};
}

void CDayDetailDlg::FitColumns()
{
    if (!m_list)
        return;
    CSkinHeaderCtrl* header = m_list->GetHeaderCtrl();
    const QFontMetrics cellMetrics(m_list->font());
    const QFontMetrics captionMetrics(header->font());
    const ListRowLayout row = m_list->GetItemCount() > 0 ? m_list->RowLayout(0) : ListRowLayout{};
    for (int c = 0; c < m_list->GetColumnCount() && c < int(std::size(kColumns)); ++c) {
        const int width = m_list->GetColumnWidth(c);
        // What a column's edges, insets and icon take from its width, as the list and the
        // header lay them out now.
        const int captionRoom = LayoutHeaderColumn(header->ColumnInput(c)).caption.width();
        int needed = captionMetrics.horizontalAdvance(m_list->GetColumnText(c)) + (width - captionRoom);
        if (size_t(c) < row.text.size()) {
            const int cellOverhead = width - row.text[size_t(c)].width();
            for (int r = 0; r < m_list->GetItemCount(); ++r)
                needed = std::max(needed, cellMetrics.horizontalAdvance(m_list->GetItemText(r, c)) + cellOverhead);
        }
        m_list->SetColumnWidth(c, std::max(kColumns[c].width, needed));
    }
}

QStringList CDayDetailDlg::StripTexts() const
{
    QStringList texts;
    texts << (m_combo ? LoadStr(244) : QString());
    const int sel = m_combo ? m_combo->currentIndex() : -1;
    if (m_selectedDay && sel >= 0 && size_t(sel) < m_selectedDay->exerciseKcal.size())
        texts << ExerciseKcalText(LoadStr(248), m_selectedDay->exerciseKcal[size_t(sel)]);
    else
        texts << NoExerciseKcalText(LoadStr(248));
    texts << CursorValueText(LoadStr(249), m_cursorLabel, m_cursorValue);
    return texts;
}

// ---- events ---------------------------------------------------------------

bool CDayDetailDlg::event(QEvent* e)
{
    if (e->type() == MessageType(WM_CHART_CURSORMOVED)) {
        OnCursorMoved();
        return true;
    }
    if (e->type() == MessageType(WM_CHART_FLAGSCHANGED) || e->type() == MessageType(WM_CHART_SERIESCHANGED) ||
        e->type() == MessageType(WM_CHART_RBUTTONUP))
        return true;  // the page has nothing to do for these
    return QWidget::event(e);
}

void CDayDetailDlg::showEvent(QShowEvent* e)
{
    Create();
    QWidget::showEvent(e);
}

void CDayDetailDlg::resizeEvent(QResizeEvent* e)
{
    QWidget::resizeEvent(e);
    DoLayout();
}

void CDayDetailDlg::DoLayout()
{
    if (!m_chart)
        return;
    ComputeStripRowNow();
    const DayPageLayout l = ComputeDayPageLayout(rect(), m_scroll->sizeHint().height(), m_stripRow.stripHeight);
    m_list->setGeometry(l.list);
    m_stripPaintRect = l.strip;
    m_stripRect = l.stripInvalidate;
    m_picker->move(l.picker);
    m_combo->move(l.combo);
    m_scroll->setGeometry(l.scroll);
    m_chart->setGeometry(l.chart);
    m_scroll->setRange(0, std::max(0, 725 - m_chart->GetCategoryCapacity()));
    // The thumb shows how much of the day is in view; every step is still one hour.
    m_scroll->setPageStep(std::max(kScrollStep, m_chart->GetCategoryCapacity()));
    m_scroll->setValue(m_chart->GetFirstCategory());
    PlaceStripControls();
}

void CDayDetailDlg::LayoutStripRow()
{
    if (!m_chart)
        return;
    if (ComputeStripRowNow())
        DoLayout();  // the strip took or gave back a line: the chart above it moves
    else
        PlaceStripControls();
}

bool CDayDetailDlg::ComputeStripRowNow()
{
    const QFontMetrics fm(PageFont());
    StripRowInput in;
    in.client = rect();
    in.pickerWidth = m_picker->width();
    in.captionWidth = fm.horizontalAdvance(LoadStr(244));
    in.comboWidth = std::max(kComboWidth, m_combo->sizeHint().width());
    // The widest values the texts take, so they do not shift as the values change.
    in.energyWidth = fm.horizontalAdvance(ExerciseKcalText(LoadStr(248), 999999));
    in.valueWidth = fm.horizontalAdvance(CursorValueText(LoadStr(249), QStringLiteral("23:58"), 99.99));
    in.lineHeight = fm.height();
    const int before = m_stripRow.stripHeight;
    m_stripRow = ComputeStripRow(in);
    m_comboWidth = in.comboWidth;
    return m_stripRow.stripHeight != before;
}

void CDayDetailDlg::PlaceStripControls()
{
    m_picker->move(m_stripRow.pickerX, m_picker->y());
    m_combo->setGeometry(m_stripRow.comboX, m_picker->y(), m_comboWidth, m_combo->sizeHint().height());
    update(m_stripRect);
}

void CDayDetailDlg::paintEvent(QPaintEvent*)
{
    if (!m_chart)
        return;
    QPainter p(this);
    const QRect strip = m_stripPaintRect;
    p.fillRect(strip, ColorRefToQColor(m_stripColour));
    p.setFont(PageFont());
    p.setPen(Qt::black);
    const QStringList texts = StripTexts();
    const QList<QRect> boxes = StripTextRects();
    for (int i = 0; i < 3; ++i)
        if (!texts[i].isEmpty())
            p.drawText(boxes[i], Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, texts[i]);
}

void CDayDetailDlg::timerEvent(QTimerEvent* e)
{
    if (e->timerId() == m_loadTimer && m_loadTimer != 0) {
        killTimer(m_loadTimer);
        m_loadTimer = 0;
        LoadMonth();
        return;
    }
    QWidget::timerEvent(e);
}

void CDayDetailDlg::OnScrollAction(int action)
{
    if (m_scrolling || !m_chart)
        return;
    DayScroll code = DayScroll::Other;
    switch (action) {
    case QAbstractSlider::SliderSingleStepSub: code = DayScroll::LineLeft; break;
    case QAbstractSlider::SliderSingleStepAdd: code = DayScroll::LineRight; break;
    case QAbstractSlider::SliderPageStepSub: code = DayScroll::PageLeft; break;
    case QAbstractSlider::SliderPageStepAdd: code = DayScroll::PageRight; break;
    case QAbstractSlider::SliderMove: code = DayScroll::ThumbTrack; break;
    default: break;
    }
    // The slider has already applied the action to its position; the steps are ours.
    const int pos = DayScrollPosition(code, m_scroll->value(), m_scroll->sliderPosition(), m_scroll->minimum(),
                                      m_scroll->maximum());
    m_scrolling = true;
    m_scroll->setSliderPosition(pos);
    m_scrolling = false;
    if (m_selectedDay)
        m_userScroll[DateOfRecord(*m_selectedDay)] = pos;
    m_chart->SetFirstCategory(pos, true);
}

void CDayDetailDlg::SetPickerDate(const QDate& date)
{
    m_settingDate = true;
    m_picker->setDate(date);
    m_settingDate = false;
}

void CDayDetailDlg::OnDateChanged(const QDate& date)
{
    if (m_settingDate || !date.isValid())
        return;
    if (date.year() != m_loadedMonth.year() || date.month() != m_loadedMonth.month()) {
        m_loadedMonth = date;
        LoadMonth();
    }
    for (int row = 0; row < m_list->GetItemCount(); ++row) {
        const auto* record = static_cast<const StepRecord*>(m_list->GetItemData(row));
        if (record && DateOfRecord(*record) == date) {
            m_list->EnsureVisible(row, true);
            m_list->SetItemState(row, CSkinListCtrl::StateSelected | CSkinListCtrl::StateFocused,
                                 CSkinListCtrl::StateSelected | CSkinListCtrl::StateFocused);
            return;
        }
    }
}

void CDayDetailDlg::OnItemChanged(int row, unsigned oldState, unsigned newState)
{
    if ((oldState & CSkinListCtrl::StateSelected) || !(newState & CSkinListCtrl::StateSelected) || row < 0)
        return;
    const auto* record = static_cast<const StepRecord*>(m_list->GetItemData(row));
    if (!record || record == m_selectedDay)
        return;  // the day is shown already
    m_selectedDay = record;
    SetPickerDate(DateOfRecord(*record));
    ShowDay();
}

void CDayDetailDlg::OnCursorMoved()
{
    if (!m_chart)
        return;
    QString label;
    double value = 0.0;
    if (m_chart->GetCursorValue(label, value) == 1) {
        m_cursorLabel = label;
        m_cursorValue = value;
        update(m_stripRect);
    }
}
