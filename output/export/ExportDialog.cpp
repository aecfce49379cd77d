#include "output/export/ExportDialog.h"

#include "output/export/ExportTexts.h"

#include "core/DialogService.h"
#include "core/StringTable.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <algorithm>

namespace {

// The folder of the last export in this run: the next export starts there.
QString& LastExportFolder()
{
    static QString folder;
    return folder;
}

QString StartFolder()
{
    if (!LastExportFolder().isEmpty() && QFileInfo(LastExportFolder()).isDir())
        return LastExportFolder();
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return QFileInfo(documents).isDir() ? documents : QDir::homePath();
}

}  // namespace

QString ExportFilter(ExportFormat format)
{
    const int id = format == ExportFormat::Xls    ? 168
                   : format == ExportFormat::Xlsx ? ExportText::XlsxFilter
                                                  : ExportText::CsvFilter;
    return FileDialogFilters(LoadStr(id)).value(0);
}

QString SafeFileName(const QString& name)
{
    static const QString kReserved = QStringLiteral("/\\:*?\"<>|");
    QString out;
    out.reserve(name.size());
    for (QChar c : name)
        out += (kReserved.contains(c) || c.unicode() < 0x20 || c.unicode() == 0x7F) ? QChar(u'_') : c;
    // A leading dot hides the file; leading and trailing spaces are easily lost.
    while (out.startsWith(u'.') || out.startsWith(u' '))
        out.remove(0, 1);
    return out.trimmed();
}

QString ExportPathFor(const QString& typed, const std::vector<ExportFormat>& formats, int chosen)
{
    const std::optional<ExportFormat> named = ExportFormatForPath(typed);
    if (named && std::find(formats.begin(), formats.end(), *named) != formats.end())
        return typed;
    if (chosen < 0 || chosen >= static_cast<int>(formats.size()))
        chosen = 0;
    return formats.empty() ? typed : WithExtension(typed, formats[static_cast<size_t>(chosen)]);
}

QString AskExportPath(QWidget* parent, const QString& name, const std::vector<ExportFormat>& formats)
{
    QStringList filters;
    for (ExportFormat f : formats)
        filters << ExportFilter(f);
    int chosen = 0;
    QString suggested = QDir(StartFolder()).filePath(SafeFileName(name));
    for (;;) {
        const QString typed = DialogService().SaveFileName(parent, QString(), suggested, filters, &chosen);
        if (typed.isEmpty())
            return QString();
        const QString path = ExportPathFor(typed, formats, chosen);
        // A folder in the way is not "replaced": the export says why it cannot write there.
        const QFileInfo info(path);
        if (!info.exists() || info.isDir()
            || ShowMessageBox(parent, ExportMessage(ExportText::ReplaceQuestion, {ShownPath(path)}),
                              QMessageBox::Yes | QMessageBox::No, QMessageBox::No) == QMessageBox::Yes) {
            LastExportFolder() = QFileInfo(path).absolutePath();
            return path;
        }
        suggested = path;
    }
}

void ReportExport(QWidget* parent, const ExportResult& result, const QString& success)
{
    if (result.ok)
        ShowMessageBox(parent, success);
    else
        DialogService().MessageBox(parent, ExportMessage(ExportText::ExportFailed, {result.error}), QMessageBox::Ok,
                                   QMessageBox::Warning, QMessageBox::NoButton);
}
