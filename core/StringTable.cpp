#include "core/StringTable.h"

#include "core/DlgItem.h"
#include "core/Globals.h"
#include "core/Profile.h"
#include "res/BuiltinStrings.h"

#include <QCoreApplication>
#include <QFile>
#include <QLibraryInfo>
#include <QLocale>
#include <QStringDecoder>
#include <QTranslator>
#include <QWidget>

#include <algorithm>

namespace {

std::unique_ptr<CLanguagePack> g_currentPack;
std::unique_ptr<QTranslator> g_qtTranslator;

qint64 DialogKey(int dialog, int control)
{
    return (static_cast<qint64>(dialog) << 32) | static_cast<quint32>(control);
}

const QHash<int, QString>& BuiltinStrings()
{
    static const QHash<int, QString> table = [] {
        QHash<int, QString> t;
        for (size_t i = 0; i < kBuiltinStringCount; ++i)
            t.insert(kBuiltinStrings[i].id, QString::fromUtf8(kBuiltinStrings[i].text));
        return t;
    }();
    return table;
}

const QHash<qint64, QString>& BuiltinDialogTexts()
{
    static const QHash<qint64, QString> table = [] {
        QHash<qint64, QString> t;
        for (size_t i = 0; i < kBuiltinDialogTextCount; ++i) {
            const BuiltinDialogText& d = kBuiltinDialogTexts[i];
            t.insert(DialogKey(d.dialog, d.control), QString::fromUtf8(d.text));
        }
        return t;
    }();
    return table;
}

bool ParseNumber(const QString& s, int* out)
{
    bool ok = false;
    const int v = s.trimmed().toInt(&ok);
    if (ok)
        *out = v;
    return ok;
}

constexpr qint64 kMaxPackBytes = 4 * 1024 * 1024;

}  // namespace

QString EscapePackText(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (QChar c : text) {
        switch (c.unicode()) {
        case '\\': out += QStringLiteral("\\\\"); break;
        case '\n': out += QStringLiteral("\\n"); break;
        case '\r': out += QStringLiteral("\\r"); break;
        case '\t': out += QStringLiteral("\\t"); break;
        default: out += c;
        }
    }
    return out;
}

QString UnescapePackText(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c != QLatin1Char('\\') || i + 1 >= text.size()) {
            out += c;
            continue;
        }
        const QChar n = text[++i];
        switch (n.unicode()) {
        case 'n': out += QLatin1Char('\n'); break;
        case 'r': out += QLatin1Char('\r'); break;
        case 't': out += QLatin1Char('\t'); break;
        case '\\': out += QLatin1Char('\\'); break;
        default: out += c; out += n;  // unknown escapes stay as written
        }
    }
    return out;
}

