// .xlsx read back by xlrd, CSV by a strict RFC 4180 reader, and the day exports.
#include "ExportFixture.h"

#include "output/export/DayExport.h"
#include "output/export/ExportBook.h"
#include "output/export/UserListExport.h"

namespace {

DayExportTexts Texts()
{
    return {{"日期", "步数", "距离[公里]", "总运动量[千卡]", "有效运动[次]", "有效运动时间[分钟]", "有效运动量[千卡]"},
            "每日", "每两分钟"};
}

std::vector<DayExportRow> Days(int count)
{
    std::vector<DayExportRow> days;
    for (int i = 0; i < count; ++i) {
        DayExportRow d;
        d.date = QDate(2024, 2, 1).addDays(i);
        d.steps = 1000 * i + 7;
        d.distanceKm = d.steps * 0.00066;
        d.kcal = 12.3456 * i;
        d.effectiveCount = i % 4;
        d.effectiveMinutes = 10 * (i % 4);
        d.effectiveKcal = 3.14159 * (i % 4);
        d.slotKcal.assign(720, 0.0);
        d.slotKcal[0] = 0.001 * i;
        d.slotKcal[719] = 1.5 + i;
        days.push_back(d);
    }
    days[1].slotKcal.resize(5);  // a short slot list reads as zeros
    return days;
}

TEST_F(ExportTest, UserListAsXlsxHoldsTheSameCells)
{
    // Texts the workbook's XML cannot hold as they are come back unchanged, or
    // (U+FFFE, half a character) as U+FFFD instead of spoiling the whole file.
    const QString half = QStringLiteral("z") + QChar(0xD800);
    std::vector<QStringList> rows{ListRow(0), ListRow(1),
                                  {"10003", "=1+1", "_x0041_", "a\x01b", QString(QChar(0xFFFE)), half, "<&>"}};
    const QString file = Path("list.xlsx");
    const ExportResult result = ExportUserList(file, ListTitle(), ListHeadings(), rows);
    ASSERT_TRUE(result.ok) << result.error.toStdString();
    const ReadBook book = ReadWithXlrd(file);
    ASSERT_EQ(book.size(), 2u);
    EXPECT_EQ(book[0].name, "Sheet1");
    EXPECT_EQ(book[1].name, "Sheet2");
    rows[2][4] = QChar(QChar::ReplacementCharacter);
    rows[2][5] = QStringLiteral("z\uFFFD");
    EXPECT_EQ(book[0].rows, ExpectedList(rows));
    EXPECT_TRUE(book[0].numbers.empty());
    EXPECT_TRUE(book[1].rows.empty());
}

TEST_F(ExportTest, CsvRoundTripsHostileTexts)
{
    const std::vector<QStringList> rows{
        {"plain", "with,comma", "with \"quotes\"", "line\nbreak", "crlf\r\nbreak", "lone\rcr"},
        {"", "  spaces  ", "中文，全角", "\"", ",", "end"},
        {"short", QStringLiteral("z") + QChar(0xD800)},
    };
    const QString file = Path("odd.csv");
    ASSERT_TRUE(WriteWorkbook(file, ExportWorkbook{{ExportSheet{"x", rows, {}}}}).ok);
    std::vector<QStringList> back = ReadCsv(Bytes("odd.csv"));
    ASSERT_EQ(back.size(), rows.size());
    EXPECT_EQ(back[2][1], QStringLiteral("z\uFFFD")) << "half a character becomes U+FFFD";
    back[2][1] = rows[2][1];
    for (size_t r = 0; r < rows.size(); ++r) {
        EXPECT_EQ(back[r].size(), 6) << "every line as wide as the widest";
        EXPECT_EQ(Trimmed({back[r]}), Trimmed({rows[r]}));
    }

    // A CSV file holds one sheet; a second one with cells is refused, not dropped.
    ExportWorkbook two{{ExportSheet{"a", rows, {}}, ExportSheet{"b", {{"lost"}}, {}}}};
    const ExportResult refused = WriteWorkbook(Path("two.csv"), two);
    EXPECT_FALSE(refused.ok);
    EXPECT_FALSE(refused.error.isEmpty());
    EXPECT_FALSE(QFile::exists(Path("two.csv")));
}

TEST_F(ExportTest, MonthOfDaysAsCsvAndXlsx)
{
    const std::vector<DayExportRow> days = Days(29);
    std::vector<QStringList> expected{Texts().headings};
    for (const DayExportRow& d : days)
        expected.push_back(DayRowTexts(d));
    EXPECT_EQ(expected[4], (QStringList{"2024-02-04", "3007", "1.98", "37.037", "3", "30", "9.42"}));

    ASSERT_TRUE(ExportDays(Path("month.csv"), Texts(), days).ok);
    EXPECT_EQ(ReadCsv(Bytes("month.csv")), expected);

    ASSERT_TRUE(ExportDays(Path("month.xlsx"), Texts(), days).ok);
    const ReadBook book = ReadWithXlrd(Path("month.xlsx"));
    ASSERT_EQ(book.size(), 1u);
    EXPECT_EQ(book[0].name, "每日");
    ASSERT_EQ(book[0].rows.size(), expected.size());
    EXPECT_EQ(book[0].rows[0], expected[0]);
    for (size_t r = 1; r < expected.size(); ++r) {
        EXPECT_EQ(book[0].rows[r][0], expected[r][0]) << "dates stay text";
        for (int c = 1; c < kDayExportColumns; ++c) {
            EXPECT_EQ(book[0].rows[r][c], NumberText(expected[r][c].toDouble()));
            EXPECT_TRUE(book[0].numbers.count({int(r), c})) << "row " << r << " column " << c;
        }
    }
}

TEST_F(ExportTest, AllDaysCarryTheSlotSheetInXlsxOnly)
{
    const std::vector<DayExportRow> days = Days(3);
    ASSERT_TRUE(ExportAllDays(Path("all.xlsx"), Texts(), days).ok);
    const ReadBook book = ReadWithXlrd(Path("all.xlsx"));
    ASSERT_EQ(book.size(), 2u);
    EXPECT_EQ(book[0].rows.size(), 4u);
    const ReadSheet& slotSheet = book[1];
    EXPECT_EQ(slotSheet.name, "每两分钟");
    ASSERT_EQ(slotSheet.rows.size(), 4u);
    ASSERT_EQ(slotSheet.rows[0].size(), 721);
    EXPECT_EQ(slotSheet.rows[0][0], "日期");
    EXPECT_EQ(slotSheet.rows[0][1], "00:00");
    EXPECT_EQ(slotSheet.rows[0][31], "01:00");
    EXPECT_EQ(slotSheet.rows[0][720], "23:58");
    EXPECT_EQ(slotSheet.rows[3][0], "2024-02-03");
    EXPECT_EQ(slotSheet.rows[3][1], "0.002");
    EXPECT_EQ(slotSheet.rows[3][720], "3.5");
    EXPECT_EQ(slotSheet.rows[2][720], "0") << "a missing slot is 0";
    EXPECT_TRUE(slotSheet.numbers.count({3, 720}));

    ASSERT_TRUE(ExportAllDays(Path("all.csv"), Texts(), days).ok);
    EXPECT_EQ(ReadCsv(Bytes("all.csv")).size(), 4u);

    // .xls keeps numbers as numbers too.
    ASSERT_TRUE(ExportAllDays(Path("all.xls"), Texts(), days).ok);
    const ReadBook xls = ReadXlsWithFreexl(Path("all.xls"));
    ASSERT_EQ(xls.size(), 1u);
    EXPECT_EQ(xls[0].rows, book[0].rows);
    EXPECT_EQ(xls[0].numbers, book[0].numbers);
}

}  // namespace
