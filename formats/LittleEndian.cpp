#include "LittleEndian.h"

#include <QtEndian>

namespace zumzik {
namespace {

template <typename Number> void append(QByteArray& out, Number value) {
    char bytes[sizeof(Number)];
    qToLittleEndian(value, bytes);
    out.append(bytes, sizeof(Number));
}

template <typename Number> Number at(const QByteArray& bytes, qsizetype offset) {
    Q_ASSERT(offset >= 0 && offset + qsizetype(sizeof(Number)) <= bytes.size());
    return qFromLittleEndian<Number>(bytes.constData() + offset);
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

quint16 LittleEndian::uint16At(const QByteArray& bytes, qsizetype offset) {
    return at<quint16>(bytes, offset);
}

quint32 LittleEndian::uint32At(const QByteArray& bytes, qsizetype offset) {
    return at<quint32>(bytes, offset);
}

qint32 LittleEndian::int32At(const QByteArray& bytes, qsizetype offset) {
    return at<qint32>(bytes, offset);
}

} // namespace zumzik
