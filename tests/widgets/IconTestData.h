#pragma once

#include "ComponentError.h"
#include "IconFileEncoder.h"
#include "LittleEndian.h"

#include <QBuffer>
#include <QByteArray>
#include <QColor>
#include <QImage>
#include <gtest/gtest.h>
#include <initializer_list>
#include <string>

namespace zumzik::test {

// Icon-file bytes of a square picture in one colour.
inline QByteArray iconBytes(QColor colour, int side = 16) {
    QImage picture(side, side, QImage::Format_ARGB32);
    picture.fill(colour);
    return IconFileEncoder::encode(picture);
}

// Builds a stored icon list piece by piece: numbers as little-endian 32-bit words, and raw bytes.
class StoredForm {
public:
    StoredForm& number(qint32 value) {
        LittleEndian::appendInt32(m_bytes, value);
        return *this;
    }
    StoredForm& record(const QByteArray& image) {
        number(static_cast<qint32>(image.size()));
        m_bytes += image;
        return *this;
    }
    StoredForm& raw(const QByteArray& bytes) {
        m_bytes += bytes;
        return *this;
    }
    const QByteArray& bytes() const { return m_bytes; }

private:
    QByteArray m_bytes;
};

// Runs action, which must throw a ComponentError, and returns its message.
template <typename Action> std::string componentErrorOf(Action&& action) {
    try {
        action();
    } catch (const ComponentError& error) {
        return error.what();
    }
    ADD_FAILURE() << "no ComponentError was raised";
    return {};
}

} // namespace zumzik::test
