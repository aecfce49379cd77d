// A user's stored days out of the store: the chart page's month and the user list's every
// stored day, through the save dialog, with missing days, a Chinese name and a failing store;
// the save dialog's helpers; the reasons in English.
#include "ExportFixture.h"

#include "core/DialogService.h"
#include "core/Globals.h"
#include "core/StringTable.h"
#include "output/export/ExportDialog.h"
#include "output/export/StoredDaysExport.h"
#include "output/export/UserListExport.h"
#include "tests/external/userdb/UserDbFixture.h"
#include "tests/support/TestDialogs.h"

#include <QRegularExpression>
#include <QTest>

#include <sys/stat.h>

#include <memory>

namespace {

constexpr int kNumber = 20001;

class StoredDaysTest : public ExportTest {
protected:
    void SetUp() override
    {
        std::string error;
        ASSERT_EQ(USER_Init(ConnectionFor((m_dir.path() + "/").toStdString()), "KX300_User", "KX300_Data", error), 0)
            << error;
        m_user = MakeUser(kNumber, "张三");
        m_user.weight = 60;
        m_user.stride = 70;
        ASSERT_EQ(USER_CreateUser(m_user), 1);
        m_dialogs.boxAnswer = QMessageBox::Yes;
        m_dialogs.saveFileName = [this](const QString&, const QStringList& filters, int& filter) {
            m_filters = filters;
            filter = m_filter;
            return m_answer;
        };
    }
    void TearDown() override { USER_Term(0, "508317"); }

    // Stores a day with `steps` steps over slots 300 ... and, when asked, a 12-slot exercise.
    void Store(const QDate& d, int steps, bool exercise)
    {
        auto day = std::make_unique<DeviceStepRecord>(MakeDay(d.year(), d.month(), d.day()));
        Fill(*day, 300, 300 + steps / 100, 1.25, 100);
        if (exercise)
            Fill(*day, 600, 612, 8.0, 150);  // 8 kcal a slot is above 60 kg x 0.1002
        std::string error;
        ASSERT_EQ(USER_InsertData(kNumber, m_user.weight, m_user.stride, *day, error), 1) << error;
    }

    void Answer(const QString& name, int filter)
    {
        m_answer = Path(name);
        m_filter = filter;
        m_dialogs.messages.clear();
        m_dialogs.savePrompts.clear();
    }

    TestDialogService m_dialogs;
    UserRecord m_user{};
    QString m_answer;
    int m_filter = 0;
    QStringList m_filters;
};

const QStringList kHeadings{"运动日期", "步数", "距离[公里]", "总运动量[千卡]", "有效运动[次]", "有效运动时间[分钟]",
                            "有效运动量[千卡]"};

}  // namespace

TEST_F(StoredDaysTest, MonthWithMissingDaysRoundTripsThroughCsvAndXlsx)
{
    Store(QDate(2024, 2, 29), 1000, false);  // the month before and after stay out
    Store(QDate(2024, 3, 1), 1200, false);
    Store(QDate(2024, 3, 2), 3400, true);
    Store(QDate(2024, 3, 17), 500, false);
    Store(QDate(2024, 3, 31), 2000, true);
    Store(QDate(2024, 4, 1), 900, false);
    const std::vector<QStringList> expected{
        kHeadings,
        {"2024-03-01", "1200", "0.84", "15.000", "0", "0", "0.00"},
        {"2024-03-02", "5200", "3.64", "138.500", "1", "24", "96.00"},
        {"2024-03-17", "500", "0.35", "6.250", "0", "0", "0.00"},
        {"2024-03-31", "3800", "2.66", "121.000", "1", "24", "96.00"},
    };

    Answer("march", 0);
    ExportUserMonth(nullptr, m_user, 2024, 3);
    EXPECT_EQ(m_filters, (QStringList{"CSV 文件(*.csv)", "Excel 工作簿(*.xlsx)"}));
    ASSERT_EQ(m_dialogs.savePrompts.size(), 1);
    EXPECT_TRUE(m_dialogs.savePrompts[0].endsWith("/张三-2024-03")) << m_dialogs.savePrompts[0].toStdString();
    EXPECT_EQ(m_dialogs.messages, QStringList{"共导出记录 4 条。"});
    EXPECT_EQ(ReadCsv(Bytes("march.csv")), expected);

    Answer("march", 1);
    ExportUserMonth(nullptr, m_user, 2024, 3);
    const ReadBook book = ReadWithXlrd(Path("march.xlsx"));
    ASSERT_EQ(book.size(), 1u);
    EXPECT_EQ(book[0].name, "每日");
    ASSERT_EQ(book[0].rows.size(), expected.size());
    EXPECT_EQ(book[0].rows[0], kHeadings);
    for (size_t r = 1; r < expected.size(); ++r) {
        EXPECT_EQ(book[0].rows[r][0], expected[r][0]);
        for (int c = 1; c < kDayExportColumns; ++c)
            EXPECT_EQ(book[0].rows[r][c], NumberText(expected[r][c].toDouble())) << r << "," << c;
    }

    // A month without a stored day: said so, nothing asked, nothing written.
    Answer("empty", 0);
    ExportUserMonth(nullptr, m_user, 2024, 5);
    EXPECT_EQ(m_dialogs.messages, QStringList{"没有可导出的计步数据。"});
    EXPECT_TRUE(m_dialogs.savePrompts.isEmpty());
    EXPECT_FALSE(QFile::exists(Path("empty.csv")));
}

