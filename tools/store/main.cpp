#include "tools/ToolDataFolder.h"
#include "tools/store/StoreTool.h"

#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments();
    args.removeFirst();
    QTextStream out(stdout);
    QTextStream err(stderr);
    const int status = RunStoreTool(args, ToolDataFolder(QCoreApplication::applicationDirPath()), out, err);
    out.flush();
    err.flush();
    return status;
}
