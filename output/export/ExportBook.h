#pragma once
// What every export writes: a workbook of text cells, one or more sheets, saved
// as an Excel 97-2003 workbook (.xls), an Excel workbook (.xlsx) or a CSV file.
// The format follows the file's extension. A file is written beside its
// destination and renamed into place, so a failed export leaves an existing
// file as it was.

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

enum class ExportFormat { Xls, Xlsx, Csv };

struct ExportSheet {
    QString name;
    // rows[r][c] is the cell in row r, column c, both from 0. A short row's
    // missing cells and empty texts are empty cells.
    std::vector<QStringList> rows;
    // Columns whose cells hold decimal numbers ("12", "3.250"). Formats with
    // typed cells store a cell there as a number when its whole text is one;
    // other texts (a heading) stay text.
    QList<int> numberColumns;
};

struct ExportWorkbook {
    std::vector<ExportSheet> sheets;
};

// The outcome of an export; error is a sentence the caller can show as it is.
struct ExportResult {
    bool ok = false;
    QString error;

    static ExportResult Success() { return {true, QString()}; }
    static ExportResult Failure(const QString& why) { return {false, why}; }
    explicit operator bool() const { return ok; }
};

// What a format can hold.
struct ExportLimits {
    int maxRows;
    int maxColumns;
    int maxTextLength;  // UTF-16 code units per cell
    int maxSheets;      // sheets that may hold cells
};
ExportLimits LimitsOf(ExportFormat format);

// The format a file name asks for by its extension (case-insensitive), if any.
std::optional<ExportFormat> ExportFormatForPath(const QString& path);
// ".xls", ".xlsx" or ".csv".
QString ExtensionOf(ExportFormat format);
// The name as the save dialog should use it: unchanged when it already ends in
// the format's extension (any case), otherwise with the extension added.
QString WithExtension(const QString& path, ExportFormat format);

// Why the workbook cannot be written in the format; empty when it can.
QString CheckWorkbook(const ExportWorkbook& book, ExportFormat format);

// Writes the workbook in the format its path's extension names.
ExportResult WriteWorkbook(const QString& path, const ExportWorkbook& book);
ExportResult WriteWorkbook(const QString& path, const ExportWorkbook& book, ExportFormat format);
