#include "TIcon.h"

#include "ComponentError.h"
#include "IconFileEncoder.h"
#include "StreamWrite.h"

#include <QBuffer>
#include <QImageReader>
#include <QPixmap>
#include <QtEndian>
#include <algorithm>

namespace zumzik {
namespace {

constexpr int IconHeaderSize = 6;

ComponentError invalidIcon() {
    return ComponentError(QStringLiteral("Icon image is not valid"));
}

// Every picture the reader finds, as one platform icon with a size for each; a null icon when the
// reader finds none.
QIcon readIcon(QImageReader& reader) {
    QIcon icon;
    const int count = std::max(reader.imageCount(), 1);
    for (int index = 0; index < count; ++index) {
        if (index > 0 && !reader.jumpToImage(index))
            break;
        const QImage picture = reader.read();
        if (picture.isNull())
            break;
        icon.addPixmap(QPixmap::fromImage(picture));
    }
    return icon;
}

// The largest size the icon offers, brought down to what an icon file can hold.
QImage largestPicture(const QIcon& icon) {
    QSize largest;
    for (const QSize& size : icon.availableSizes()) {
        if (size.width() * size.height() > largest.width() * largest.height())
            largest = size;
    }
    if (largest.isEmpty())
        largest = QSize(IconFileEncoder::MaximumSide, IconFileEncoder::MaximumSide);
    const QSize bounded =
        largest.boundedTo(QSize(IconFileEncoder::MaximumSide, IconFileEncoder::MaximumSide));
    return icon.pixmap(largest).toImage().scaled(bounded, Qt::KeepAspectRatio,
                                                 Qt::SmoothTransformation);
}

} // namespace

void TIcon::Assign(const TPersistent* source) {
    if (!source) {
        m_data.clear();
        m_handle = QIcon();
        Changed();
        return;
    }
    if (const auto* icon = dynamic_cast<const TIcon*>(source)) {
        if (icon != this) {
            m_data = icon->m_data;
            m_handle = icon->m_handle;
        }
        Changed();
        return;
    }
    TPersistent::Assign(source);
}

bool TIcon::Empty() const {
    return m_data.isEmpty() && m_handle.isNull();
}

void TIcon::LoadFromStream(QIODevice& stream) {
    QByteArray bytes = stream.readAll();
    if (bytes.size() < IconHeaderSize)
        throw invalidIcon();
    const auto type = qFromLittleEndian<quint16>(bytes.constData() + 2);
    if (type >= 2)
        throw invalidIcon();
    m_data = std::move(bytes);
    m_handle = QIcon();
    Changed();
}

void TIcon::SaveToStream(QIODevice& stream) const {
    if (!Empty())
        writeToStream(stream, Data());
}

void TIcon::LoadFromResource(const QString& module, const QString& resourceName) {
    const QString path = module + QLatin1Char('/') + resourceName;
    QImageReader reader(path);
    const QIcon icon = readIcon(reader);
    if (icon.isNull())
        throw ComponentError(
            QStringLiteral("Cannot load the icon resource %1: %2").arg(path, reader.errorString()));
    SetHandle(icon);
}

QIcon TIcon::Handle() const {
    if (m_handle.isNull() && !m_data.isEmpty()) {
        QBuffer buffer(&m_data);
        buffer.open(QIODevice::ReadOnly);
        QImageReader reader(&buffer, "ico");
        m_handle = readIcon(reader);
        if (m_handle.isNull())
            throw invalidIcon();
    }
    return m_handle;
}

void TIcon::SetHandle(const QIcon& handle) {
    m_handle = handle;
    m_data.clear();
    Changed();
}

void TIcon::Changed() {
    if (m_onChange)
        m_onChange(this);
}

const QByteArray& TIcon::Data() const {
    if (m_data.isEmpty() && !m_handle.isNull())
        m_data = IconFileEncoder::encode(largestPicture(m_handle));
    return m_data;
}

} // namespace zumzik
