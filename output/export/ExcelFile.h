#pragma once
// A workbook written cell by cell: the sheets Sheet1 and Sheet2 (and the named
// sheet when it is another), rows and columns from 0, every cell text. Cells
// are kept until Close, which writes the whole workbook (.xls or .xlsx, by the
// path's extension) in one go; destroying an open file closes it.

#include "output/export/ExportBook.h"

#include <QString>

class CExcelFile {
public:
    CExcelFile(const QString& filePath, const QString& sheetName);
    ~CExcelFile();
    CExcelFile(const CExcelFile&) = delete;
    CExcelFile& operator=(const CExcelFile&) = delete;

    // Starts an empty workbook; false (see LastError) when the path does not
    // name an .xls or .xlsx file or cannot be written to.
    bool Open();
    // false when not open or the cell lies outside what the format holds.
    bool SetCell(int row, int column, const QString& text);
    // Adds an empty row below the last one.
    bool AppendRow();
    // Writes the workbook and closes; nothing to do when not open.
    ExportResult Close();
    // Closes without writing anything.
    void Discard();

    bool IsOpen() const { return m_open; }
    QString LastError() const { return m_lastError; }

private:
    bool Fail(const QString& why);
    ExportSheet& Sheet() { return m_book.sheets[m_sheet]; }

    QString m_filePath;
    QString m_sheetName;
    ExportFormat m_format = ExportFormat::Xls;
    ExportLimits m_limits{};
    ExportWorkbook m_book;
    size_t m_sheet = 0;
    bool m_open = false;
    QString m_lastError;
};
