#include "Artwork.h"

#include "BitmapFile.h"
#include "BuiltInResources.h"
#include "ButtonGlyph.h"

namespace zumzik {

void Artwork::registerResources() {
    registerBuiltInResources();
}

QString Artwork::path(const QString& fileName) {
    registerBuiltInResources();
    return QStringLiteral(":/artwork/") + fileName;
}

QIcon Artwork::programIcon() {
    return QIcon(path(QStringLiteral("zumzik.ico")));
}

QIcon Artwork::buttonGlyph(const QString& fileName, int imageCount) {
    return ButtonGlyph(BitmapFile::read(path(fileName)), imageCount).icon();
}

} // namespace zumzik
