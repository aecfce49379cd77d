#include "output/export/ExportBook.h"

#include "output/export/ExportTexts.h"
#include "output/export/ExportWriters.h"

#include "core/StringTable.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>

#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>

namespace {

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

QString ExportMessage(int id, std::initializer_list<QString> values)
{
    QString text = LoadStr(id);
    if (values.size() == 1)
        return ReplaceR(text, *values.begin());
    // One pass, so a value that itself holds "<r1>" (a typed file name) stays as typed.
    QString out;
    qsizetype from = 0;
    static const QRegularExpression placeholder(QStringLiteral("<r(\\d)>"));
    for (auto it = placeholder.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        const auto index = static_cast<size_t>(m.captured(1).toInt());
        out += QStringView(text).mid(from, m.capturedStart() - from);
        out += index < values.size() ? values.begin()[index] : m.captured();
        from = m.capturedEnd();
    }
    out += QStringView(text).mid(from);
    return out;
}

QString ShownPath(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

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
        return ExportMessage(ExportText::NoSheets);
    QStringList names;
    int withCells = 0;
    for (const ExportSheet& sheet : book.sheets) {
        if (format != ExportFormat::Csv) {
            if (!ValidSheetName(sheet.name))
                return ExportMessage(ExportText::BadSheetName, {sheet.name});
            if (names.contains(sheet.name, Qt::CaseInsensitive))
                return ExportMessage(ExportText::SheetNameTwice, {sheet.name});
            names << sheet.name;
        }
        if (HasCells(sheet) && ++withCells > limits.maxSheets)
            return ExportMessage(ExportText::OneSheetOnly, {kind, sheet.name});
        if (sheet.rows.size() > static_cast<size_t>(limits.maxRows))
            return ExportMessage(ExportText::TooManyRows, {sheet.name, QString::number(sheet.rows.size()), kind,
                                                           QString::number(limits.maxRows)});
        for (size_t r = 0; r < sheet.rows.size(); ++r) {
            const QStringList& row = sheet.rows[r];
            if (row.size() > limits.maxColumns)
                return ExportMessage(ExportText::TooManyColumns,
                                     {sheet.name, QString::number(r + 1), QString::number(row.size()), kind,
                                      QString::number(limits.maxColumns)});
            for (qsizetype c = 0; c < row.size(); ++c) {
                if (row[c].size() > limits.maxTextLength)
                    return ExportMessage(ExportText::TextTooLong, {sheet.name, QString::number(r + 1),
                                                                   QString::number(c + 1),
                                                                   QString::number(limits.maxTextLength)});
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
        return ExportMessage(ExportText::IsFolder, {ShownPath(path)});
    // A file its owner made read-only is not replaced behind their back.
    if (info.exists() && !info.isWritable())
        return ExportMessage(ExportText::ReadOnlyFile, {ShownPath(path)});
    if (!info.dir().exists())
        return ExportMessage(ExportText::NoFolder, {ShownPath(info.absolutePath())});
    return QString();
}

ExportResult SaveFailure(const QString& path, const QString& reason)
{
    return ExportResult::Failure(ExportMessage(ExportText::CannotSave, {ShownPath(path), reason}));
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
        return ExportResult::Failure(ExportMessage(ExportText::UnknownType, {ShownPath(path)}));
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
