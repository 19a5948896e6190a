#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace zumzik {

// One file of the program's artwork: its name and its exact bytes.
struct ArtworkFile {
    QString name;
    QByteArray bytes;
};

// All of the program's artwork, painted anew: the program icon, the two tray animation frames and
// their stored icon list, the three button glyphs and the About picture.
class ArtworkSet {
public:
    static QList<ArtworkFile> make();
    // Writes every file into the folder, making it when it is missing; fails with a message that
    // names the file that could not be written.
    static void write(const QString& folder);
};

} // namespace zumzik
