// Draws the default skin and the program folder's pictures, and optionally writes the
// resource collection that compiles the skin into the program:
//   travimo-skingen <program folder> <Set.ini to copy> <Graph.ini template to copy> [<qrc>]
#include <QGuiApplication>
#include <QSaveFile>

#include <cstdio>
#include <cstdlib>

#include "SkinArt.h"

int main(int argc, char** argv)
{
    // Drawing needs no display; fonts come through the offscreen platform.
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QGuiApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 4 && args.size() != 5) {
        std::fprintf(stderr, "usage: travimo-skingen <program folder> <Set.ini> <Graph.ini> [<qrc>]\n");
        return 2;
    }
    QStringList written;
    QString error;
    if (!SkinArt::WriteAll(args[1], args[2], args[3], &written, &error)) {
        std::fprintf(stderr, "travimo-skingen: %s\n", qPrintable(error));
        return 1;
    }
    if (args.size() == 5) {
        QSaveFile qrc(args[4]);
        if (!qrc.open(QIODevice::WriteOnly) || qrc.write(SkinArt::BuiltinSkinQrc(args[1], written)) < 0 ||
            !qrc.commit()) {
            std::fprintf(stderr, "travimo-skingen: cannot write %s\n", qPrintable(args[4]));
            return 1;
        }
    }
    std::printf("travimo-skingen: %d files written\n", int(written.size()));
    return 0;
}
