#pragma once

#include <QIODevice>
#include <QString>
#include <functional>

namespace zumzik {

// What a persistent object sees of the reader or writer of a stored description: the object
// declares each of its stored properties, and the filer calls back to read or write the ones it
// handles.
class TFiler {
public:
    using StreamProc = std::function<void(QIODevice& stream)>;

    virtual ~TFiler() = default;

    // A property stored as raw bytes. A writer calls writeData only when hasData is true; a reader
    // calls readData with a stream positioned at the stored bytes.
    virtual void DefineBinaryProperty(const QString& name, StreamProc readData,
                                      StreamProc writeData, bool hasData) = 0;
};

} // namespace zumzik
