#pragma once

#include <QByteArray>
#include <QtGlobal>

namespace zumzik {

// Appends numbers in the little-endian byte order of the icon and bitmap file formats.
class LittleEndian {
public:
    static void appendUInt16(QByteArray& out, quint16 value);
    static void appendUInt32(QByteArray& out, quint32 value);
    static void appendInt32(QByteArray& out, qint32 value);
};

} // namespace zumzik
