// travimo-dayviewer: the chart page hosted in a plain window, for looking at a
// user's days without logging in through the whole program.
#include "core/Globals.h"
#include "core/StringTable.h"
#include "charts/DayDetailDlg.h"
#include "charts/SetPropertySheet.h"
#include "output/print/PrintFrameWnd.h"
#include "controls/SkinListCtrl.h"
#include "external/usb/Generator.h"
#include "external/userdb/UserDb.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QMouseEvent>
#include <QPainter>
#include <QPrinter>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <cstdio>
#include <memory>

namespace {

const char* kHelp = R"(Shows the chart page (one-day detail) in a plain window.

Usage:
  travimo-dayviewer --folder DIR --user NUMBER [options]
  travimo-dayviewer --demo YYYY-MM [options]

Where the data comes from:
  --folder DIR        program folder holding User.db (and Language.ini, Language/,
                      date.ico, <number>/Graph.ini). Default: the current directory.
  --user NUMBER       the user whose days are shown.
  --demo YYYY-MM      build a temporary program folder with a generated month for a
                      demonstration user 10002 "小明" (65 kg), stored through the user
                      store; Language.ini, Language/ and date.ico are copied from
                      --folder when given, otherwise from the build's program folder.

What is shown:
  --date YYYY-MM-DD   the day to pick (default: the 1st day with data of --demo's month,
                      otherwise today).
  --size WxH          window size (default 868x500).
  --maximized         show the window maximised.
  --language N        switch to language N of Language.ini (0 Chinese, 1 English).
  --scroll SLOT       first 2-minute slot of the curve (rounded up to an hour, as the
                      scroll bar does).
  --cursor X          place the position line at x pixels of the chart (a left click).
  --exercise N        select the N-th effective exercise in the combo box.
  --screenshot FILE   save a PNG of the window once loaded, then quit.
  --print-image FILE  save the printed page as an image at --dpi (black and white; with
                      --print-colour in colour), then quit.
  --print-pdf FILE    print the page into a PDF file, as the preview's Print does with
                      "print to file", then quit.
  --dpi N             resolution of --print-image (default 96).
  --print-colour      with --print-image and --print-pdf: the colour print mode.
  --settings          open the settings sheet, as the toolbar's settings command does.
  --print             run the toolbar's print command: print settings, then the preview.
  --list              print the loaded month's rows (tab-separated) and the picked
                      day's exercises, then quit.

Examples:
  travimo-dayviewer --demo 2026-03 --date 2026-03-14 --cursor 400 --scroll 480
  travimo-dayviewer --folder build/Travimo --user 10002 --date 2026-03-01
)";

bool CopyFolder(const QString& from, const QString& to)
{
    QDir src(from);
    if (!src.exists())
        return false;
    QDir().mkpath(to);
    for (const QString& f : src.entryList(QDir::Files))
        QFile::copy(src.filePath(f), to + QLatin1Char('/') + f);
    return true;
}

// Creates the demonstration user with one generated month; returns the first day with data.
QDate MakeDemoMonth(int year, int month, int number)
{
    UserRecord u{};
    u.number = number;
    SetRecordName(u, "小明");
    u.sex = 1;
    u.age = 34;
    u.weight = 65;
    u.height = 172;
    u.stride = 72;
    u.targetCalories = 300;
    USER_CreateUser(u);  // may exist already
    std::string error;
    for (const DeviceStepRecord& day : GenerateDays(year, month, 1, DaysInMonth(year, month), u.weight, 2026)) {
        if (USER_InsertData(number, u.weight, u.stride, day, error) < 0)
            std::fprintf(stderr, "could not store a day: %s\n", error.c_str());
    }
    return QDate(year, month, 1);
}

