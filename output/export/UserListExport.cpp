#include "output/export/UserListExport.h"

#include "output/export/ExcelFile.h"

namespace {

constexpr int kTitleRow = 0;
constexpr int kHeadingRow = 2;
constexpr int kFirstListRow = 3;

}  // namespace

ExportResult ExportUserList(const QString& filePath, const QString& title, const QStringList& headings,
                            const std::vector<QStringList>& rows)
{
    CExcelFile file(filePath, QStringLiteral("Sheet1"));
    if (!file.Open())
        return ExportResult::Failure(file.LastError());
    if (!file.SetCell(kTitleRow, 0, title)) {
        file.Discard();
        return ExportResult::Failure(file.LastError());
    }
    // A heading that does not fit (more columns than the format holds) is
    // left out; the list itself still goes in.
    for (int i = 0; i < headings.size(); ++i)
        file.SetCell(kHeadingRow, i, headings[i]);
    for (size_t i = 0; i < rows.size(); ++i) {
        // A failed export writes nothing, so an existing file stays as it was.
        if (!file.AppendRow()) {
            file.Discard();
            return ExportResult::Failure(file.LastError());
        }
        const QStringList& texts = rows[i];
        const int row = kFirstListRow + static_cast<int>(i);
        for (int j = 0; j < kUserListExportColumns; ++j)
            file.SetCell(row, j, j < texts.size() ? texts[j] : QString());
    }
    return file.Close();
}
