#include "core/Paths.h"
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
    // The program folder is <build>/Travimo/ beside <build>/bin/, or /usr/lib/travimo/ of an
    // installation; the port folder is USB/ of the data folder the program chooses for it.
    const QString bin = QCoreApplication::applicationDirPath();
    QString program;
    for (const QString& candidate : {bin + QStringLiteral("/../Travimo/"), bin + QStringLiteral("/../lib/travimo/")}) {
        if (QFileInfo(candidate + QStringLiteral("Travimo")).isFile()) {
            program = QDir::cleanPath(candidate) + QLatin1Char('/');
            break;
        }
    }
    const QString port =
        program.isEmpty() ? PerUserDataFolder() + QStringLiteral("USB/") : ChooseDataFolder(program, PerUserDataFolder()) + QStringLiteral("USB/");
    QTextStream out(stdout);
    QTextStream err(stderr);
    const int status = RunPedometerTool(args, QDir::cleanPath(port) + QLatin1Char('/'), out, err);
    out.flush();
    err.flush();
    return status;
}
