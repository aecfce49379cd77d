#pragma once
// The chart page: the days of one month with their energy and effective-exercise
// figures, and the selected day as a curve of kilocalories per 2-minute slot over
// 24 hours, with reference lines from the user's weight, a position line and the
// day's effective exercises.
//
// Use: construct, SetUser (stores only while the page is not created), then
// Create() (or simply show the page, which creates it). From then on SetUser
// retitles the chart and reloads. The first month is loaded 2 s after Create.

#include "charts/ChartWnd.h"
#include "charts/DayDetailFormat.h"
#include "charts/GraphSettings.h"

#include <QDate>
#include <QWidget>

#include <map>
#include <memory>
#include <optional>
#include <vector>

class CSkinListCtrl;
class QComboBox;
class QDateEdit;
class QScrollBar;
struct UserRecord;

class CDayDetailDlg : public QWidget {
    Q_OBJECT
public:
    explicit CDayDetailDlg(QWidget* parent = nullptr);
    ~CDayDetailDlg() override;
    CDayDetailDlg(const CDayDetailDlg&) = delete;
    CDayDetailDlg& operator=(const CDayDetailDlg&) = delete;

    // Builds the controls and configures the chart (the dialog's initialisation); once.
    bool Create();
    bool IsCreated() const { return m_chart != nullptr; }

    // Shows a user's days; the page keeps its own copy of the record.
    void SetUser(const UserRecord& user);
    // Shows nobody: an empty page.
    void ClearUser();
    int LoadMonth();
    void ShowDay();
    // Reads the user's Graph.ini and colours the chart with it.
    int ApplyGraphSettings();
    // The chart's colours: axes and curve, reference lines, position line; setting them
    // repaints the chart.
    void SetChartColours(const ChartColours& colours);
    ChartColours GetChartColours() const;
    void SetPrintColour(int colour) { m_printColour = colour; }
    int GetPrintColour() const { return m_printColour; }

    // For the printing, settings and navigation code.
    CChartWnd* GetChart() const { return m_chart; }
    CSkinListCtrl* GetDayList() const { return m_list; }
    ChartSeries* GetKcalSeries() const { return m_kcalSeries; }
    QDateEdit* GetDatePicker() const { return m_picker; }
    QComboBox* GetExerciseCombo() const { return m_combo; }
    QScrollBar* GetScrollBar() const { return m_scroll; }
    const StepRecord* GetSelectedDay() const { return m_selectedDay; }
    // The user shown, or null.
    const UserRecord* GetUser() const { return m_user ? &*m_user : nullptr; }
    QDate GetLoadedMonth() const { return m_loadedMonth; }
    QRect GetStripRect() const { return m_stripRect; }
    // Where the strip's three texts are painted (caption, exercise energy, position value).
    QList<QRect> StripTextRects() const { return {m_stripRow.caption, m_stripRow.energy, m_stripRow.value}; }
    // The strip's three texts as they are painted now (caption empty while there is no combo).
    QStringList StripTexts() const;

    // The path of the user's Graph.ini: "<program folder><number>/Graph.ini".
    static QString GraphIniPath(int userNumber);

protected:
    bool event(QEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void timerEvent(QTimerEvent* e) override;

private:
    void DoLayout();
    // Places the strip's row after the picker's, the caption's and the combo's widths.
    void LayoutStripRow();
    void PlaceStripControls();
    // Lays out the strip's row for the page's width; true when the strip's height changed.
    bool ComputeStripRowNow();
    // Widens a column beyond its classic width where a caption or a cell of the month needs it.
    void FitColumns();
    void OnScrollAction(int action);
    void OnDateChanged(const QDate& date);
    void OnItemChanged(int row, unsigned oldState, unsigned newState);
    void OnCursorMoved();
    void SetPickerDate(const QDate& date);
    void UserChanged();
    void FreeRecords();
    QString ChartTitle() const;

    QDateEdit* m_picker = nullptr;
    QScrollBar* m_scroll = nullptr;
    QComboBox* m_combo = nullptr;
    CSkinListCtrl* m_list = nullptr;
    CChartWnd* m_chart = nullptr;       // child; deleted with the page
    QDate m_loadedMonth;
    ChartSeries* m_kcalSeries = nullptr;  // owned by the chart
    bool m_hasDateIcon = false;
    uint32_t m_backColour = 0xFFFFFF;
    int m_listHeight = kDayListHeight;
    int m_stripHeight = kStripHeight;
    uint32_t m_stripColour = kStripColour;
    QString m_cursorLabel;
    double m_cursorValue = 0.0;
    QRect m_stripRect;
    std::optional<UserRecord> m_user;          // the page's own copy
    const StepRecord* m_selectedDay = nullptr; // one of m_records, never owning
    int m_printColour = 0;

    std::vector<std::unique_ptr<StepRecord>> m_records;  // the list rows' item data
    QRect m_stripPaintRect;
    StripRowLayout m_stripRow;
    int m_comboWidth = 0;
    std::map<QDate, int> m_userScroll;  // the days the user scrolled, with where to
    int m_loadTimer = 0;      // timer 1: the first load
    bool m_settingDate = false;
    bool m_scrolling = false;
};
