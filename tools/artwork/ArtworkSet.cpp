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
#include <QFileInfo>
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

// The sizes at which the icon theme holds the program icon (as hicolor/SIDExSIDE/apps/zumzik.png,
// the layout in which it is installed). Each is painted at its own size, so that no panel or
// software centre shows a picture scaled up from a smaller one, blurred.
constexpr int ThemeIconSides[] = {16, 22, 24, 32, 48, 64, 128, 256};

QByteArray pngFile(const QImage& picture) {
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    if (!picture.save(&out, "PNG"))
        throw std::runtime_error("cannot encode a PNG picture");
    return out.data();
}

} // namespace

QList<ArtworkFile> ArtworkSet::make() {
    const QByteArray smiling =
        IconFileEncoder::encode(FacePainter::paint(FacePainter::Pose::Smiling));
    const QByteArray winking =
        IconFileEncoder::encode(FacePainter::paint(FacePainter::Pose::Winking));
    QList<ArtworkFile> files = {
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
    for (const int side : ThemeIconSides) {
        files.append({QStringLiteral("hicolor/%1x%1/apps/zumzik.png").arg(side),
                      pngFile(FacePainter::paint(FacePainter::Pose::Smiling, side))});
    }
    return files;
}

void ArtworkSet::write(const QString& folder) {
    if (!QDir().mkpath(folder))
        throw std::runtime_error("cannot make the folder " + folder.toStdString());
    const QDir target(folder);
    for (const ArtworkFile& file : make()) {
        const QString path = target.filePath(file.name);
        if (!QDir().mkpath(QFileInfo(path).path()))
            throw std::runtime_error("cannot make the folder for " + path.toStdString());
        QSaveFile out(path);
        if (!out.open(QIODevice::WriteOnly) || out.write(file.bytes) != file.bytes.size() ||
            !out.commit())
            throw std::runtime_error("cannot write " + out.fileName().toStdString() + ": " +
                                     out.errorString().toStdString());
    }
}

} // namespace zumzik
