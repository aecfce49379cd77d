#include "core/Profile.h"

#include <QFile>
#include <QSaveFile>

#include <climits>
#include <optional>

namespace Profile {

namespace {

QList<QByteArray> ReadLines(const QString& file, bool* exists)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly)) {
        if (exists)
            *exists = false;
        return {};
    }
    if (exists)
        *exists = true;
    QByteArray data = f.readAll();
    if (data.startsWith("\xEF\xBB\xBF"))
        data.remove(0, 3);
    QList<QByteArray> lines = data.split('\n');
    for (QByteArray& l : lines)
        if (l.endsWith('\r'))
            l.chop(1);
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

// "[name]" -> name, trimmed; nullopt for anything else.
std::optional<QString> SectionName(const QString& trimmed)
{
    if (!trimmed.startsWith(QLatin1Char('[')))
        return std::nullopt;
    const int close = trimmed.indexOf(QLatin1Char(']'));
    if (close < 0)
        return std::nullopt;
    return trimmed.mid(1, close - 1).trimmed();
}

bool SameName(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

bool IsComment(const QString& trimmed)
{
    return trimmed.startsWith(QLatin1Char(';')) || trimmed.startsWith(QLatin1Char('#'));
}

// The key of a "key=value" line, or nullopt.
std::optional<QString> KeyOf(const QString& trimmed)
{
    if (IsComment(trimmed))
        return std::nullopt;
    const int eq = trimmed.indexOf(QLatin1Char('='));
    if (eq <= 0)
        return std::nullopt;
    return trimmed.left(eq).trimmed();
}

std::optional<QString> RawValue(const QString& file, const QString& section, const QString& key)
{
    const QList<QByteArray> lines = ReadLines(file, nullptr);
    bool inSection = false;
    const QString wantSection = section.trimmed();
    const QString wantKey = key.trimmed();
    for (const QByteArray& raw : lines) {
        const QString t = QString::fromUtf8(raw).trimmed();
        if (auto s = SectionName(t)) {
            if (inSection)
                break;  // only the first section of that name counts
            inSection = SameName(*s, wantSection);
            continue;
        }
        if (!inSection)
            continue;
        const auto k = KeyOf(t);
        if (k && SameName(*k, wantKey))
            return t.mid(t.indexOf(QLatin1Char('=')) + 1).trimmed();
    }
    return std::nullopt;
}

}  // namespace

QString CutUtf8(const QString& text, int maxBytes)
{
    const QByteArray utf8 = text.toUtf8();
    if (utf8.size() <= maxBytes)
        return text;
    int cut = maxBytes;
    while (cut > 0 && (static_cast<unsigned char>(utf8[cut]) & 0xC0) == 0x80)
        --cut;
    return QString::fromUtf8(utf8.left(cut));
}

int Atoi(const QString& text)
{
    int i = 0;
    const int n = text.size();
    while (i < n && (text[i] == QLatin1Char(' ') || text[i] == QLatin1Char('\t')))
        ++i;
    bool negative = false;
    if (i < n && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'))) {
        negative = text[i] == QLatin1Char('-');
        ++i;
    }
    long long value = 0;
    for (; i < n && text[i] >= QLatin1Char('0') && text[i] <= QLatin1Char('9'); ++i) {
        value = value * 10 + (text[i].unicode() - '0');
        if (value > static_cast<long long>(INT_MAX) + 1)
            value = static_cast<long long>(INT_MAX) + 1;  // saturate; keeps long input from overflowing
    }
    if (negative)
        value = -value;
    if (value > INT_MAX)
        value = INT_MAX;
    if (value < INT_MIN)
        value = INT_MIN;
    return static_cast<int>(value);
}

QString GetString(const QString& file, const QString& section, const QString& key, const QString& def)
{
    auto v = RawValue(file, section, key);
    QString value = v ? *v : def;
    if (value.size() >= 2 && ((value.startsWith(QLatin1Char('"')) && value.endsWith(QLatin1Char('"'))) ||
                              (value.startsWith(QLatin1Char('\'')) && value.endsWith(QLatin1Char('\''))))) {
        value = value.mid(1, value.size() - 2);
    }
    return CutUtf8(value, kMaxValueBytes);
}

int GetInt(const QString& file, const QString& section, const QString& key, int def)
{
    auto v = RawValue(file, section, key);
    if (!v)
        return def;
    return Atoi(CutUtf8(*v, kMaxValueBytes));
}

bool WriteString(const QString& file, const QString& section, const QString& key, const QString& value)
{
    bool exists = false;
    QList<QByteArray> lines = ReadLines(file, &exists);
    const QString wantSection = section.trimmed();
    const QString wantKey = key.trimmed();
    const QByteArray newLine = (wantKey + QLatin1Char('=') + value).toUtf8();

    int sectionLine = -1;      // the header of the first matching section
    int lastInSection = -1;    // last non-blank line of that section
    bool inSection = false;
    bool done = false;
    for (int i = 0; i < lines.size() && !done; ++i) {
        const QString t = QString::fromUtf8(lines[i]).trimmed();
        if (auto s = SectionName(t)) {
            if (inSection)
                break;  // the first matching section ended without the key
            inSection = SameName(*s, wantSection);
            if (inSection) {
                sectionLine = i;
                lastInSection = i;
            }
            continue;
        }
        if (!inSection)
            continue;
        if (!t.isEmpty())
            lastInSection = i;
        const auto k = KeyOf(t);
        if (k && SameName(*k, wantKey)) {
            // Keep the key as the file spells it; only the value changes.
            lines[i] = (*k + QLatin1Char('=') + value).toUtf8();
            done = true;
        }
    }
    if (!done) {
        if (sectionLine >= 0) {
            lines.insert(lastInSection + 1, newLine);
        } else {
            if (!lines.isEmpty() && !lines.last().trimmed().isEmpty())
                lines.append(QByteArray());
            lines.append(('[' + wantSection + ']').toUtf8());
            lines.append(newLine);
        }
    }

    QSaveFile out(file);
    if (!out.open(QIODevice::WriteOnly))
        return false;
    QByteArray data;
    for (const QByteArray& l : lines) {
        data += l;
        data += "\r\n";
    }
    if (out.write(data) != data.size())
        return false;
    return out.commit();
}

bool WriteInt(const QString& file, const QString& section, const QString& key, int value)
{
    return WriteString(file, section, key, QString::number(value));
}

QStringList Keys(const QString& file, const QString& section)
{
    QStringList keys;
    bool inSection = false;
    for (const QByteArray& raw : ReadLines(file, nullptr)) {
        const QString t = QString::fromUtf8(raw).trimmed();
        if (auto s = SectionName(t)) {
            inSection = SameName(*s, section.trimmed());
            continue;
        }
        if (!inSection)
            continue;
        if (auto k = KeyOf(t)) {
            bool seen = false;
            for (const QString& have : keys)
                seen = seen || SameName(have, *k);
            if (!seen)
                keys.append(*k);
        }
    }
    return keys;
}

}  // namespace Profile
