#pragma once

#include <QIcon>
#include <QString>

namespace zumzik {

// The program's artwork, built into it from resources/artwork.
class Artwork {
public:
    // The 48 × 48 smiling face: the program's icon and the tray icon's still picture.
    static QIcon programIcon();
    // A button's glyph bitmap made into an icon, its bottom-left colour transparent.
    static QIcon buttonGlyph(const QString& fileName, int imageCount);
    // Makes the artwork available under ":/artwork"; Artwork's own functions do it themselves.
    static void registerResources();
    // The path of an artwork file in the resource system.
    static QString path(const QString& fileName);
};

} // namespace zumzik
