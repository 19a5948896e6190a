#include "ArtworkSet.h"

#include "BitmapFileWriter.h"
#include "FacePainter.h"
#include "GlyphPainter.h"
#include "HandshakePainter.h"
#include "IconFileEncoder.h"
#include "PaletteQuantizer.h"
#include "TIconList.h"

#include <QBuffer>
#include <QDir>
#include <QSaveFile>
#include <stdexcept>

namespace zumzik {
namespace {

// The icon list's stored form of the frames, as the tray icon reads it.
QByteArray storedFrames(const QList<QByteArray>& frames) {
    TIconList list;
    for (QByteArray frame : frames) {
        QBuffer source(&frame);
        source.open(QIODevice::ReadOnly);
        TIcon icon;
        icon.LoadFromStream(source);
        list.Add(&icon);
    }
    QBuffer stored;
    stored.open(QIODevice::WriteOnly);
    list.SaveToStream(stored);
    return stored.data();
}

} // namespace

QList<ArtworkFile> ArtworkSet::make() {
    const QByteArray smiling =
        IconFileEncoder::encode(FacePainter::paint(FacePainter::Pose::Smiling));
    const QByteArray winking =
        IconFileEncoder::encode(FacePainter::paint(FacePainter::Pose::Winking));
    return {
        {QStringLiteral("zumzik.ico"), smiling},
        {QStringLiteral("tray-frame0.ico"), smiling},
        {QStringLiteral("tray-frame1.ico"), winking},
        {QStringLiteral("tray-frames.bin"), storedFrames({smiling, winking})},
        {QStringLiteral("about-glyph.bmp"),
         BitmapFileWriter::encode(GlyphPainter::aboutGlyph(), 4)},
        {QStringLiteral("help-glyph.bmp"), BitmapFileWriter::encode(GlyphPainter::helpGlyph(), 4)},
        {QStringLiteral("exit-glyph.bmp"), BitmapFileWriter::encode(GlyphPainter::exitGlyph(), 24)},
        {QStringLiteral("about-picture.bmp"),
         BitmapFileWriter::encode(PaletteQuantizer::toIndexed(HandshakePainter::paint(), 256), 8)},
    };
}

void ArtworkSet::write(const QString& folder) {
    if (!QDir().mkpath(folder))
        throw std::runtime_error("cannot make the folder " + folder.toStdString());
    const QDir target(folder);
    for (const ArtworkFile& file : make()) {
        QSaveFile out(target.filePath(file.name));
        if (!out.open(QIODevice::WriteOnly) || out.write(file.bytes) != file.bytes.size() ||
            !out.commit())
            throw std::runtime_error("cannot write " + out.fileName().toStdString() + ": " +
                                     out.errorString().toStdString());
    }
}

} // namespace zumzik