TEST_F(StoredDaysTest, EveryStoredDayWithTheTwoMinuteSheet)
{
    const QDate today = LastStorableDay();
    Store(QDate(2000, 1, 1), 100, false);  // the first day the store takes
    Store(QDate(2013, 7, 9), 3400, true);
    Store(today, 700, false);
    EXPECT_EQ(FirstStorableDay(), QDate(2000, 1, 1));

    Answer("all", 0);
    ExportUserAllDays(nullptr, m_user);
    EXPECT_EQ(m_filters, (QStringList{"Excel 工作簿(*.xlsx)", "CSV 文件(*.csv)"}));
    EXPECT_TRUE(m_dialogs.savePrompts.value(0).endsWith("/张三-20001"));
    EXPECT_EQ(m_dialogs.messages, QStringList{"共导出记录 3 条。"});
    const ReadBook book = ReadWithXlrd(Path("all.xlsx"));
    ASSERT_EQ(book.size(), 2u);
    EXPECT_EQ(book[1].name, "每2分钟千卡");
    const QStringList dates{"2000-01-01", "2013-07-09", today.toString(Qt::ISODate)};
    ASSERT_EQ(book[0].rows.size(), 4u);
    ASSERT_EQ(book[1].rows.size(), 4u);
    for (int r = 1; r <= 3; ++r) {
        EXPECT_EQ(book[0].rows[r][0], dates[r - 1]);
        EXPECT_EQ(book[1].rows[r][0], dates[r - 1]);
    }
    ASSERT_EQ(book[1].rows[2].size(), 721);
    EXPECT_EQ(book[1].rows[2][1 + 300], "1.25");
    EXPECT_EQ(book[1].rows[2][1 + 611], "8");
    EXPECT_EQ(book[1].rows[2][1 + 612], "0");

    Answer("all.csv", 0);  // an offered extension typed keeps its format
    ExportUserAllDays(nullptr, m_user);
    const std::vector<QStringList> csv = ReadCsv(Bytes("all.csv"));
    ASSERT_EQ(csv.size(), 4u);
    EXPECT_EQ(csv[0], kHeadings);
    EXPECT_EQ(csv[2], (QStringList{"2013-07-09", "5200", "3.64", "138.500", "1", "24", "96.00"}));
}

TEST_F(StoredDaysTest, AFailingStoreStopsTheExportWithItsText)
{
    Store(QDate(2024, 3, 1), 1200, false);
    USER_Term(0, "508317");
    Answer("closed", 0);
    ExportUserMonth(nullptr, m_user, 2024, 3);
    ASSERT_EQ(m_dialogs.messages.size(), 1);
    EXPECT_EQ(m_dialogs.messages[0], QStringLiteral("导出失败。\r\n用户数据库没有打开"));
    EXPECT_TRUE(m_dialogs.savePrompts.isEmpty());
}

TEST_F(ExportTest, SaveDialogFiltersNamesAndPaths)
{
    EXPECT_EQ(FileDialogFilters("Microsoft Office Excel 工作簿(*.xls)|*.xls||"),
              QStringList{"Microsoft Office Excel 工作簿(*.xls)"});
    EXPECT_EQ(FileDialogFilters("Text|*.txt;*.log|All (*.*)|*.*||"), (QStringList{"Text (*.txt *.log)", "All (*.*)"}));
    EXPECT_EQ(FileDialogFilters("Odd (x)|*.x||"), QStringList{"Odd (x) (*.x)"});
    EXPECT_TRUE(FileDialogFilters("").isEmpty());
    EXPECT_TRUE(FileDialogFilters("|*.x||").isEmpty());

    const std::vector<ExportFormat> both{ExportFormat::Xls, ExportFormat::Xlsx};
    EXPECT_EQ(ExportPathFor("/d/list", both, 0), "/d/list.xls");
    EXPECT_EQ(ExportPathFor("/d/list", both, 1), "/d/list.xlsx");
    EXPECT_EQ(ExportPathFor("/d/list.XLSX", both, 0), "/d/list.XLSX");
    EXPECT_EQ(ExportPathFor("/d/list.csv", both, 1), "/d/list.csv.xlsx") << "not an offered format";
    EXPECT_EQ(ExportPathFor("/d/list", both, 7), "/d/list.xls");

    EXPECT_EQ(SafeFileName("a/b\\c:d*e?f\"g<h>i|j"), "a_b_c_d_e_f_g_h_i_j");
    EXPECT_EQ(SafeFileName(QString("..\x01 hidden ")), "_ hidden");
    EXPECT_EQ(SafeFileName("张三-2024-03"), "张三-2024-03");
}

