#include "controls/TipText.h"

#include <QStringList>
#include <QTextDocument>
#include <QToolTip>

QString WrapTipText(const QString& text, const QFontMetrics& fm, int maxWidth)
{
    if (maxWidth <= 0)
        return text;
    QStringList out;
    const QStringList paragraphs = text.split(QLatin1Char('\n'));
    for (const QString& para : paragraphs) {
        QString line;
        for (qsizetype i = 0; i < para.size(); ++i) {
            // Keep surrogate pairs together.
            const qsizetype len = (para[i].isHighSurrogate() && i + 1 < para.size()) ? 2 : 1;
            const QString ch = para.mid(i, len);
            i += len - 1;
            if (line.isEmpty() || fm.horizontalAdvance(line + ch) <= maxWidth) {
                line += ch;
                continue;
            }
            const qsizetype space = line.lastIndexOf(QLatin1Char(' '));
            if (space > 0 && ch != QLatin1String(" ")) {
                out << line.left(space);
                line = line.mid(space + 1) + ch;
            } else {
                out << line;
                line = ch == QLatin1String(" ") ? QString() : ch;
            }
        }
        out << line;
    }
    return out.join(QLatin1Char('\n'));
}

QString MakeToolTip(const QString& text, int maxWidth)
{
    if (text.isEmpty())
        return text;
    const QString wrapped = WrapTipText(text, QFontMetrics(QToolTip::font()), maxWidth);
    if (!Qt::mightBeRichText(wrapped))
        return wrapped;
    // Looks like markup: escape it and keep the breaks.
    return QStringLiteral("<p style='white-space:pre'>") + wrapped.toHtmlEscaped() + QStringLiteral("</p>");
}
