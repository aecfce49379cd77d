#pragma once
// Asking where an export goes and telling how it went. The questions and messages run through
// the dialog service; this library itself makes no window.

#include "output/export/ExportBook.h"

#include <QString>

#include <vector>

class QWidget;

// The save dialog's filter of a format in the user's language, in Qt's form.
QString ExportFilter(ExportFormat format);

// A name that can stand as a file name: characters a file name cannot hold (path separators,
// reserved punctuation, control characters) become '_'; leading dots and spaces go.
QString SafeFileName(const QString& name);

// The path an export is written to, from what the save dialog gave: kept when it ends in the
// extension of one of the offered formats, otherwise with the chosen format's extension added.
QString ExportPathFor(const QString& typed, const std::vector<ExportFormat>& formats, int chosen);

// Where to save an export in one of the formats (the first is chosen at first): the save
// dialog, suggesting `name` in the folder of the last export; ExportPathFor; and, when that file
// exists, whether to replace it (No asks again). Empty when cancelled.
QString AskExportPath(QWidget* parent, const QString& name, const std::vector<ExportFormat>& formats);

// Shows `success`, or the failure with its reason.
void ReportExport(QWidget* parent, const ExportResult& result, const QString& success);