std::unique_ptr<CLanguagePack> CLanguagePack::Parse(const QByteArray& raw, QString* error)
{
    auto fail = [error](const QString& why) {
        if (error)
            *error = why;
        return std::unique_ptr<CLanguagePack>();
    };
    QByteArray data = raw;
    if (data.startsWith("\xEF\xBB\xBF"))
        data.remove(0, 3);
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder.decode(data);
    if (decoder.hasError())
        return fail(QStringLiteral("not UTF-8 text"));

    auto pack = std::unique_ptr<CLanguagePack>(new CLanguagePack);
    enum class Where { None, Pack, Strings, Dialog, Other } where = Where::None;
    int dialog = 0;
    bool sawStrings = false;
    int lineNo = 0;
    for (QString line : text.split(QLatin1Char('\n'))) {
        ++lineNo;
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        const QString t = line.trimmed();
        if (t.isEmpty() || t.startsWith(QLatin1Char(';')) || t.startsWith(QLatin1Char('#')))
            continue;
        if (t.startsWith(QLatin1Char('[')) && t.endsWith(QLatin1Char(']'))) {
            const QString name = t.mid(1, t.size() - 2).trimmed();
            if (name.compare(QLatin1String("Strings"), Qt::CaseInsensitive) == 0) {
                where = Where::Strings;
                sawStrings = true;
            } else if (name.compare(QLatin1String("Pack"), Qt::CaseInsensitive) == 0) {
                where = Where::Pack;
            } else if (name.startsWith(QLatin1String("Dialog "), Qt::CaseInsensitive) && ParseNumber(name.mid(7), &dialog)) {
                where = Where::Dialog;
            } else {
                return fail(QStringLiteral("line %1: unknown section [%2]").arg(lineNo).arg(name));
            }
            continue;
        }
        const int eq = line.indexOf(QLatin1Char('='));
        if (eq <= 0)
            return fail(QStringLiteral("line %1: expected id=text").arg(lineNo));
        const QString key = line.left(eq).trimmed();
        // Only the end-of-line is stripped from the text: leading blanks may be meant.
        const QString value = UnescapePackText(line.mid(eq + 1));
        if (where == Where::Pack) {
            if (key.compare(QLatin1String("Name"), Qt::CaseInsensitive) == 0)
                pack->m_name = value.trimmed();
            else if (key.compare(QLatin1String("Locale"), Qt::CaseInsensitive) == 0)
                pack->m_qtLocale = value.trimmed();
            continue;
        }
        int id = 0;
        if (where == Where::None || !ParseNumber(key, &id))
            return fail(QStringLiteral("line %1: expected id=text").arg(lineNo));
        if (where == Where::Strings)
            pack->m_strings.insert(id, value);
        else
            pack->m_dialogTexts.insert(DialogKey(dialog, id), value);
    }
    if (!sawStrings)
        return fail(QStringLiteral("no [Strings] section"));
    return pack;
}

std::unique_ptr<CLanguagePack> CLanguagePack::Load(const QString& path, QString* error)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("cannot open %1").arg(path);
        return {};
    }
    if (f.size() > kMaxPackBytes) {
        if (error)
            *error = QStringLiteral("%1 is too large").arg(path);
        return {};
    }
    return Parse(f.readAll(), error);
}

std::optional<QString> CLanguagePack::String(int id) const
{
    auto it = m_strings.constFind(id);
    if (it == m_strings.constEnd())
        return std::nullopt;
    return *it;
}

std::optional<QString> CLanguagePack::DialogText(int dialog, int control) const
{
    auto it = m_dialogTexts.constFind(DialogKey(dialog, control));
    if (it == m_dialogTexts.constEnd())
        return std::nullopt;
    return *it;
}

QList<int> CLanguagePack::StringIds() const
{
    QList<int> ids = m_strings.keys();
    std::sort(ids.begin(), ids.end());
    return ids;
}

QList<QPair<int, int>> CLanguagePack::DialogTextKeys() const
{
    QList<QPair<int, int>> keys;
    keys.reserve(m_dialogTexts.size());
    for (auto it = m_dialogTexts.constBegin(); it != m_dialogTexts.constEnd(); ++it)
        keys.append({static_cast<int>(it.key() >> 32), static_cast<int>(static_cast<quint32>(it.key()))});
    std::sort(keys.begin(), keys.end());
    return keys;
}

QString BuiltinStr(int id)
{
    return BuiltinStrings().value(id);
}

QString LoadStr(int id)
{
    if (g_hLangRes) {
        if (auto s = g_hLangRes->String(id))
            return *s;
    }
    return BuiltinStr(id);
}

QString BuiltinDlgText(int dialog, int control)
{
    return BuiltinDialogTexts().value(DialogKey(dialog, control));
}

QString LoadDlgText(int dialog, int control)
{
    if (g_hLangRes) {
        if (auto s = g_hLangRes->DialogText(dialog, control))
            return *s;
    }
    return BuiltinDlgText(dialog, control);
}

void ApplyDialogTexts(QWidget* dialog, int dialogId)
{
    if (!dialog)
        return;
    const QString caption = LoadDlgText(dialogId, 0);
    if (!caption.isEmpty())
        dialog->setWindowTitle(caption);
    for (QWidget* w : dialog->findChildren<QWidget*>()) {
        const int id = CtrlId(w);
        if (id <= 0)
            continue;
        const QString text = LoadDlgText(dialogId, id);
        if (!text.isEmpty())
            SetWindowText(w, text);
    }
}

