#include "userpage/HomePageDlg.h"

#include "charts/ChartWnd.h"
#include "core/DlgItem.h"
#include "core/Globals.h"
#include "core/Profile.h"
#include "core/StringTable.h"
#include "external/userdb/UserDb.h"
#include "res/resource.h"

#include <QDesktopServices>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QPushButton>
#include <QStringConverter>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace {
constexpr int kKcalSeries = 1;
constexpr COLORREF kBarColour = ColorRefFromRgb(79, 129, 189);
constexpr COLORREF kTargetColour = ColorRefFromRgb(0, 128, 0);
// Where no address is configured at all: a page on this computer, never a stranger's host.
const char kDefaultHomePage[] = "http://localhost/little.asp";

// A read-only page view that loads nothing from the network by itself: a fetched page shows
// its text only, a local page may show the pictures beside it.
class CPageView : public QTextBrowser {
public:
    using QTextBrowser::QTextBrowser;
    bool m_localResources = false;

protected:
    QVariant loadResource(int type, const QUrl& name) override
    {
        const QUrl url = document()->baseUrl().resolved(name);
        if (!m_localResources || !url.isLocalFile())
            return QVariant();
        return QTextBrowser::loadResource(type, url);
    }
};

QString Ratio(const QString& done, const QString& target)
{
    return QStringLiteral("%1 / %2").arg(done, target);
}
}  // namespace

