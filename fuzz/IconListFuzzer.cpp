// Feeds arbitrary bytes to the icon list's stored-form reader, then checks that what the list
// writes back is consistent: it reads again without error into the same entries and writes the
// same bytes, and a read that succeeded writes back exactly as many bytes as it consumed.

#include "ComponentError.h"
#include "TIconList.h"

#include <QBuffer>
#include <QByteArray>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

void require(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "icon list round trip broken: %s\n", what);
        std::abort();
    }
}

QByteArray saved(const zumzik::TIconList& list) {
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    list.SaveToStream(out);
    return out.data();
}

// Whether the entry is stored as a record of length 0.
bool storedEmpty(const zumzik::TIconList& list, int index) {
    const zumzik::TIcon* icon = list.Icons(index);
    return !icon || icon->Empty();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    QByteArray input =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QBuffer stream(&input);
    stream.open(QIODevice::ReadOnly);

    zumzik::TIconList list;
    int notifications = 0;
    list.SetOnChange([&](zumzik::TIconList*) { ++notifications; });
    bool whole = true;
    try {
        list.LoadFromStream(stream);
    } catch (const zumzik::ComponentError&) {
        whole = false;
    }
    require(notifications == 1, "a read notifies exactly once");

    const QByteArray written = saved(list);
    if (whole)
        require(written.size() == stream.pos(), "a whole read writes back what it consumed");

    QByteArray copy = written;
    QBuffer again(&copy);
    again.open(QIODevice::ReadOnly);
    zumzik::TIconList reread;
    try {
        reread.LoadFromStream(again);
    } catch (const zumzik::ComponentError&) {
        require(false, "what the list writes reads again");
    }
    require(again.atEnd(), "the rereading consumes all that was written");
    require(reread.Count() == list.Count(), "the same number of entries");
    for (int index = 0; index < list.Count(); ++index)
        require(storedEmpty(reread, index) == storedEmpty(list, index), "the same empty entries");
    require(saved(reread) == written, "writing again gives the same bytes");
    return 0;
}