QString ReplaceR(const QString& text, int value)
{
    QString out = text;
    return out.replace(QLatin1String("<r>"), QString::number(value));
}

QString ReplaceR(const QString& text, const QString& value)
{
    QString out = text;
    return out.replace(QLatin1String("<r>"), value);
}

QString ReplaceR01(const QString& text, int r0, int r1)
{
    QString out = text;
    out.replace(QLatin1String("<r0>"), QString::number(r0));
    out.replace(QLatin1String("<r1>"), QString::number(r1));
    return out;
}

QByteArray BuiltinTableAsPack(const QString& name)
{
    QString out;
    out += QStringLiteral("; Travimo language pack (UTF-8). See README for the format.\r\n");
    out += QStringLiteral("[Pack]\r\nName=%1\r\nLocale=%2\r\n\r\n[Strings]\r\n").arg(name, QLatin1String(kBuiltinQtLocale));
    for (size_t i = 0; i < kBuiltinStringCount; ++i)
        out += QStringLiteral("%1=%2\r\n").arg(kBuiltinStrings[i].id).arg(EscapePackText(QString::fromUtf8(kBuiltinStrings[i].text)));
    int dialog = -1;
    for (size_t i = 0; i < kBuiltinDialogTextCount; ++i) {
        const BuiltinDialogText& d = kBuiltinDialogTexts[i];
        if (d.dialog != dialog) {
            dialog = d.dialog;
            out += QStringLiteral("\r\n[Dialog %1]\r\n").arg(dialog);
        }
        out += QStringLiteral("%1=%2\r\n").arg(d.control).arg(EscapePackText(QString::fromUtf8(d.text)));
    }
    return out.toUtf8();
}

QString LanguagePackPath(int index)
{
    const QString file = Profile::GetString(LanguageListPath(), QStringLiteral("Language%1").arg(index), "Dll",
                                            QStringLiteral("ChineseprcRC.dll"));
    return LanguagePackFile(file);
}

void LoadStartupLanguage()
{
    // The choice is the user's (data folder); until there is one, the installation's default.
    const QString installed = Profile::GetString(LanguageListPath(), "Default", "Index", QStringLiteral("0"));
    g_nLanguage = Profile::Atoi(Profile::GetString(LanguageIniPath(), "Default", "Index", installed));
    g_currentPack = CLanguagePack::Load(LanguagePackPath(g_nLanguage));
    g_hLangRes = g_currentPack.get();
    LoadQtTranslations();
}

bool SwitchLanguage(int index, QString* error)
{
    auto pack = CLanguagePack::Load(LanguagePackPath(index), error);
    if (!pack)
        return false;  // the current texts stay in force, Language.ini unchanged
    g_currentPack = std::move(pack);
    g_hLangRes = g_currentPack.get();
    LoadQtTranslations();
    Profile::WriteString(LanguageIniPath(), "Default", "Index", QString::number(index));
    return true;
}

QString CurrentQtLocale()
{
    if (g_hLangRes && !g_hLangRes->QtLocale().isEmpty())
        return g_hLangRes->QtLocale();
    return QLatin1String(kBuiltinQtLocale);
}

void LoadQtTranslations()
{
    if (!QCoreApplication::instance())
        return;
    if (g_qtTranslator) {
        QCoreApplication::removeTranslator(g_qtTranslator.get());
        g_qtTranslator.reset();
    }
    const QLocale locale(CurrentQtLocale());
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    auto translator = std::make_unique<QTranslator>();
    // "qt" names Qt's catalogues of every module; "qtbase" alone holds the standard buttons and dialogs.
    for (const char* catalogue : {"qt", "qtbase"}) {
        if (translator->load(locale, QLatin1String(catalogue), QStringLiteral("_"), folder) && !translator->isEmpty()) {
            QCoreApplication::installTranslator(translator.get());
            g_qtTranslator = std::move(translator);
            return;
        }
    }
}
