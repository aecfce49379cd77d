#include "output/export/ExportBook.h"

#include "output/export/ExportWriters.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>

namespace {

QString Shown(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

bool ValidSheetName(const QString& name)
{
    static const QString kForbidden = QStringLiteral("[]:*?/\\");
    if (name.isEmpty() || name.size() > 31 || name.startsWith(u'\'') || name.endsWith(u'\''))
        return false;
    for (QChar c : name) {
        if (kForbidden.contains(c) || c.unicode() < 0x20)
            return false;
    }
    return true;
}

bool HasCells(const ExportSheet& sheet)
{
    for (const QStringList& row : sheet.rows) {
        for (const QString& text : row) {
            if (!text.isEmpty())
                return true;
        }
    }
    return false;
}

}  // namespace

ExportLimits LimitsOf(ExportFormat format)
{
    switch (format) {
    case ExportFormat::Xls:
        return {65536, 256, 32767, INT_MAX};
    case ExportFormat::Xlsx:
        return {1048576, 16384, 32767, INT_MAX};
    case ExportFormat::Csv:
        break;
    }
    return {INT_MAX, INT_MAX, INT_MAX, 1};
}

QString ExtensionOf(ExportFormat format)
{
    switch (format) {
    case ExportFormat::Xls:
        return QStringLiteral(".xls");
    case ExportFormat::Xlsx:
        return QStringLiteral(".xlsx");
    case ExportFormat::Csv:
        break;
    }
    return QStringLiteral(".csv");
}

std::optional<ExportFormat> ExportFormatForPath(const QString& path)
{
    for (ExportFormat f : {ExportFormat::Xls, ExportFormat::Xlsx, ExportFormat::Csv}) {
        const QString ext = ExtensionOf(f);
        // ".xls" alone is a hidden file's name, not a workbook called nothing.
        const QString name = QFileInfo(path).fileName();
        if (name.size() > ext.size() && name.endsWith(ext, Qt::CaseInsensitive))
            return f;
    }
    return std::nullopt;
}

QString WithExtension(const QString& path, ExportFormat format)
{
    if (ExportFormatForPath(path) == format)
        return path;
    return path + ExtensionOf(format);
}

QString CheckWorkbook(const ExportWorkbook& book, ExportFormat format)
{
    const ExportLimits limits = LimitsOf(format);
    const QString kind = ExtensionOf(format);
    if (book.sheets.empty())
        return QStringLiteral("工作簿中没有工作表。");
    QStringList names;
    int withCells = 0;
    for (const ExportSheet& sheet : book.sheets) {
        if (format != ExportFormat::Csv) {
            if (!ValidSheetName(sheet.name))
                return QStringLiteral("工作表名称“%1”无效：名称须为 1 到 31 个字符，不能含有 [ ] : * ? / \\，"
                                      "也不能以单引号开头或结尾。")
                    .arg(sheet.name);
            if (names.contains(sheet.name, Qt::CaseInsensitive))
                return QStringLiteral("工作表名称“%1”重复。").arg(sheet.name);
            names << sheet.name;
        }
        if (HasCells(sheet) && ++withCells > limits.maxSheets)
            return QStringLiteral("%1 文件只能保存一个工作表，工作表“%2”的内容无法写入。").arg(kind, sheet.name);
        if (sheet.rows.size() > static_cast<size_t>(limits.maxRows))
            return QStringLiteral("工作表“%1”有 %2 行，超过了 %3 文件 %4 行的上限。")
                .arg(sheet.name)
                .arg(sheet.rows.size())
                .arg(kind)
                .arg(limits.maxRows);
        for (size_t r = 0; r < sheet.rows.size(); ++r) {
            const QStringList& row = sheet.rows[r];
            if (row.size() > limits.maxColumns)
                return QStringLiteral("工作表“%1”第 %2 行有 %3 列，超过了 %4 文件 %5 列的上限。")
                    .arg(sheet.name)
                    .arg(r + 1)
                    .arg(row.size())
                    .arg(kind)
                    .arg(limits.maxColumns);
            for (qsizetype c = 0; c < row.size(); ++c) {
                if (row[c].size() > limits.maxTextLength)
                    return QStringLiteral("工作表“%1”第 %2 行第 %3 列的文字超过了 %4 个字符的上限。")
                        .arg(sheet.name)
                        .arg(r + 1)
                        .arg(c + 1)
                        .arg(limits.maxTextLength);
            }
        }
    }
    return QString();
}

QString WholeCharacters(const QString& text)
{
    const auto isSurrogate = [](QChar c) { return c.isSurrogate(); };
    if (std::none_of(text.cbegin(), text.cend(), isSurrogate))
        return text;
    QString out = text;
    for (qsizetype i = 0; i < out.size(); ++i) {
        if (out[i].isHighSurrogate() && i + 1 < out.size() && out[i + 1].isLowSurrogate())
            ++i;
        else if (out[i].isSurrogate())
            out[i] = QChar::ReplacementCharacter;
    }
    return out;
}

NumberCells::NumberCells(const ExportSheet& sheet)
{
    for (int c : sheet.numberColumns) {
        if (c < 0)
            continue;
        if (m_columns.size() <= static_cast<size_t>(c))
            m_columns.resize(static_cast<size_t>(c) + 1);
        m_columns[static_cast<size_t>(c)] = true;
    }
}

bool NumberCells::Parse(qsizetype column, const QString& text, double& value) const
{
    if (static_cast<size_t>(column) >= m_columns.size() || !m_columns[static_cast<size_t>(column)])
        return false;
    // Plain decimal texts only, read without the locale machinery of
    // QString::toDouble: day exports hold hundreds of thousands of them.
    char digits[64];
    const qsizetype n = text.size();
    if (n == 0 || n >= qsizetype(sizeof digits))
        return false;
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t u = text[i].unicode();
        if (!((u >= u'0' && u <= u'9') || u == u'.' || u == u'-' || u == u'e' || u == u'E' || u == u'+'))
            return false;
        digits[i] = static_cast<char>(u);
    }
    const auto [end, error] = std::from_chars(digits, digits + n, value);
    return error == std::errc() && end == digits + n && std::isfinite(value);
}

