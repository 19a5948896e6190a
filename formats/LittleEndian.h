#pragma once

#include <QByteArray>
#include <QtGlobal>

namespace zumzik {

// Appends and reads numbers in the little-endian byte order of the icon, bitmap and wave file
// formats. The readers expect the number to lie wholly inside bytes.
class LittleEndian {
public:
    static void appendUInt16(QByteArray& out, quint16 value);
    static void appendUInt32(QByteArray& out, quint32 value);
    static void appendInt32(QByteArray& out, qint32 value);

    static quint16 uint16At(const QByteArray& bytes, qsizetype offset);
    static quint32 uint32At(const QByteArray& bytes, qsizetype offset);
    static qint32 int32At(const QByteArray& bytes, qsizetype offset);
};

} // namespace zumzik
