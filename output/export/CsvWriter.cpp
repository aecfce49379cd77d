// CSV as spreadsheet programs open it without asking: UTF-8 with a byte order
// mark (so Chinese texts are not read in the local code page), fields quoted
// when they hold a comma, a quote or a line break (quotes doubled), lines
// ended by CRLF, and every line as wide as the widest.
#include "output/export/ExportWriters.h"

#include <algorithm>

namespace {

bool NeedsQuotes(const QString& field)
{
    for (QChar c : field) {
        const char16_t u = c.unicode();
        if (u == u',' || u == u'"' || u == u'\r' || u == u'\n')
            return true;
    }
    return false;
}

}  // namespace

QByteArray CsvBytes(const ExportSheet& sheet)
{
    qsizetype width = 0;
    for (const QStringList& row : sheet.rows)
        width = std::max(width, row.size());

    QString text;
    for (const QStringList& row : sheet.rows) {
        for (qsizetype c = 0; c < width; ++c) {
            if (c)
                text += u',';
            if (c >= row.size())
                continue;
            const QString field = WholeCharacters(row[c]);
            if (NeedsQuotes(field)) {
                text += u'"';
                text += QString(field).replace(u'"', QLatin1String("\"\""));
                text += u'"';
            } else {
                text += field;
            }
        }
        text += QLatin1String("\r\n");
    }
    return QByteArray("\xEF\xBB\xBF") + text.toUtf8();
}
