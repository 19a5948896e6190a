#include "StreamWrite.h"

#include "ComponentError.h"

namespace zumzik {

void writeToStream(QIODevice& stream, const QByteArray& bytes) {
    if (stream.write(bytes) != bytes.size())
        throw ComponentError(QStringLiteral("Stream write error"));
}

} // namespace zumzik
