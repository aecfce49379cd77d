#pragma once
// The home page (dialog 137): an overview of the user's activity — the last 30 days' kcal as
// bars with the daily target as a reference line, and today, this week and this month against
// the targets — and, when the program ini's HomePage names an address other than about:blank,
// that page in a read-only view below (a local file, or an http(s) page fetched over the
// network; a one-line message and a browser link when it cannot be had).

#include "controls/Colour.h"
#include "external/records/Records.h"
#include "userpage/HomeOverview.h"

#include <QPointer>
#include <QUrl>
#include <QWidget>

#include <array>
#include <optional>

class CChartWnd;
class QGridLayout;
class QLabel;
class QNetworkAccessManager;
class QNetworkReply;
class QPushButton;
class QTextBrowser;

// The HomePage key as an address: empty for none (empty or about:blank); http(s) and file
// addresses as given; anything else a file path, relative to the program folder.
QUrl HomePageUrl(const QString& key);

class CHomePageDlg : public QWidget {
    Q_OBJECT
public:
    static constexpr uint64_t kMaxPageBytes = 4 * 1024 * 1024;
    static constexpr int kFetchTimeoutMs = 15000;

    explicit CHomePageDlg(QWidget* parent = nullptr);
    ~CHomePageDlg() override;

    void SetBackColour(COLORREF colour);
    // The user whose activity is shown; the page keeps its own copy and reloads.
    void SetUser(const UserRecord& user);
    // Reads the user's days again (the store took new ones).
    void Reload();
    // Reads HomePage from the program ini and shows that page (or none).
    void Navigate();

    // For tests and the panel.
    const std::array<PeriodTotals, 3>& Totals() const { return m_totals; }  // today, week, month
    const std::vector<DayActivity>& Days() const { return m_days; }
    CChartWnd* Chart() const { return m_chart; }
    QTextBrowser* Browser() const { return m_browser; }
    QLabel* FetchMessage() const { return m_message; }
    QUrl PageUrl() const { return m_url; }
    // Shows the one-line failure and the link for the current address.
    void ShowFetchFailure(const QString& detail);

signals:
    // The page finished loading or failed (tests wait for it).
    void PageDone(bool shown);

protected:
    void showEvent(QShowEvent* e) override;

private:
    QGridLayout* BuildSummary();
    void FillOverview();
    void ShowHtml(const QByteArray& data, const QString& contentType);
    void OnReplyFinished(QNetworkReply* reply);
    void SetPageShare(bool withPage);

    COLORREF m_backColour = 0xFFFFFF;
    std::optional<UserRecord> m_user;
    std::vector<DayActivity> m_days;
    std::array<PeriodTotals, 3> m_totals{};
    CChartWnd* m_chart = nullptr;
    QLabel* m_targetCaption = nullptr;
    std::array<std::array<QLabel*, 4>, 3> m_cells{};
    QWidget* m_pageArea = nullptr;
    QTextBrowser* m_browser = nullptr;
    QLabel* m_message = nullptr;
    QPushButton* m_openLink = nullptr;
    QNetworkAccessManager* m_network = nullptr;
    QPointer<QNetworkReply> m_reply;
    QUrl m_url;
};
