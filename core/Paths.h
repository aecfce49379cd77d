#pragma once
// Where a file lives. Every path the program uses is built here, from two roots:
//  - the program folder (g_strAppPath): what the program only reads — the skin, the language
//    packs, the templates (Graph.ini), the pictures and icons it ships;
//  - the data folder: what the program writes — the user store, the user folders with their
//    Graph.ini, the language choice, the pedometer port folder. It is the program folder when
//    that holds a User.db or a marker file "portable" (a program folder carried on a stick, an
//    existing installation), otherwise the desktop's per-user data folder ".../Travimo/".
// Both end in exactly one '/'; a relative name uses '/' between its parts.

#include <QString>

QString ProgramFolder();
QString DataFolder();
// The rule behind DataFolder, for two given folders (each ending in '/').
QString ChooseDataFolder(const QString& programFolder, const QString& perUserFolder);
// The desktop's per-user data folder of the program, ending in '/'.
QString PerUserDataFolder();
// Creates the data folder when it is missing; false when it cannot be made.
bool EnsureDataFolder();
// A file or folder ("Skin/", "Graph.ini") of the program folder.
QString ProgramFile(const QString& relative);
// A file or folder ("User.mdb", "10001/Graph.ini") of the data folder.
QString DataFile(const QString& relative);

// "<program folder>Skin/<skin name>/"
QString SkinFolder();
// "<skin folder>Set.ini"
QString SkinIniPath();
// "<program folder><program name>.ini"
QString ProgramIniPath();
// The language list the program offers: "<program folder>Language.ini"
QString LanguageListPath();
// The language the user chose (key Index): "<data folder>Language.ini"
QString LanguageIniPath();
// A language pack file named in Language.ini: "<program folder>Language/<file>"
QString LanguagePackFile(const QString& file);
// A user's own folder "<data folder><number>/" and the chart colours kept in it.
QString UserFolder(int number);
QString UserGraphIniPath(int number);
// The pedometer choice a user asked to be remembered, beside Graph.ini.
QString UserDeviceChoicePath(int number);
// The template every user's Graph.ini starts from.
QString TemplateGraphIniPath();
// The folder the virtual pedometer port watches: "<data folder>USB/"
QString PortFolder();
// A user picture "Photo/<n>.bmp".
QString UserPicturePath(int photo);

// Splits a program file path into g_strAppPath (folder with one trailing '/') and g_strAppName.
void SetProgramPaths(const QString& programFile);
// The folder part of a file path with exactly one trailing '/' ("/" for a file at the root).
QString FolderWithSeparator(const QString& filePath);