QUrl HomePageUrl(const QString& key)
{
    const QString text = key.trimmed();
    if (text.isEmpty() || text.compare(QStringLiteral("about:blank"), Qt::CaseInsensitive) == 0)
        return QUrl();
    const QUrl url(text, QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    if (url.isValid() && (scheme == QStringLiteral("http") || scheme == QStringLiteral("https") ||
                          scheme == QStringLiteral("file")))
        return url;
    if (QFileInfo(text).isAbsolute())
        return QUrl::fromLocalFile(text);
    return QUrl::fromLocalFile(ProgramFile(text));
}

CHomePageDlg::CHomePageDlg(QWidget* parent) : QWidget(parent)
{
    SetCtrlId(this, IDD_HOME_PAGE);
    setAutoFillBackground(true);
    SetBackColour(m_backColour);

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(6, 6, 6, 6);
    outer->setSpacing(4);

    m_chart = new CChartWnd(this);
    m_chart->setAccessibleName(LoadStr(651));
    m_chart->setMinimumHeight(150);
    m_chart->SetTitle(LoadStr(645));
    m_chart->SetXAxisTitle(LoadStr(235));
    m_chart->SetMargins(50, 12, 20, 22);
    m_chart->SetFixedScale(true);
    m_chart->SetAutoBarWidth(true);
    m_chart->SetDisplayFlags(CHART_BAR | CHART_MONTH);
    m_chart->SetLimitLineColour(kTargetColour);
    auto series = std::make_unique<ChartSeries>();
    series->key = kKcalSeries;
    series->colour = kBarColour;
    series->name = LoadStr(241);
    series->decimals = 1;
    series->scaleMax = OverviewScaleMax(0, 0);
    m_chart->AddSeries(series);
    outer->addWidget(m_chart, 3);

    m_targetCaption = new QLabel(this);
    m_targetCaption->setTextFormat(Qt::PlainText);
    outer->addWidget(m_targetCaption);
    outer->addLayout(BuildSummary());

    // The configured page: a message line with its link, and the view.
    m_pageArea = new QWidget(this);
    auto* pageLayout = new QVBoxLayout(m_pageArea);
    pageLayout->setContentsMargins(0, 0, 0, 0);
    auto* messageRow = new QHBoxLayout;
    m_message = new QLabel(m_pageArea);
    m_message->setTextFormat(Qt::PlainText);
    m_openLink = new QPushButton(LoadStr(649), m_pageArea);
    m_openLink->setFlat(true);
    m_openLink->setCursor(Qt::PointingHandCursor);
    m_openLink->setStyleSheet(QStringLiteral("QPushButton { color: #0645AD; text-decoration: underline; border: none; }"));
    connect(m_openLink, &QPushButton::clicked, this, [this] { QDesktopServices::openUrl(m_url); });
    messageRow->addWidget(m_message, 1);
    messageRow->addWidget(m_openLink);
    pageLayout->addLayout(messageRow);
    auto* view = new CPageView(m_pageArea);
    m_browser = view;
    SetCtrlId(m_browser, IDC_BROWSER);
    m_browser->setAccessibleName(LoadStr(650));
    m_browser->setReadOnly(true);
    m_browser->setOpenLinks(false);
    m_browser->setFrameShape(QFrame::NoFrame);
    connect(m_browser, &QTextBrowser::anchorClicked, this, [this](const QUrl& link) {
        const QString scheme = link.scheme().toLower();
        if (link.isRelative() && link.hasFragment() && link.path().isEmpty())
            m_browser->scrollToAnchor(link.fragment());
        else if (scheme == QStringLiteral("http") || scheme == QStringLiteral("https") || scheme == QStringLiteral("mailto"))
            QDesktopServices::openUrl(link);
    });
    pageLayout->addWidget(m_browser, 1);
    pageLayout->addStretch();  // the message line stays at the top while there is no page
    outer->addWidget(m_pageArea, 0);
    m_pageArea->hide();
    m_message->hide();
    m_openLink->hide();

    Navigate();
}

CHomePageDlg::~CHomePageDlg()
{
    if (m_reply)
        m_reply->abort();
}

QGridLayout* CHomePageDlg::BuildSummary()
{
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(16);
    grid->setVerticalSpacing(2);
    auto label = [this](const QString& text) {
        auto* l = new QLabel(text, this);
        l->setTextFormat(Qt::PlainText);
        return l;
    };
    const int headers[] = {238, 644, 209, 647};
    for (int c = 0; c < 4; ++c)
        grid->addWidget(label(LoadStr(headers[c])), 0, c + 1, Qt::AlignRight);
    const int periods[] = {641, 642, 643};
    for (int r = 0; r < 3; ++r) {
        grid->addWidget(label(LoadStr(periods[r])), r + 1, 0);
        for (int c = 0; c < 4; ++c) {
            m_cells[size_t(r)][size_t(c)] = label(QString());
            grid->addWidget(m_cells[size_t(r)][size_t(c)], r + 1, c + 1, Qt::AlignRight);
        }
    }
    grid->setColumnStretch(5, 1);
    return grid;
}

void CHomePageDlg::SetBackColour(COLORREF colour)
{
    m_backColour = colour;
    QPalette pal = palette();
    pal.setColor(QPalette::Window, ColorRefToQColor(colour));
    pal.setColor(QPalette::Base, ColorRefToQColor(colour));
    setPalette(pal);
    if (m_chart)
        m_chart->SetBackColour(colour);
}

void CHomePageDlg::SetUser(const UserRecord& user)
{
    m_user = user;
    if (isVisible())
        Reload();  // a hidden page reloads when it is shown
}

void CHomePageDlg::showEvent(QShowEvent* e)
{
    QWidget::showEvent(e);
    Reload();  // days may have been stored while another page was shown
}

void CHomePageDlg::Reload()
{
    m_days.clear();
    const QDate today = QDate::currentDate();
    if (m_user) {
        for (QDate d = OverviewFirstDay(today); d <= today; d = d.addDays(1)) {
            StepRecord record;
            record.Clear();
            std::string error;
            if (USER_GetData2(m_user->number, OleDateFromYmd(d.year(), d.month(), d.day()), record, error) != 1)
                continue;  // a day without data counts as zero
            m_days.push_back({d, record.day.steps, record.day.calories, record.effectiveMinutes});
        }
    }
    const UserRecord none{};
    const UserRecord& user = m_user ? *m_user : none;
    m_totals = {SumPeriod(m_days, today, today, user), SumPeriod(m_days, WeekStart(today), today, user),
                SumPeriod(m_days, MonthStart(today), today, user)};
    FillOverview();
}

void CHomePageDlg::FillOverview()
{
    const QDate today = QDate::currentDate();
    const double target = m_user ? std::max(m_user->targetCalories, 0) : 0;
    m_chart->ClearData();
    double highest = 0.0;
    for (int i = 0; i < kOverviewDays; ++i) {
        const QDate d = today.addDays(i - (kOverviewDays - 1));
        auto category = std::make_unique<ChartCategory>();
        category->label = QStringLiteral("%1/%2").arg(d.month()).arg(d.day());
        m_chart->InsertCategory(i, std::move(category), false);
        const auto day = std::find_if(m_days.begin(), m_days.end(), [&d](const DayActivity& a) { return a.date == d; });
        // A day without data is a bar of height 0: its place in the row stays empty.
        const double kcal = day != m_days.end() && std::isfinite(day->kcal) ? std::max(day->kcal, 0.0) : 0.0;
        highest = std::max(highest, kcal);
        m_chart->AddPoint(i, 0, kcal, kcal, kKcalSeries, false);
    }
    if (ChartSeries* s = m_chart->GetSeries(0))
        s->scaleMax = OverviewScaleMax(highest, target);
    m_chart->SetLimitValues(target, target, target);
    m_chart->SetLimitLineColour(target > 0 ? kTargetColour : m_chart->GetAxisColour());
    m_chart->RecalcLayout();
    m_chart->update();
    m_targetCaption->setText(target > 0 ? ReplaceR(LoadStr(646), QString::number(target, 'f', 0)) : QString());

    for (size_t r = 0; r < m_totals.size(); ++r) {
        const PeriodTotals& t = m_totals[r];
        m_cells[r][0]->setText(Ratio(QString::number(t.steps), QString::number(t.targetSteps)));
        m_cells[r][1]->setText(Ratio(QString::number(t.distanceKm, 'f', 2), QString::number(t.targetDistanceKm, 'f', 2)));
        m_cells[r][2]->setText(Ratio(QString::number(t.kcal, 'f', 1), QString::number(t.targetKcal, 'f', 0)));
        m_cells[r][3]->setText(QString::number(t.effectiveMinutes));
    }
}

void CHomePageDlg::Navigate()
{
    if (m_reply)
        m_reply->abort();
    const QString key = Profile::GetString(ProgramIniPath(), QStringLiteral("App"), QStringLiteral("HomePage"),
                                           QString::fromLatin1(kDefaultHomePage));
    m_url = HomePageUrl(key);
    m_message->hide();
    m_openLink->hide();
    m_browser->clear();
    if (m_url.isEmpty()) {
        m_pageArea->hide();
        emit PageDone(false);
        return;
    }
    m_pageArea->show();
    m_browser->show();

    if (m_url.isLocalFile()) {
        QFile file(m_url.toLocalFile());
        if (!file.open(QIODevice::ReadOnly)) {
            ShowFetchFailure(file.errorString());
            return;
        }
        const QByteArray data = file.read(qint64(kMaxPageBytes) + 1);
        if (uint64_t(data.size()) > kMaxPageBytes) {
            ShowFetchFailure(QStringLiteral("> %1 MB").arg(kMaxPageBytes >> 20));
            return;
        }
        static_cast<CPageView*>(m_browser)->m_localResources = true;
        const bool plain = m_url.path().endsWith(QStringLiteral(".txt"), Qt::CaseInsensitive);
        ShowHtml(data, plain ? QStringLiteral("text/plain") : QStringLiteral("text/html"));
        return;
    }

    static_cast<CPageView*>(m_browser)->m_localResources = false;
    if (!m_network)
        m_network = new QNetworkAccessManager(this);
    QNetworkRequest request(m_url);
    request.setTransferTimeout(kFetchTimeoutMs);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    QNetworkReply* reply = m_network->get(request);
    m_reply = reply;
    connect(reply, &QNetworkReply::downloadProgress, reply, [reply](qint64 received, qint64) {
        if (uint64_t(received) > kMaxPageBytes)
            reply->abort();  // no page of ours is that large
    });
    connect(reply, &QNetworkReply::finished, this, [this, reply] { OnReplyFinished(reply); });
}

void CHomePageDlg::OnReplyFinished(QNetworkReply* reply)
{
    reply->deleteLater();
    if (reply != m_reply)
        return;  // an older request, overtaken
    m_reply = nullptr;
    if (reply->error() != QNetworkReply::NoError) {
        ShowFetchFailure(reply->errorString());
        return;
    }
    const QByteArray data = reply->readAll();
    if (uint64_t(data.size()) > kMaxPageBytes) {
        ShowFetchFailure(QStringLiteral("> %1 MB").arg(kMaxPageBytes >> 20));
        return;
    }
    const QString type = reply->header(QNetworkRequest::ContentTypeHeader).toString().section(QLatin1Char(';'), 0, 0);
    if (!type.isEmpty() && type.trimmed().compare(QStringLiteral("text/html"), Qt::CaseInsensitive) != 0 &&
        type.trimmed().compare(QStringLiteral("text/plain"), Qt::CaseInsensitive) != 0) {
        ShowFetchFailure(type.trimmed());
        return;
    }
    ShowHtml(data, type.trimmed().isEmpty() ? QStringLiteral("text/html") : type.trimmed().toLower());
}

void CHomePageDlg::ShowHtml(const QByteArray& data, const QString& contentType)
{
    const auto encoding = QStringConverter::encodingForHtml(data).value_or(QStringConverter::Utf8);
    QStringDecoder decode(encoding);
    const QString text = decode(data);
    m_browser->document()->setBaseUrl(m_url);
    SetPageShare(true);
    if (contentType == QStringLiteral("text/plain"))
        m_browser->setPlainText(text);
    else
        m_browser->setHtml(text);
    emit PageDone(true);
}

void CHomePageDlg::SetPageShare(bool withPage)
{
    // A shown page shares the height with the overview; a message line takes only its own.
    if (auto* outer = qobject_cast<QBoxLayout*>(layout()))
        outer->setStretchFactor(m_pageArea, withPage ? 2 : 0);
}

void CHomePageDlg::ShowFetchFailure(const QString& detail)
{
    m_browser->clear();
    m_browser->hide();
    SetPageShare(false);
    QString line = ReplaceR(LoadStr(648), m_url.toDisplayString());
    if (!detail.isEmpty())
        line += QStringLiteral(" (%1)").arg(detail.simplified());
    m_message->setText(line);
    m_message->setToolTip(line);
    m_message->show();
    m_openLink->show();
    m_pageArea->show();
    emit PageDone(false);
}
