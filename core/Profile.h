#pragma once
// Private-profile (.ini) files with the Windows semantics the program's files
// were written for:
//  - section and key names are case-insensitive and trimmed; the first match wins;
//  - values are trimmed, a pair of surrounding quotes is removed, and a value is cut
//    to 255 bytes of UTF-8 without splitting a character (the 256-byte read buffer);
//  - integers are read like atoi ("12abc" is 12, "abc" is 0); a missing key gives the default;
//  - lines without '=' and comment lines (';' or '#') are skipped;
//  - CRLF and LF both end a line, a UTF-8 byte-order mark is ignored;
//  - a write creates the file and section as needed, keeps every other line and
//    replaces the file atomically.
// Files are UTF-8.

#include <QString>
#include <QStringList>

namespace Profile {

constexpr int kMaxValueBytes = 255;

QString GetString(const QString& file, const QString& section, const QString& key, const QString& def = QString());
int GetInt(const QString& file, const QString& section, const QString& key, int def);
bool WriteString(const QString& file, const QString& section, const QString& key, const QString& value);
bool WriteInt(const QString& file, const QString& section, const QString& key, int value);
// The key names of a section in file order (duplicates once), for readers that enumerate.
QStringList Keys(const QString& file, const QString& section);

// atoi on a text: optional blanks and sign, then digits; anything else stops the number.
int Atoi(const QString& text);
// A UTF-8 text cut to maxBytes bytes on a character boundary.
QString CutUtf8(const QString& text, int maxBytes);

}  // namespace Profile
