// zumzik-artwork: paints the program's artwork anew and writes it into a folder, or turns the
// program icon into the PNG file that the desktop's icon theme takes.

#include "ArtworkSet.h"

#include <QImage>
#include <QImageReader>
#include <QString>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <exception>

namespace {

constexpr const char* kUsage =
    "usage: zumzik-artwork [FOLDER]\n"
    "       zumzik-artwork --desktop-icon ICON PNG\n"
    "Paints the program icon, the tray frames, the button glyphs and the About picture into\n"
    "FOLDER (default: resources/artwork). With --desktop-icon, writes the largest picture of\n"
    "the icon file ICON as the PNG file PNG.\n";

// The icon theme wants a plain square PNG; the icon file's largest picture is taken unchanged.
int writeDesktopIcon(const char* iconPath, const char* pngPath) {
    QImageReader reader(QString::fromLocal8Bit(iconPath), "ico");
    QImage largest;
    for (int index = 0; index < std::max(reader.imageCount(), 1); ++index) {
        if (index > 0 && !reader.jumpToImage(index))
            break;
        const QImage picture = reader.read();
        if (picture.width() > largest.width())
            largest = picture;
    }
    if (largest.isNull() || largest.width() != largest.height()) {
        std::fprintf(stderr, "zumzik-artwork: %s holds no square icon picture\n", iconPath);
        return 1;
    }
    if (!largest.save(QString::fromLocal8Bit(pngPath), "PNG")) {
        std::fprintf(stderr, "zumzik-artwork: cannot write %s\n", pngPath);
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc == 4 && std::strcmp(argv[1], "--desktop-icon") == 0)
        return writeDesktopIcon(argv[2], argv[3]);
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
