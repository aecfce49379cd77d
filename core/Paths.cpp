#include "core/Paths.h"

#include "core/Globals.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

QString ProgramFolder()
{
    return g_strAppPath;
}

QString ChooseDataFolder(const QString& programFolder, const QString& perUserFolder)
{
    const bool portable = QFileInfo::exists(programFolder + QStringLiteral("User.db")) ||
                          QFileInfo::exists(programFolder + QStringLiteral("portable"));
    return portable ? programFolder : perUserFolder;
}

QString PerUserDataFolder()
{
    // The desktop's per-user data location, named after the product whatever the program file is called.
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return (base.isEmpty() ? QDir::homePath() + QStringLiteral("/.local/share") : base) + QStringLiteral("/Travimo/");
}

QString DataFolder()
{
    // Decided once per program folder: a store created later in the per-user folder must not move it.
    static QString forProgramFolder;
    static QString chosen;
    if (chosen.isEmpty() || forProgramFolder != g_strAppPath) {
        forProgramFolder = g_strAppPath;
        chosen = ChooseDataFolder(g_strAppPath, PerUserDataFolder());
    }
    return chosen;
}

bool EnsureDataFolder()
{
    return QDir().mkpath(DataFolder());
}

QString ProgramFile(const QString& relative)
{
    return ProgramFolder() + relative;
}

QString DataFile(const QString& relative)
{
    return DataFolder() + relative;
}

QString SkinFolder()
{
    return ProgramFile(QStringLiteral("Skin/") + g_strSkinName + QLatin1Char('/'));
}

QString SkinIniPath()
{
    return SkinFolder() + QStringLiteral("Set.ini");
}

QString ProgramIniPath()
{
    return ProgramFile(g_strAppName + QStringLiteral(".ini"));
}

QString LanguageListPath()
{
    return ProgramFile(QStringLiteral("Language.ini"));
}

QString LanguageIniPath()
{
    return DataFile(QStringLiteral("Language.ini"));
}

QString LanguagePackFile(const QString& file)
{
    return ProgramFile(QStringLiteral("Language/") + file);
}

QString UserFolder(int number)
{
    return DataFile(QString::number(number) + QLatin1Char('/'));
}

QString UserGraphIniPath(int number)
{
    return UserFolder(number) + QStringLiteral("Graph.ini");
}

QString UserDeviceChoicePath(int number)
{
    return UserFolder(number) + QStringLiteral("Pedometer.ini");
}

QString TemplateGraphIniPath()
{
    return ProgramFile(QStringLiteral("Graph.ini"));
}

QString PortFolder()
{
    return DataFile(QStringLiteral("USB/"));
}

QString UserPicturePath(int photo)
{
    return ProgramFile(QStringLiteral("Photo/%1.bmp").arg(photo));
}

QString FolderWithSeparator(const QString& filePath)
{
    const int slash = filePath.lastIndexOf(QLatin1Char('/'));
    QString folder = slash >= 0 ? filePath.left(slash) : QString();
    while (folder.endsWith(QLatin1Char('/')))
        folder.chop(1);
    return folder + QLatin1Char('/');
}

void SetProgramPaths(const QString& programFile)
{
    g_strAppPath = FolderWithSeparator(programFile);
    g_strAppName = QFileInfo(programFile).completeBaseName();
}
