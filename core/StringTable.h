#pragma once
// The program's texts: the built-in Simplified Chinese table (compiled in) and
// language packs loaded from the Language/ folder.
//
// A language pack is a UTF-8 text file:
//
//   ; comment lines start with ';' or '#'
//   [Pack]
//   Name=English                  (informational)
//   Locale=en                     (the locale of Qt's own texts; zh_CN when not given)
//   [Strings]
//   102=Travimo                   (string id = text)
//   [Dialog 131]
//   0=Log in                      (control 0 is the dialog's caption)
//   1019=Exit                     (control id = text)
//
// Texts may use the escapes \n, \r, \t and \\. Every non-blank line must be a
// comment, a section header or "number=text" inside [Strings] or [Dialog N];
// anything else makes the pack malformed and it is refused as a whole.
// A text missing from a pack falls back to the built-in table.

#include <QHash>
#include <QList>
#include <QPair>
#include <QString>

#include <memory>
#include <optional>

class QWidget;

class CLanguagePack {
public:
    static std::unique_ptr<CLanguagePack> Load(const QString& path, QString* error = nullptr);
    static std::unique_ptr<CLanguagePack> Parse(const QByteArray& data, QString* error = nullptr);

    std::optional<QString> String(int id) const;
    std::optional<QString> DialogText(int dialog, int control) const;
    int StringCount() const { return static_cast<int>(m_strings.size()); }
    // Every string id and every (dialog, control) pair the pack gives, in ascending order.
    QList<int> StringIds() const;
    QList<QPair<int, int>> DialogTextKeys() const;
    QString Name() const { return m_name; }
    // The locale whose Qt translations go with the pack ("zh_CN", "en", ...); empty when the pack names none.
    QString QtLocale() const { return m_qtLocale; }

private:
    QString m_name;
    QString m_qtLocale;
    QHash<int, QString> m_strings;
    QHash<qint64, QString> m_dialogTexts;
};

// A string of the current language (pack first, then built-in); empty when unknown.
QString LoadStr(int id);
// A string of the built-in table only; empty when unknown.
QString BuiltinStr(int id);
// A dialog control's text in the current language; empty when unknown. Control 0 = caption.
QString LoadDlgText(int dialog, int control);
QString BuiltinDlgText(int dialog, int control);
// Sets the text of every child of the dialog that carries a ctrlId with a known text, and the caption.
void ApplyDialogTexts(QWidget* dialog, int dialogId);

// "<r>" replaced by the number.
QString ReplaceR(const QString& text, int value);
// "<r>" replaced by a text (a user name, a formatted value).
QString ReplaceR(const QString& text, const QString& value);
// "<r0>" and "<r1>" replaced by the numbers.
QString ReplaceR01(const QString& text, int r0, int r1);

// Escapes a text for a pack line, and back.
QString EscapePackText(const QString& text);
QString UnescapePackText(const QString& text);
// The built-in table written as a language pack.
QByteArray BuiltinTableAsPack(const QString& name);

// The locale of the built-in texts, and of a pack that names none (its missing texts are built-in ones).
inline constexpr char kBuiltinQtLocale[] = "zh_CN";

// Start-up: reads Index from Language.ini into g_nLanguage and loads that pack into g_hLangRes
// (null, i.e. built-in texts, when it can't be loaded), with Qt's own translations for its locale.
void LoadStartupLanguage();
// The login page's language switch: loads the pack of "Language<index>"; only when it loads it
// becomes current (with Qt's translations for its locale) and Index is written to Language.ini.
// g_nLanguage is not changed.
bool SwitchLanguage(int index, QString* error = nullptr);
// The locale of the texts in force: the current pack's, else the built-in one.
QString CurrentQtLocale();
// Qt's own texts (standard buttons, file and print dialogs) in the current pack's language, from
// Qt's translation folder; Qt's English when there are none for that locale. Needs the application object.
void LoadQtTranslations();
// The pack file of a language index, from Language.ini (default "ChineseprcRC.dll").
QString LanguagePackPath(int index);
