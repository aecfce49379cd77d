#include "output/export/ExcelFile.h"

#include "output/export/ExportTexts.h"
#include "output/export/ExportWriters.h"

CExcelFile::CExcelFile(const QString& filePath, const QString& sheetName)
    : m_filePath(filePath), m_sheetName(sheetName)
{
}

CExcelFile::~CExcelFile()
{
    Close();
}

bool CExcelFile::Fail(const QString& why)
{
    m_lastError = why;
    return false;
}

bool CExcelFile::Open()
{
    Discard();
    const std::optional<ExportFormat> format = ExportFormatForPath(m_filePath);
    if (format != ExportFormat::Xls && format != ExportFormat::Xlsx)
        return Fail(ExportMessage(ExportText::NotAWorkbook, {ShownPath(m_filePath)}));
    if (const QString why = CheckDestination(m_filePath); !why.isEmpty())
        return Fail(why);
    m_format = *format;
    m_limits = LimitsOf(m_format);
    m_book.sheets = {ExportSheet{QStringLiteral("Sheet1"), {}, {}}, ExportSheet{QStringLiteral("Sheet2"), {}, {}}};
    m_sheet = m_sheetName.compare(QLatin1String("Sheet2"), Qt::CaseInsensitive) == 0 ? 1 : 0;
    if (m_sheet == 0 && m_sheetName.compare(QLatin1String("Sheet1"), Qt::CaseInsensitive) != 0) {
        m_book.sheets.push_back(ExportSheet{m_sheetName, {}, {}});
        m_sheet = 2;
    }
    if (const QString why = CheckWorkbook(m_book, m_format); !why.isEmpty())
        return Fail(why);
    m_open = true;
    m_lastError.clear();
    return true;
}

bool CExcelFile::SetCell(int row, int column, const QString& text)
{
    if (!m_open)
        return Fail(ExportMessage(ExportText::NotOpen));
    if (row < 0 || row >= m_limits.maxRows || column < 0 || column >= m_limits.maxColumns)
        return Fail(ExportMessage(ExportText::CellOutside,
                                  {QString::number(row + 1), QString::number(column + 1), ExtensionOf(m_format)}));
    if (text.size() > m_limits.maxTextLength)
        return Fail(ExportMessage(ExportText::CellTextTooLong, {QString::number(m_limits.maxTextLength)}));
    std::vector<QStringList>& rows = Sheet().rows;
    if (rows.size() <= static_cast<size_t>(row))
        rows.resize(static_cast<size_t>(row) + 1);
    QStringList& cells = rows[static_cast<size_t>(row)];
    while (cells.size() <= column)
        cells.append(QString());
    cells[column] = text;
    return true;
}

bool CExcelFile::AppendRow()
{
    if (!m_open)
        return Fail(ExportMessage(ExportText::NotOpen));
    std::vector<QStringList>& rows = Sheet().rows;
    if (rows.size() >= static_cast<size_t>(m_limits.maxRows))
        return Fail(ExportMessage(ExportText::RowLimit, {ExtensionOf(m_format), QString::number(m_limits.maxRows)}));
    rows.emplace_back();
    return true;
}

ExportResult CExcelFile::Close()
{
    if (!m_open)
        return ExportResult::Success();
    m_open = false;
    const ExportResult result = WriteWorkbook(m_filePath, m_book, m_format);
    m_book.sheets.clear();
    if (!result)
        m_lastError = result.error;
    return result;
}

void CExcelFile::Discard()
{
    m_open = false;
    m_book.sheets.clear();
}
