// Draws the program's icon for the desktop's icon theme: <out>/<n>x<n>/apps/travimo.png for
// every size a menu or a launcher asks for, from the same art as the skin's App.ico.
#include "tools/skingen/SkinArt.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>

#include <cstdio>

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: travimo-hicolor OUTPUT-FOLDER\n");
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const QString folder = QStringLiteral("%1/%2x%2/apps").arg(out).arg(size);
        if (!QDir().mkpath(folder) || !SkinArt::RenderIcon(SkinArt::PaintAppMark, size).save(folder + QStringLiteral("/travimo.png"))) {
            std::fprintf(stderr, "cannot write the %dx%d icon in %s\n", size, size, qPrintable(folder));
            return 1;
        }
    }
    return 0;
}
