// Where a file ends up: replacing, failing without harm, names, and the
// cell-by-cell workbook.
#include "ExportFixture.h"

#include "output/export/ExcelFile.h"
#include "output/export/ExportBook.h"
#include "output/export/UserListExport.h"

#include <sys/stat.h>
#include <unistd.h>

namespace {

std::vector<QStringList> ListRows(int n)
{
    std::vector<QStringList> rows;
    for (int i = 0; i < n; ++i)
        rows.push_back(ListRow(i));
    return rows;
}

// Root may write anywhere: for as long as it lives, act as user nobody (real
// and effective ids, since access checks use the real one), keeping root as
// the saved id to come back.
class AsNobody {
public:
    AsNobody()
    {
        if (geteuid() == 0)
            m_switched = setresgid(65534, 65534, 0) == 0 && setresuid(65534, 65534, 0) == 0;
    }
    ~AsNobody()
    {
        if (m_switched) {
            EXPECT_EQ(setresuid(0, 0, 0), 0);
            EXPECT_EQ(setresgid(0, 0, 0), 0);
        }
    }
    AsNobody(const AsNobody&) = delete;
    AsNobody& operator=(const AsNobody&) = delete;

private:
    bool m_switched = false;
};

TEST_F(ExportTest, ExportingTwiceReplacesTheFile)
{
    const auto write = [&](const QString& file, int rows) {
        if (file.endsWith(".csv"))
            return WriteWorkbook(file, ExportWorkbook{{ExportSheet{"Sheet1", ExpectedList(ListRows(rows)), {}}}});
        return ExportUserList(file, ListTitle(), ListHeadings(), ListRows(rows));
    };
    const auto read = [&](const QString& file) {
        if (file.endsWith(".csv"))
            return Trimmed(ReadCsv(Bytes(QFileInfo(file).fileName())));
        const ReadBook book = file.endsWith(".xls") ? ReadXlsWithFreexl(file) : ReadWithXlrd(file);
        return book.empty() ? std::vector<QStringList>() : book[0].rows;
    };
    for (const char* name : {"twice.xls", "twice.xlsx", "twice.csv"}) {
        const QString file = Path(name);
        ASSERT_TRUE(write(file, 300).ok);
        const qint64 bigger = QFileInfo(file).size();
        ASSERT_TRUE(write(file, 2).ok);
        EXPECT_LT(QFileInfo(file).size(), bigger) << name;
        EXPECT_EQ(read(file), ExpectedList(ListRows(2))) << name;
    }
    EXPECT_EQ(Entries(), (QStringList{"twice.csv", "twice.xls", "twice.xlsx"})) << "no temporary files left";
}

// An existing file survives every failed write, and the reason names the file.
TEST_F(ExportTest, FailedWriteKeepsTheExistingFileAndSaysWhy)
{
    ASSERT_EQ(chmod(QFile::encodeName(m_dir.path()).constData(), 0755), 0);
    const QByteArray old("an earlier export");
    const auto keepsOld = [&](const QString& path, const ExportResult& r) {
        EXPECT_FALSE(r.ok) << path.toStdString();
        EXPECT_TRUE(r.error.contains(QDir::toNativeSeparators(path)) || r.error.contains(QFileInfo(path).path()))
            << r.error.toStdString();
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::ReadOnly) && f.readAll() == old) << path.toStdString();
    };
    const auto makeOld = [&](const QString& path) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.write(old) == old.size());
    };

    // A folder the user may not write to (holding a file they may write to,
    // which must not be overwritten in place either), and a read-only file in
    // a folder they may write to.
    ASSERT_TRUE(QDir(m_dir.path()).mkdir("locked") && QDir(m_dir.path()).mkdir("open"));
    makeOld(Path("locked/list.xls"));
    makeOld(Path("open/list.xlsx"));
    ASSERT_EQ(chmod(QFile::encodeName(Path("locked/list.xls")).constData(), 0666), 0);
    ASSERT_EQ(chmod(QFile::encodeName(Path("locked")).constData(), 0555), 0);
    ASSERT_EQ(chmod(QFile::encodeName(Path("open")).constData(), 0777), 0);
    ASSERT_EQ(chmod(QFile::encodeName(Path("open/list.xlsx")).constData(), 0444), 0);
    {
        AsNobody nobody;
        keepsOld(Path("locked/list.xls"), ExportUserList(Path("locked/list.xls"), ListTitle(), ListHeadings(), ListRows(5)));
        keepsOld(Path("open/list.xlsx"), ExportUserList(Path("open/list.xlsx"), ListTitle(), ListHeadings(), ListRows(5)));
    }

    // The disk filling up half way (a file size limit fails the write the
    // same way), for a file smaller than any write buffer and a larger one.
    makeOld(Path("full.xls"));
    makeOld(Path("full.xlsx"));
    std::vector<std::pair<QString, ExportResult>> full;
    {
        const FileSizeLimit diskFull(1000);
        ASSERT_TRUE(diskFull.Active());
        for (const char* name : {"full.xls", "full.xlsx"}) {
            for (int rows : {0, 3000})
                full.emplace_back(Path(name), ExportUserList(Path(name), ListTitle(), ListHeadings(), ListRows(rows)));
        }
    }
    for (const auto& [path, result] : full)
        keepsOld(path, result);

    // A folder in the file's place, and a folder that does not exist.
    ASSERT_TRUE(QDir(m_dir.path()).mkdir("dir.xls"));
    const ExportResult onDir = ExportUserList(Path("dir.xls"), ListTitle(), ListHeadings(), {});
    EXPECT_FALSE(onDir.ok);
    EXPECT_TRUE(onDir.error.contains("dir.xls"));
    const ExportResult missing = ExportUserList(Path("nowhere/list.xls"), ListTitle(), ListHeadings(), {});
    EXPECT_FALSE(missing.ok);
    EXPECT_TRUE(missing.error.contains("nowhere"));

    EXPECT_EQ(QDir(Path("locked")).entryList(QDir::Files | QDir::Hidden), QStringList{"list.xls"});
    EXPECT_EQ(QDir(Path("open")).entryList(QDir::Files | QDir::Hidden), QStringList{"list.xlsx"});
    EXPECT_EQ(Entries(), (QStringList{"dir.xls", "full.xls", "full.xlsx", "locked", "open"}));
}

