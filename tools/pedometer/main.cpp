#include "tools/pedometer/PedometerTool.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTextStream>

#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments();
    args.removeFirst();
    // The tool lives in <build>/bin/; the program folder is <build>/Travimo/.
    QString port = QCoreApplication::applicationDirPath() + QStringLiteral("/../Travimo/USB/");
    if (!QFileInfo(port).isDir())
        port = QDir::currentPath() + QStringLiteral("/USB/");
    QTextStream out(stdout);
    QTextStream err(stderr);
    const int status = RunPedometerTool(args, QDir::cleanPath(port) + QLatin1Char('/'), out, err);
    out.flush();
    err.flush();
    return status;
}
