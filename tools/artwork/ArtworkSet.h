#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace zumzik {

// One file of the program's artwork: its name (a path within the artwork folder) and its exact
// bytes.
struct ArtworkFile {
    QString name;
    QByteArray bytes;
};

// All of the program's artwork, painted anew: the program icon, the two tray animation frames and
// their stored icon list, the three button glyphs, the About picture, and the program icon for
// the desktop's icon theme at each size that panels, menus and software centres look up.
class ArtworkSet {
public:
    static QList<ArtworkFile> make();
    // Writes every file into the folder, making it and its subfolders when they are missing;
    // fails with a message that names the file that could not be written.
    static void write(const QString& folder);
};

} // namespace zumzik
