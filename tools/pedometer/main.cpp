#include "tools/ToolDataFolder.h"
#include "tools/pedometer/PedometerTool.h"

#include <QCoreApplication>
#include <QDir>
#include <QTextStream>

#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments();
    args.removeFirst();
    // The port folder is USB/ of the data folder the program chooses.
    const QString port = ToolDataFolder(QCoreApplication::applicationDirPath()) + QStringLiteral("USB/");
    QTextStream out(stdout);
    QTextStream err(stderr);
    const int status = RunPedometerTool(args, QDir::cleanPath(port) + QLatin1Char('/'), out, err);
    out.flush();
    err.flush();
    return status;
}
