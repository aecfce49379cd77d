#pragma once
// The data folder the command-line tools work on by default: the one the program uses. The
// program folder is <build>/Travimo/ beside <build>/bin/, or /usr/lib/travimo/ of an installation
// (tools in /usr/bin); without one the tools use the per-user data folder.

#include "core/Paths.h"

#include <QDir>
#include <QFileInfo>
#include <QString>

inline QString ToolDataFolder(const QString& toolFolder)
{
    for (const QString& candidate : {toolFolder + QStringLiteral("/../Travimo/"), toolFolder + QStringLiteral("/../lib/travimo/")}) {
        if (QFileInfo(candidate + QStringLiteral("Travimo")).isFile())
            return ChooseDataFolder(QDir::cleanPath(candidate) + QLatin1Char('/'), PerUserDataFolder());
    }
    return PerUserDataFolder();
}
