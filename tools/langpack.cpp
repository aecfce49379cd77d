// Writes the program's built-in Simplified Chinese texts as a language pack file.
#include "core/StringTable.h"

#include <QCoreApplication>
#include <QSaveFile>
#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: travimo-langpack OUTPUT.lng\n");
        return 2;
    }
    QSaveFile out(QString::fromLocal8Bit(argv[1]));
    if (!out.open(QIODevice::WriteOnly) || out.write(BuiltinTableAsPack(QStringLiteral("简体中文"))) < 0 || !out.commit()) {
        std::fprintf(stderr, "travimo-langpack: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
