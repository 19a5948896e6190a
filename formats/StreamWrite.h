#pragma once

#include <QByteArray>
#include <QIODevice>

namespace zumzik {

// Writes all of bytes to the stream, or fails with "Stream write error" when the stream takes
// fewer (a full disk, a read-only device).
void writeToStream(QIODevice& stream, const QByteArray& bytes);

} // namespace zumzik
