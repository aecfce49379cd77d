#pragma once
// The export's texts in the string table: why a file cannot be written, the save dialog's
// filters and questions, the day exports' headings and sheet names.

#include <QString>

#include <initializer_list>

namespace ExportText {
constexpr int NoSheets = 680;            // "<r>"-free
constexpr int BadSheetName = 681;        // <r> sheet
constexpr int SheetNameTwice = 682;      // <r> sheet
constexpr int OneSheetOnly = 683;        // <r0> extension, <r1> sheet
constexpr int TooManyRows = 684;         // <r0> sheet, <r1> rows, <r2> extension, <r3> limit
constexpr int TooManyColumns = 685;      // <r0> sheet, <r1> row, <r2> columns, <r3> extension, <r4> limit
constexpr int TextTooLong = 686;         // <r0> sheet, <r1> row, <r2> column, <r3> limit
constexpr int IsFolder = 687;            // <r> path
constexpr int ReadOnlyFile = 688;        // <r> path
constexpr int NoFolder = 689;            // <r> folder
constexpr int CannotSave = 690;          // <r0> path, <r1> reason
constexpr int UnknownType = 691;         // <r> path
constexpr int NotAWorkbook = 692;        // <r> path
constexpr int NotOpen = 693;
constexpr int CellOutside = 694;         // <r0> row, <r1> column, <r2> extension
constexpr int CellTextTooLong = 695;     // <r> limit
constexpr int RowLimit = 696;            // <r0> extension, <r1> limit
constexpr int NoTemporaryFolder = 697;   // <r> reason
constexpr int NoXlsxWorkbook = 698;
constexpr int XlsxFilter = 699;
constexpr int CsvFilter = 700;
constexpr int ReplaceQuestion = 701;     // <r> path
constexpr int ExportFailed = 702;        // <r> reason
constexpr int ExportMonthCommand = 703;
constexpr int DistanceHeading = 704;
constexpr int DaysSheet = 705;
constexpr int SlotsSheet = 706;
constexpr int NoStepData = 707;
}  // namespace ExportText

// The string-table text `id` in the user's language with "<r>" replaced by the one value, or
// "<r0>", "<r1>", ... by the values in order.
QString ExportMessage(int id, std::initializer_list<QString> values = {});
// A path as the user's desktop writes it.
QString ShownPath(const QString& path);