QString CheckDestination(const QString& path)
{
    // isDir and isWritable follow a symbolic link to the file it names.
    const QFileInfo info(path);
    if (info.isDir())
        return QStringLiteral("“%1”是一个文件夹，不能保存为文件。").arg(Shown(path));
    // A file its owner made read-only is not replaced behind their back.
    if (info.exists() && !info.isWritable())
        return QStringLiteral("“%1”是只读文件，不能替换。").arg(Shown(path));
    if (!info.dir().exists())
        return QStringLiteral("文件夹“%1”不存在。").arg(Shown(info.absolutePath()));
    return QString();
}

ExportResult SaveFailure(const QString& path, const QString& reason)
{
    return ExportResult::Failure(QStringLiteral("无法保存“%1”：%2").arg(Shown(path), reason));
}

ExportResult SaveBytes(const QString& path, const QByteArray& bytes)
{
    if (const QString why = CheckDestination(path); !why.isEmpty())
        return ExportResult::Failure(why);
    const auto failed = [&](const QString& reason) { return SaveFailure(path, reason); };
    // Without the direct-write fallback a file that cannot be replaced by
    // rename is reported, never overwritten in place. Unbuffered, because a
    // short write while flushing the buffer on commit would go unnoticed.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return failed(file.errorString());
    if (file.write(bytes) != bytes.size()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return failed(reason);
    }
    if (!file.commit())
        return failed(file.errorString());
    return ExportResult::Success();
}

ExportResult WriteWorkbook(const QString& path, const ExportWorkbook& book)
{
    const std::optional<ExportFormat> format = ExportFormatForPath(path);
    if (!format)
        return ExportResult::Failure(
            QStringLiteral("无法识别“%1”的文件类型：文件名须以 .xls、.xlsx 或 .csv 结尾。").arg(Shown(path)));
    return WriteWorkbook(path, book, *format);
}

ExportResult WriteWorkbook(const QString& path, const ExportWorkbook& book, ExportFormat format)
{
    if (const QString why = CheckWorkbook(book, format); !why.isEmpty())
        return ExportResult::Failure(why);
    if (const QString why = CheckDestination(path); !why.isEmpty())
        return ExportResult::Failure(why);
    switch (format) {
    case ExportFormat::Xls:
        return SaveBytes(path, CompoundFileWithWorkbook(BiffWorkbookStream(book)));
    case ExportFormat::Xlsx:
        return WriteXlsxWorkbook(path, book);
    case ExportFormat::Csv:
        break;
    }
    for (const ExportSheet& sheet : book.sheets) {
        if (HasCells(sheet))
            return SaveBytes(path, CsvBytes(sheet));
    }
    return SaveBytes(path, CsvBytes(book.sheets.front()));
}
