#include "Artwork.h"

#include "ButtonGlyph.h"

#include <QImage>

// The resources live in a static library, whose registration nothing else would pull in.
static void registerArtwork() {
    static const bool registered = [] {
        Q_INIT_RESOURCE(artwork);
        return true;
    }();
    Q_UNUSED(registered);
}

namespace zumzik {

void Artwork::registerResources() {
    registerArtwork();
}

QString Artwork::path(const QString& fileName) {
    registerArtwork();
    return QStringLiteral(":/artwork/") + fileName;
}

QIcon Artwork::programIcon() {
    return QIcon(path(QStringLiteral("zumzik.ico")));
}

QIcon Artwork::buttonGlyph(const QString& fileName, int imageCount) {
    return ButtonGlyph(QImage(path(fileName)), imageCount).icon();
}

} // namespace zumzik
