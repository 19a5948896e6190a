#include "TIconList.h"

#include "ComponentError.h"
#include "LittleEndian.h"
#include "StreamWrite.h"
#include "TFiler.h"

#include <QBuffer>
#include <QtEndian>
#include <algorithm>
#include <limits>
#include <optional>

namespace zumzik {
namespace {

// A record's bytes are read in pieces of at most this size, so that a length which promises
// more than a stream holds never allocates more than what actually arrives.
constexpr qint64 ReadChunkSize = 64 * 1024;

ComponentError truncated(const QString& what) {
    return ComponentError(QStringLiteral("Icon list data is truncated: %1").arg(what));
}

// Reads one signed 32-bit little-endian number; nullopt when the stream ends first.
std::optional<qint32> readInt32(QIODevice& stream) {
    char bytes[4];
    if (stream.read(bytes, sizeof bytes) != sizeof bytes)
        return std::nullopt;
    return qFromLittleEndian<qint32>(bytes);
}

void writeInt32(QIODevice& stream, qint32 value) {
    QByteArray bytes;
    LittleEndian::appendInt32(bytes, value);
    writeToStream(stream, bytes);
}

// The length bytes of one record, or a "truncated" error when fewer follow. A seekable stream
// tells up front how much it still holds; any other is read piece by piece.
QByteArray readRecordBytes(QIODevice& stream, qint32 length, qint32 record, qint32 count) {
    const auto shortBy = [&](qint64 remaining) {
        return truncated(QStringLiteral("record %1 of %2 promises %3 bytes, but only %4 follow")
                             .arg(record + 1)
                             .arg(count)
                             .arg(length)
                             .arg(remaining));
    };
    if (!stream.isSequential()) {
        const qint64 remaining = std::max<qint64>(stream.size() - stream.pos(), 0);
        if (length > remaining)
            throw shortBy(remaining);
    }
    QByteArray bytes;
    while (bytes.size() < length) {
        const QByteArray piece =
            stream.read(std::min<qint64>(length - bytes.size(), ReadChunkSize));
        if (piece.isEmpty())
            throw shortBy(bytes.size());
        bytes.append(piece);
    }
    return bytes;
}

} // namespace

TIconList::~TIconList() {
    m_onChange = nullptr;
    Clear();
}

void TIconList::DefineProperties(TFiler& filer) {
    filer.DefineBinaryProperty(
        QStringLiteral("Icons"), [this](QIODevice& stream) { LoadFromStream(stream); },
        [this](QIODevice& stream) { SaveToStream(stream); }, Count() > 0);
}

void TIconList::Assign(const TPersistent* source) {
    if (!source) {
        Clear();
        return;
    }
    if (const auto* list = dynamic_cast<const TIconList*>(source)) {
        Batched([&] {
            // Assigning the list to itself must not clear the entries it is about to copy.
            if (list == this)
                return;
            Clear();
            for (int index = 0; index < list->Count(); ++index)
                Add(list->Icons(index));
        });
        return;
    }
    if (const auto* icon = dynamic_cast<const TIcon*>(source)) {
        // The icon may be one of our own entries, which Clear destroys: copy it first.
        TIcon copy;
        copy.Assign(icon);
        Batched([&] {
            Clear();
            Add(&copy);
        });
        return;
    }
    TPersistent::Assign(source);
}

void TIconList::Changed() {
    if (m_updateDepth == 0 && m_onChange)
        m_onChange(this);
}

TIcon* TIconList::Icons(int index) const {
    CheckIndex(index);
    return m_entries[static_cast<size_t>(index)].get();
}

int TIconList::Count() const {
    return static_cast<int>(m_entries.size());
}

void TIconList::SetIcons(int index, const TPersistent* source) {
    Batched([&] {
        if (index == Count())
            Add(nullptr);
        CheckIndex(index);
        auto& entry = m_entries[static_cast<size_t>(index)];
        if (!entry)
            entry = std::make_unique<TIcon>();
        Hook(*entry);
        entry->Assign(source);
    });
}

int TIconList::Add(const TPersistent* source) {
    auto icon = std::make_unique<TIcon>();
    icon->Assign(source);
    return AppendOwned(std::move(icon));
}

int TIconList::AddResource(const QString& module, const QString& resourceName) {
    auto icon = std::make_unique<TIcon>();
    icon->LoadFromResource(module, resourceName);
    return AppendOwned(std::move(icon));
}

void TIconList::Clear() {
    Batched([&] {
        for (int index = Count() - 1; index >= 0; --index)
            Delete(index);
    });
}

void TIconList::Delete(int index) {
    CheckIndex(index);
    const auto position = m_entries.begin() + index;
    if (*position)
        (*position)->SetOnChange(nullptr);
    m_entries.erase(position);
    Changed();
}

void TIconList::Exchange(int index1, int index2) {
    CheckIndex(index1);
    CheckIndex(index2);
    std::swap(m_entries[static_cast<size_t>(index1)], m_entries[static_cast<size_t>(index2)]);
    Changed();
}

int TIconList::IndexOf(const TIcon* icon) const {
    const auto found = std::find_if(m_entries.begin(), m_entries.end(),
                                    [icon](const auto& entry) { return entry.get() == icon; });
    return found == m_entries.end() ? -1 : static_cast<int>(found - m_entries.begin());
}

void TIconList::Insert(int index, const TPersistent* source) {
    auto icon = std::make_unique<TIcon>();
    icon->Assign(source);
    InsertOwned(index, std::move(icon));
}

void TIconList::InsertResource(int index, const QString& module, const QString& resourceName) {
    auto icon = std::make_unique<TIcon>();
    icon->LoadFromResource(module, resourceName);
    InsertOwned(index, std::move(icon));
}

void TIconList::LoadFromStream(QIODevice& stream) {
    Batched([&] {
        Clear();
        ReadRecords(stream);
    });
}

void TIconList::Move(int currentIndex, int newIndex) {
    CheckIndex(currentIndex);
    CheckIndex(newIndex);
    if (currentIndex != newIndex) {
        auto icon = std::move(m_entries[static_cast<size_t>(currentIndex)]);
        m_entries.erase(m_entries.begin() + currentIndex);
        m_entries.insert(m_entries.begin() + newIndex, std::move(icon));
    }
    Changed();
}

void TIconList::SaveToStream(QIODevice& stream) const {
    writeInt32(stream, Count());
    for (const auto& entry : m_entries) {
        if (!entry || entry->Empty()) {
            writeInt32(stream, 0);
            continue;
        }
        QBuffer scratch;
        scratch.open(QIODevice::WriteOnly);
        entry->SaveToStream(scratch);
        const QByteArray& bytes = scratch.data();
        if (bytes.size() > std::numeric_limits<qint32>::max())
            throw ComponentError(
                QStringLiteral("An icon of %1 bytes is too large to store").arg(bytes.size()));
        writeInt32(stream, static_cast<qint32>(bytes.size()));
        writeToStream(stream, bytes);
    }
}

void TIconList::BeginUpdate() {
    ++m_updateDepth;
}

void TIconList::EndUpdate() {
    --m_updateDepth;
    if (m_updateDepth == 0)
        Changed();
}

int TIconList::AppendOwned(std::unique_ptr<TIcon> icon) {
    if (icon)
        Hook(*icon);
    m_entries.push_back(std::move(icon));
    Changed();
    return Count() - 1;
}

void TIconList::InsertOwned(int index, std::unique_ptr<TIcon> icon) {
    if (index < 0 || index > Count())
        throw ComponentError::listIndexOutOfBounds(index);
    Hook(*icon);
    m_entries.insert(m_entries.begin() + index, std::move(icon));
    Changed();
}

void TIconList::Hook(TIcon& icon) {
    icon.SetOnChange([this](TIcon*) { Changed(); });
}

void TIconList::CheckIndex(int index) const {
    if (index < 0 || index >= Count())
        throw ComponentError::listIndexOutOfBounds(index);
}

void TIconList::Batched(const std::function<void()>& change) {
    BeginUpdate();
    try {
        change();
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TIconList::ReadRecords(QIODevice& stream) {
    const std::optional<qint32> count = readInt32(stream);
    if (!count)
        throw truncated(QStringLiteral("the record count is missing"));
    for (qint32 record = 0; record < *count; ++record) {
        const std::optional<qint32> length = readInt32(stream);
        if (!length)
            throw truncated(
                QStringLiteral("record %1 of %2 has no length").arg(record + 1).arg(*count));
        if (*length <= 0) {
            AppendOwned(nullptr);
            continue;
        }
        QByteArray bytes = readRecordBytes(stream, *length, record, *count);
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::ReadOnly);
        auto icon = std::make_unique<TIcon>();
        icon->LoadFromStream(buffer);
        AppendOwned(std::move(icon));
    }
}

} // namespace zumzik