void ClickChart(CChartWnd* chart, int x)
{
    const QPointF local(x, chart->height() / 2);
    const QPointF global = chart->mapToGlobal(local);
    QMouseEvent press(QEvent::MouseButtonPress, local, global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(chart, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, local, global, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(chart, &release);
}

}  // namespace

int main(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i)
        if (QByteArray(argv[i]) == "--help" || QByteArray(argv[i]) == "-h") {
            std::fputs(kHelp, stdout);
            return 0;
        }
    QApplication app(argc, argv);
    QCommandLineParser parser;
    const QStringList valued = {"folder", "user", "demo", "date", "size", "language", "scroll", "cursor",
                                "exercise", "screenshot", "print-pdf", "dpi"};
    for (const QString& name : valued)
        parser.addOption(QCommandLineOption(name, name, "value"));
    parser.addOption(QCommandLineOption("maximized"));
    parser.addOption(QCommandLineOption("list"));
    parser.addOption(QCommandLineOption("print-colour"));
    parser.addOption(QCommandLineOption("settings"));
    parser.addOption(QCommandLineOption("print"));
    parser.addOption(QCommandLineOption("print-image", "print-image", "value"));
    if (!parser.parse(app.arguments())) {
        std::fprintf(stderr, "%s\n\n%s", qPrintable(parser.errorText()), kHelp);
        return 2;
    }

    QString folder = parser.isSet("folder") ? parser.value("folder") : QDir::currentPath();
    std::unique_ptr<QTemporaryDir> demoDir;
    int number = parser.value("user").toInt();
    QDate date = QDate::currentDate();
    if (parser.isSet("demo")) {
        const QDate month = QDate::fromString(parser.value("demo") + "-01", "yyyy-MM-dd");
        if (!month.isValid()) {
            std::fprintf(stderr, "--demo wants YYYY-MM\n");
            return 2;
        }
        demoDir = std::make_unique<QTemporaryDir>();
        const QString source = parser.isSet("folder") ? folder : QStringLiteral(TRAVIMO_BUILD_PROGRAM_DIR);
        const QString dst = demoDir->path() + QLatin1Char('/');
        QFile::copy(source + "/Language.ini", dst + "Language.ini");
        QFile::copy(source + "/date.ico", dst + "date.ico");
        CopyFolder(source + "/Language", dst + "Language");
        folder = dst;
        number = 10002;
    }
    SetProgramPaths(QDir(folder).absoluteFilePath("travimo-dayviewer"));

    if (number <= 0) {
        std::fprintf(stderr, "give --user NUMBER or --demo YYYY-MM\n\n%s", kHelp);
        return 2;
    }
    const std::string connection = "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + g_strAppPath.toStdString() +
                                   "User.mdb;Persist Security Info=False";
    std::string error;
    if (USER_Init(connection, "KX300_User", "KX300_Data", error) != 0) {
        std::fprintf(stderr, "cannot open the user store: %s\n", error.c_str());
        return 1;
    }
    if (parser.isSet("demo")) {
        const QDate month = QDate::fromString(parser.value("demo") + "-01", "yyyy-MM-dd");
        date = MakeDemoMonth(month.year(), month.month(), number);
    }
    if (parser.isSet("date"))
        date = QDate::fromString(parser.value("date"), "yyyy-MM-dd");
    if (parser.isSet("language")) {
        QString why;
        if (!SwitchLanguage(parser.value("language").toInt(), &why))
            std::fprintf(stderr, "language %s not loaded: %s\n", qPrintable(parser.value("language")), qPrintable(why));
    }

    UserRecord user{};
    if (USER_GetUser(number, user) != 1) {
        std::fprintf(stderr, "no user %d in %s\n", number, qPrintable(g_strAppPath));
        USER_Term(0, "");
        return 1;
    }

    int exitCode = 0;
    {
        QWidget window;
        window.setWindowTitle(QStringLiteral("%1 - %2").arg(QString::fromStdString(RecordName(user))).arg(number));
        auto* layout = new QVBoxLayout(&window);
        layout->setContentsMargins(0, 0, 0, 0);
        auto* page = new CDayDetailDlg(&window);
        page->SetUser(user);
        page->Create();
        layout->addWidget(page);

        QSize size(868, 500);
        if (parser.isSet("size")) {
            const QStringList wh = parser.value("size").split('x');
            if (wh.size() == 2)
                size = QSize(wh[0].toInt(), wh[1].toInt());
        }
        window.resize(size);
        if (parser.isSet("maximized"))
            window.showMaximized();
        else
            window.show();

        // What the picker would do for a user: load the month and select the day.
        page->LoadMonth();
        if (date.isValid())
            page->GetDatePicker()->setDate(date);
        if (parser.isSet("exercise"))
            page->GetExerciseCombo()->setCurrentIndex(parser.value("exercise").toInt());
        if (parser.isSet("scroll"))
            page->GetScrollBar()->setSliderPosition(parser.value("scroll").toInt());
        if (parser.isSet("cursor"))
            ClickChart(page->GetChart(), parser.value("cursor").toInt());

        if (parser.isSet("print-image") || parser.isSet("print-pdf")) {
            // The printed page, drawn as the preview and the printer draw it.
            CChartWnd* chart = page->GetChart();
            chart->SetPrintInColour(parser.isSet("print-colour"));
            CPrintView view(chart, page->GetDayList(), PrintHeaderOf(*page));
            if (parser.isSet("print-pdf")) {
                QPrinter printer(QPrinter::HighResolution);
                printer.setOutputFormat(QPrinter::PdfFormat);
                printer.setOutputFileName(parser.value("print-pdf"));
                QPainter p;
                if (p.begin(&printer))
                    view.Print(p, printer);
                else
                    exitCode = 1;
            } else {
                const int dpi = parser.isSet("dpi") ? std::clamp(parser.value("dpi").toInt(), 24, 1200) : 96;
                const double s = PrintUnitScale(dpi);
                QImage image(int((kPrintPageWidth + 45) * s), int((kPrintPageHeight + 45) * s), QImage::Format_RGB32);
                image.setDotsPerMeterX(int(dpi / 0.0254));
                image.setDotsPerMeterY(int(dpi / 0.0254));
                image.fill(Qt::white);
                {
                    QPainter p(&image);
                    view.Print(p, image);
                }
                if (!image.save(parser.value("print-image")))
                    exitCode = 1;
            }
            QTimer::singleShot(0, &app, &QApplication::quit);
        } else if (parser.isSet("settings")) {
            QTimer::singleShot(300, &window, [&] {
                RunChartSettings(&window, *page);
                // The chart as the sheet left it.
                if (parser.isSet("screenshot") && !window.grab().save(parser.value("screenshot")))
                    exitCode = 1;
                QApplication::quit();
            });
        } else if (parser.isSet("print")) {
            // The preview shows the window again when it closes; then the viewer ends.
            QTimer::singleShot(300, &window, [&] {
                CPrintFrameWnd* preview = RunChartPrint(&window, *page);
                if (!preview)
                    QApplication::quit();
                else
                    QObject::connect(preview, &QObject::destroyed, &app, [] { QTimer::singleShot(2000, &QApplication::quit); });
            });
        } else if (parser.isSet("list")) {
            CSkinListCtrl* list = page->GetDayList();
            for (int r = 0; r < list->GetItemCount(); ++r) {
                QStringList cells;
                for (int c = 0; c < list->GetColumnCount(); ++c)
                    cells << list->GetItemText(r, c);
                std::printf("%s\n", qPrintable(cells.join('\t')));
            }
            for (int i = 0; i < page->GetExerciseCombo()->count(); ++i)
                std::printf("exercise %d: %s\n", i, qPrintable(page->GetExerciseCombo()->itemText(i)));
            QTimer::singleShot(0, &app, &QApplication::quit);
        } else if (parser.isSet("screenshot")) {
            const QString file = parser.value("screenshot");
            QTimer::singleShot(300, &window, [&] {
                if (!window.grab().save(file)) {
                    std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
                    exitCode = 1;
                }
                QApplication::quit();
            });
        }
        const int rc = app.exec();
        if (exitCode == 0)
            exitCode = rc;
    }
    USER_Term(0, "");
    return exitCode;
}
