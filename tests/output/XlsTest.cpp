// .xls workbooks read back by libfreexl and by xlrd.
#include "ExportFixture.h"

#include "output/export/ExportBook.h"
#include "output/export/UserListExport.h"

namespace {

void ExpectListWorkbook(const ReadBook& book, const std::vector<QStringList>& rows)
{
    ASSERT_EQ(book.size(), 2u);
    EXPECT_EQ(book[0].name, "Sheet1");
    EXPECT_EQ(book[1].name, "Sheet2");
    EXPECT_EQ(book[0].rows, ExpectedList(rows));
    EXPECT_TRUE(book[0].numbers.empty()) << "every cell is text";
    EXPECT_TRUE(book[1].rows.empty());
}

TEST_F(ExportTest, UserListCellsReadBackExactly)
{
    std::vector<QStringList> rows;
    for (int i = 0; i < 20; ++i)
        rows.push_back(ListRow(i));
    // Hostile and odd texts stay text, character for character.
    rows[1][1] = QStringLiteral("=SUM(A1:A9)");
    rows[2][1] = QStringLiteral("a,b\"c\r\nd");
    rows[3][1] = QStringLiteral("Zoë Ünal 😀");
    rows[3][2] = QStringLiteral("z") + QChar(0xDC00);  // half a character reads back as U+FFFD
    rows[4] = QStringList{"10005", "短行"};                                   // missing columns are empty
    rows[5] = ListRow(5) + QStringList{"第八列", "第九列不导出", "第十列"};  // columns past H are left out
    const QString file = Path("list.xls");
    const ExportResult result = ExportUserList(file, ListTitle(), ListHeadings(), rows);
    ASSERT_TRUE(result.ok) << result.error.toStdString();
    rows[3][2] = QStringLiteral("z\uFFFD");
    ExpectListWorkbook(ReadXlsWithFreexl(file), rows);
    ExpectListWorkbook(ReadWithXlrd(file), rows);
}

TEST_F(ExportTest, EmptyListHasTitleAndHeadingsOnly)
{
    const QString file = Path("empty.xls");
    ASSERT_TRUE(ExportUserList(file, ListTitle(), ListHeadings(), {}).ok);
    const ReadBook book = ReadXlsWithFreexl(file);
    ExpectListWorkbook(book, {});
    ExpectListWorkbook(ReadWithXlrd(file), {});
    EXPECT_EQ(Bytes("empty.xls").size() % 512, 0);
}

// More than 8224 bytes of strings: the string table goes on in CONTINUE
// records, with strings cut inside their characters (8-bit and UTF-16) and
// headers that must not straddle two records.
TEST_F(ExportTest, LongStringTableReadsBack)
{
    std::vector<QStringList> rows;
    for (int i = 0; i < 400; ++i) {
        QStringList r = ListRow(i);
        r[1] = QString(i % 50 + 1, QChar(0x4E00 + i)) + QString::number(i);  // lengths shift the cuts
        rows.push_back(r << QString());
    }
    rows[100][7] = QString(8000, QChar(u'x'));                                 // 8-bit, spans records
    rows[200][7] = QString(4000, QChar(u'中')) + QStringLiteral("尾");          // UTF-16, spans records
    rows[300][7] = QString();
    const QString file = Path("long.xls");
    const ExportResult result = ExportUserList(file, ListTitle(), ListHeadings(), rows);
    ASSERT_TRUE(result.ok) << result.error.toStdString();
    ExpectListWorkbook(ReadXlsWithFreexl(file), rows);
    ExpectListWorkbook(ReadWithXlrd(file), rows);

    // The longest texts a cell holds run through up to eight records. libfreexl
    // 1.0.6 cannot open a string spanning more than two, so xlrd alone reads these.
    rows.assign(1, {QString(32767, QChar(u'长')), QString(32767, QChar(u'l')), QStringLiteral("after")});
    ASSERT_TRUE(ExportUserList(Path("longest.xls"), ListTitle(), ListHeadings(), rows).ok);
    ExpectListWorkbook(ReadWithXlrd(Path("longest.xls")), rows);
}

TEST_F(ExportTest, ThousandsOfRowsReadBack)
{
    std::vector<QStringList> rows;
    for (int i = 0; i < 2500; ++i)
        rows.push_back(ListRow(i));
    const QString file = Path("many.xls");
    ASSERT_TRUE(ExportUserList(file, ListTitle(), ListHeadings(), rows).ok);
    ExpectListWorkbook(ReadXlsWithFreexl(file), rows);
    ExpectListWorkbook(ReadWithXlrd(file), rows);
}

// Past about 7 MB the compound file needs more FAT sectors than its header
// lists; the last row an .xls holds is row 65536, one more is refused.
TEST_F(ExportTest, FullHeightWorkbookAndRowLimit)
{
    ExportSheet sheet{"Sheet1", {}, {}};
    const QStringList row{"a", "b", "c", "d", "e", "f", "g", "h", "i", "j"};
    sheet.rows.assign(65536, row);
    sheet.rows.back()[9] = QStringLiteral("最后");
    ExportWorkbook book{{sheet}};
    const QString file = Path("full.xls");
    const ExportResult result = WriteWorkbook(file, book);
    ASSERT_TRUE(result.ok) << result.error.toStdString();
    EXPECT_GT(Bytes("full.xls").size(), 109 * 128 * 512);
    const ReadBook read = ReadXlsWithFreexl(file);
    ASSERT_EQ(read.size(), 1u);
    EXPECT_EQ(read[0].rows, sheet.rows);

    book.sheets[0].rows.push_back(row);
    const ExportResult over = WriteWorkbook(Path("over.xls"), book);
    EXPECT_FALSE(over.ok);
    EXPECT_TRUE(over.error.contains("65536")) << over.error.toStdString();
    EXPECT_FALSE(QFile::exists(Path("over.xls")));
}

}  // namespace
