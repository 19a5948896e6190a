// zumzik-artwork: paints the program's artwork anew and writes it into a folder.

#include "ArtworkSet.h"

#include <QString>
#include <cstdio>
#include <cstring>
#include <exception>

namespace {

constexpr const char* kUsage =
    "usage: zumzik-artwork [FOLDER]\n"
    "Paints the program icon, the tray frames, the button glyphs, the About picture and the\n"
    "icon theme's pictures of the program icon into FOLDER (default: resources/artwork).\n";

} // namespace

int main(int argc, char* argv[]) {
    if (argc > 2 || (argc == 2 && argv[1][0] == '-')) {
        const bool help =
            argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0);
        std::fputs(kUsage, help ? stdout : stderr);
        return help ? 0 : 2;
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
