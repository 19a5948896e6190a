// zumzik-artwork: paints the program's artwork anew and writes it into a folder.

#include "ArtworkSet.h"

#include <QString>
#include <cstdio>
#include <cstring>
#include <exception>

int main(int argc, char* argv[]) {
    if (argc > 2 ||
        (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0))) {
        std::fprintf(stderr, "usage: zumzik-artwork [FOLDER]\n"
                             "Paints the program icon, the tray frames, the button glyphs and the\n"
                             "About picture into FOLDER (default: resources/artwork).\n");
        return argc > 2 ? 2 : 0;
    }
    const QString folder =
        argc == 2 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("resources/artwork");
    try {
        zumzik::ArtworkSet::write(folder);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "zumzik-artwork: %s\n", error.what());
        return 1;
    }
    return 0;
}
