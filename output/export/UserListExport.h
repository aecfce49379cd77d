#pragma once
// Writes the user list into Sheet1 of a workbook: the title in A1, the column
// headings in row 3, the list's rows from row 4 in the order given, columns A
// to H, all text. Sheet2 is present and empty. The list page passes only
// texts: it reads them from its table as displayed.

#include "output/export/ExportBook.h"

#include <QString>
#include <QStringList>

#include <vector>

constexpr int kUserListExportColumns = 8;

// Writes .xls or .xlsx by the path's extension (see WithExtension). Row texts
// beyond column H are left out; a row's missing columns are empty.
ExportResult ExportUserList(const QString& filePath, const QString& title, const QStringList& headings,
                            const std::vector<QStringList>& rows);
