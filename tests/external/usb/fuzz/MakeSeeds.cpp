// make_pedometer_seeds FOLDER: writes the fuzz target's seed pedometer files into FOLDER.
#include "tests/external/usb/fuzz/SeedFiles.h"

#include <QDir>

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_pedometer_seeds FOLDER\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    if (!QDir().mkpath(folder)) {
        std::fprintf(stderr, "cannot make %s\n", argv[1]);
        return 1;
    }
    for (const SeedPedometer& seed : SeedPedometers()) {
        QString why;
        const QString path = QDir(folder).filePath(QString::fromLatin1(seed.name));
        if (!SavePedometerFile(path, seed.file, &why)) {
            std::fprintf(stderr, "%s: %s\n", qUtf8Printable(path), qUtf8Printable(why));
            return 1;
        }
        std::printf("%s\n", qUtf8Printable(path));
    }
    return 0;
}
