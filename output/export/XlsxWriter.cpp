// .xlsx through libxlsxwriter. The library writes to a file name of its own
// choosing, so it writes into a private temporary folder and the finished file
// is then saved to the destination the same way as every other format.
#include "output/export/ExportTexts.h"
#include "output/export/ExportWriters.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <xlsxwriter.h>

#include <algorithm>
#include <memory>

namespace {

struct WorkbookCloser {
    void operator()(lxw_workbook* wb) const { lxw_workbook_free(wb); }
};

// Cell texts as the workbook's XML can carry them: U+FFFE and
// U+FFFF are not XML characters, and a literal "_xHHHH_" would be read back as
// the character it names unless its underscore is escaped. Control characters
// are escaped by the library itself.
QString XmlText(const QString& text)
{
    const auto odd = [](QChar c) { return c.isSurrogate() || c.unicode() >= 0xFFFE; };
    const bool underscores = text.contains(QLatin1String("_x"));
    if (!underscores && std::none_of(text.cbegin(), text.cend(), odd))
        return text;
    QString out = WholeCharacters(text);
    for (QChar& c : out) {
        if (c.unicode() >= 0xFFFE)
            c = QChar::ReplacementCharacter;
    }
    if (underscores) {
        static const QRegularExpression escaped(QStringLiteral("_(?=x[0-9A-Fa-f]{4}_)"));
        out.replace(escaped, QStringLiteral("_x005F_"));
    }
    return out;
}

QString LibraryError(lxw_error error)
{
    return QString::fromUtf8(lxw_strerror(error));
}

}  // namespace

ExportResult WriteXlsxWorkbook(const QString& path, const ExportWorkbook& book)
{
    QTemporaryDir folder;
    if (!folder.isValid())
        return SaveFailure(path, ExportMessage(ExportText::NoTemporaryFolder, {folder.errorString()}));
    const QString built = folder.filePath(QStringLiteral("book.xlsx"));
    QByteArray tmpdir = QFile::encodeName(folder.path());

    lxw_workbook_options options{};
    options.constant_memory = LXW_FALSE;
    options.tmpdir = tmpdir.data();
    std::unique_ptr<lxw_workbook, WorkbookCloser> wb(workbook_new_opt(QFile::encodeName(built).constData(), &options));
    if (!wb)
        return SaveFailure(path, ExportMessage(ExportText::NoXlsxWorkbook));

    lxw_error failed = LXW_NO_ERROR;
    for (const ExportSheet& sheet : book.sheets) {
        lxw_worksheet* ws = workbook_add_worksheet(wb.get(), sheet.name.toUtf8().constData());
        if (!ws)
            return ExportResult::Failure(ExportMessage(ExportText::BadSheetName, {sheet.name}));
        const NumberCells numbers(sheet);
        for (size_t r = 0; r < sheet.rows.size() && !failed; ++r) {
            const QStringList& row = sheet.rows[r];
            for (qsizetype c = 0; c < row.size() && !failed; ++c) {
                const QString& text = row[c];
                if (text.isEmpty())
                    continue;
                const auto rr = static_cast<lxw_row_t>(r);
                const auto cc = static_cast<lxw_col_t>(c);
                double value = 0.0;
                if (numbers.Parse(c, text, value))
                    failed = worksheet_write_number(ws, rr, cc, value, nullptr);
                else
                    failed = worksheet_write_string(ws, rr, cc, XmlText(text).toUtf8().constData(), nullptr);
            }
        }
    }
    // Closing writes the file and frees the workbook either way.
    const lxw_error closed = workbook_close(wb.release());
    if (failed || closed)
        return SaveFailure(path, LibraryError(failed ? failed : closed));

    QFile file(built);
    QByteArray bytes;
    if (file.open(QIODevice::ReadOnly))
        bytes = file.readAll();
    if (bytes.isEmpty() || file.error() != QFileDevice::NoError)
        return SaveFailure(path, file.errorString());
    return SaveBytes(path, bytes);
}