TEST_F(ExportTest, ReasonsComeInTheUsersLanguage)
{
    QString error;
    const std::unique_ptr<CLanguagePack> english =
        CLanguagePack::Load(QStringLiteral(TRAVIMO_SOURCE_DIR "/res/program/Language/English.lng"), &error);
    ASSERT_TRUE(english) << error.toStdString();
    ASSERT_TRUE(QDir(m_dir.path()).mkdir("dir.xls"));
    g_hLangRes = english.get();
    const ExportResult onFolder = ExportUserList(Path("dir.xls"), "List", {}, {});
    const ExportResult unknown = WriteWorkbook(Path("list.txt"), ExportWorkbook{{ExportSheet{"Sheet1", {}, {}}}});
    const ExportResult badSheet = WriteWorkbook(Path("x.xlsx"), ExportWorkbook{{ExportSheet{"a:b", {}, {}}}});
    const ExportResult tooWide =
        WriteWorkbook(Path("x.xls"), ExportWorkbook{{ExportSheet{"Sheet1", {QStringList(300, "x")}, {}}}});
    const QString filter = ExportFilter(ExportFormat::Xlsx);
    g_hLangRes = nullptr;

    EXPECT_EQ(onFolder.error, QStringLiteral("\"%1\" is a folder; a file cannot be saved in its place.").arg(Path("dir.xls")));
    EXPECT_EQ(unknown.error,
              QStringLiteral("The file type of \"%1\" is unknown: the name must end in .xls, .xlsx or .csv.").arg(Path("list.txt")));
    EXPECT_TRUE(badSheet.error.startsWith("The sheet name \"a:b\" is not valid")) << badSheet.error.toStdString();
    EXPECT_EQ(tooWide.error, "Row 1 of the sheet \"Sheet1\" has 300 columns, more than the 256 columns a .xls file holds.");
    EXPECT_EQ(filter, "Excel Workbook (*.xlsx)");
    // And in Chinese with every value in its place.
    EXPECT_EQ(WriteWorkbook(Path("x.xls"), ExportWorkbook{{ExportSheet{"Sheet1", {QStringList(300, "x")}, {}}}}).error,
              QStringLiteral("工作表“Sheet1”第 1 行有 300 列，超过了 .xls 文件 256 列的上限。"));
}

// The save dialog lists a folder holding the open user store without opening its files: a file
// of the store opened and closed anywhere in the process drops the store's locks, and another
// program could then take its log away.
TEST_F(StoredDaysTest, SaveDialogLeavesTheStoresLocksInPlace)
{
    const auto storeLocks = [&] {
        struct stat st {};
        if (stat(QFile::encodeName(Path("User.db")).constData(), &st) != 0)
            return -1;
        const QByteArray inode = QByteArray::number(qulonglong(st.st_ino));
        QFile locks("/proc/locks");
        int n = 0;
        if (locks.open(QIODevice::ReadOnly)) {
            for (const QByteArray& line : locks.readAll().split('\n')) {
                const QList<QByteArray> f = line.simplified().split(' ');
                n += f.size() > 5 && f[4].toLongLong() == QCoreApplication::applicationPid() && f[5].endsWith(":" + inode);
            }
        }
        return n;
    };
    Store(QDate(2024, 3, 1), 1200, false);
    ASSERT_GT(storeLocks(), 0) << "the store holds its file locked";
    m_dialogs.saveFileName = nullptr;  // the real dialog
    int listed = -1;
    m_dialogs.runDialog = [&](QDialog& dlg) {
        dlg.show();
        QTest::qWait(1500);  // the folder is read and its rows painted
        listed = storeLocks();
        return int(QDialog::Rejected);
    };
    const QString chosen =
        m_dialogs.SaveFileName(nullptr, QString(), Path("list"), {"All (*)", "Excel (*.xls)"}, nullptr);
    EXPECT_TRUE(chosen.isEmpty());
    EXPECT_GT(listed, 0) << "listing the store's folder dropped the store's locks";
}