TEST_F(ExportTest, NamesGetTheChosenExtension)
{
    EXPECT_EQ(WithExtension("/d/list", ExportFormat::Xls), "/d/list.xls");
    EXPECT_EQ(WithExtension("/d/list.XLS", ExportFormat::Xls), "/d/list.XLS");
    EXPECT_EQ(WithExtension("/d/list.xlsx", ExportFormat::Xls), "/d/list.xlsx.xls");
    EXPECT_EQ(WithExtension("/d/list.xls", ExportFormat::Xlsx), "/d/list.xls.xlsx");
    EXPECT_EQ(WithExtension("/d.xls/list", ExportFormat::Xls), "/d.xls/list.xls");
    EXPECT_EQ(WithExtension("/d/.csv", ExportFormat::Csv), "/d/.csv.csv");
    EXPECT_EQ(ExportFormatForPath("a.Csv"), ExportFormat::Csv);
    EXPECT_EQ(ExportFormatForPath("a.txt"), std::nullopt);

    const ExportResult unknown = WriteWorkbook(Path("list.txt"), ExportWorkbook{{ExportSheet{"Sheet1", {{"x"}}, {}}}});
    EXPECT_FALSE(unknown.ok);
    EXPECT_FALSE(unknown.error.isEmpty());
    for (const QString& bad : {QString("a/b"), QString(32, 'n'), QString(), QString("'q'")}) {
        const ExportResult r = WriteWorkbook(Path("bad.xlsx"), ExportWorkbook{{ExportSheet{bad, {{"x"}}, {}}}});
        EXPECT_FALSE(r.ok) << bad.toStdString();
    }
    const ExportResult twice = WriteWorkbook(Path("bad.xls"), ExportWorkbook{{ExportSheet{"A", {}, {}}, ExportSheet{"a", {}, {}}}});
    EXPECT_FALSE(twice.ok);
    EXPECT_TRUE(Entries().isEmpty());
}

TEST_F(ExportTest, ExcelFileContract)
{
    CExcelFile wrongName(Path("list.csv"), "Sheet1");
    EXPECT_FALSE(wrongName.Open());
    EXPECT_FALSE(wrongName.LastError().isEmpty());
    EXPECT_FALSE(wrongName.SetCell(0, 0, "x")) << "not open";

    {
        CExcelFile xls(Path("cells.xls"), "Sheet2");
        ASSERT_TRUE(xls.Open());
        EXPECT_FALSE(xls.SetCell(-1, 0, "x"));
        EXPECT_FALSE(xls.SetCell(0, 256, "x"));
        EXPECT_FALSE(xls.SetCell(65536, 0, "x"));
        EXPECT_TRUE(xls.SetCell(65535, 255, "corner"));
        EXPECT_TRUE(xls.SetCell(1, 2, "C2"));
        EXPECT_TRUE(xls.SetCell(1, 2, "C2 again"));
        EXPECT_FALSE(xls.AppendRow()) << "the last row is taken";
    }  // closing on destruction writes the file
    const ReadBook book = ReadXlsWithFreexl(Path("cells.xls"));
    ASSERT_EQ(book.size(), 2u);
    EXPECT_TRUE(book[0].rows.empty());
    ASSERT_EQ(book[1].rows.size(), 65536u);
    EXPECT_EQ(book[1].rows[1], (QStringList{"", "", "C2 again"}));
    EXPECT_EQ(book[1].rows[65535].value(255), "corner");

    CExcelFile xlsx(Path("other.xlsx"), "汇总");
    ASSERT_TRUE(xlsx.Open());
    EXPECT_TRUE(xlsx.SetCell(0, 300, "wide"));
    ASSERT_TRUE(xlsx.Close().ok);
    const ReadBook wide = ReadWithXlrd(Path("other.xlsx"));
    ASSERT_EQ(wide.size(), 3u);
    EXPECT_EQ(wide[2].name, "汇总");
    EXPECT_EQ(wide[2].rows[0].value(300), "wide");

    CExcelFile dropped(Path("dropped.xls"), "Sheet1");
    ASSERT_TRUE(dropped.Open());
    dropped.SetCell(0, 0, "x");
    dropped.Discard();
    EXPECT_FALSE(QFile::exists(Path("dropped.xls")));
}

}  // namespace
