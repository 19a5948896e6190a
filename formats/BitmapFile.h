#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

namespace zumzik {

// Reads the uncompressed Windows bitmaps of the program's artwork by itself: reading them through
// Qt's image readers would first load every image format plugin there is, at start-up.
class BitmapFile {
public:
    // The picture in the file at path (in the resources, say), or a null image.
    static QImage read(const QString& path);
    // The picture of an uncompressed bitmap of 1, 4, 8, 24 or 32 bits per pixel, or a null image
    // when bytes hold anything else.
    static QImage decode(const QByteArray& bytes);
};

} // namespace zumzik
