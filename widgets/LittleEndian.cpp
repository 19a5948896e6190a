#include "LittleEndian.h"

#include <QtEndian>

namespace zumzik {
namespace {

template <typename Number> void append(QByteArray& out, Number value) {
    char bytes[sizeof(Number)];
    qToLittleEndian(value, bytes);
    out.append(bytes, sizeof(Number));
}

} // namespace

void LittleEndian::appendUInt16(QByteArray& out, quint16 value) {
    append(out, value);
}

void LittleEndian::appendUInt32(QByteArray& out, quint32 value) {
    append(out, value);
}

void LittleEndian::appendInt32(QByteArray& out, qint32 value) {
    append(out, value);
}

} // namespace zumzik
