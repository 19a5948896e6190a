// Feeds arbitrary bytes to the reply-file loader and checks the lines it makes against the bytes:
// no entry holds a line break or NUL, the entries are exactly the bytes before the first NUL
// with the line breaks taken out, there is one entry per line end plus one for an unended last
// line, the entries written back as CR LF lines load again unchanged, and a draw gives an entry.

#include "Error.h"
#include "RandomGenerator.h"
#include "ReplyList.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

void require(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "reply-file loading broken: %s\n", what);
        std::abort();
    }
}

bool isLineBreak(char byte) {
    return byte == '\r' || byte == '\n';
}

// The number of lines the bytes hold, counted without the loader: LF and a CR not followed by
// LF each end a line, and text after the last line end is one more line.
std::size_t countLines(std::string_view bytes) {
    std::size_t lines = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i)
        if (bytes[i] == '\n' ||
            (bytes[i] == '\r' && (i + 1 == bytes.size() || bytes[i + 1] != '\n')))
            ++lines;
    return lines + (!bytes.empty() && !isLineBreak(bytes.back()) ? 1 : 0);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::string_view loaded = bytes.substr(0, bytes.find('\0'));

    zumzik::ReplyList list;
    list.loadFromBytes(bytes);

    std::string joined;
    std::string rewritten;
    for (const std::string& entry : list.entries()) {
        require(entry.find_first_of(std::string_view("\r\n\0", 3)) == std::string::npos,
                "an entry holds CR, LF or NUL");
        joined += entry;
        rewritten += entry + "\r\n";
    }
    std::string text;
    for (const char byte : loaded)
        if (!isLineBreak(byte))
            text += byte;
    require(joined == text, "the entries are not the bytes without their line breaks");
    require(list.count() == countLines(loaded), "one entry per line");

    zumzik::ReplyList reread;
    reread.loadFromBytes(rewritten);
    require(reread.entries() == list.entries(), "the entries as CR LF lines load the same");

    zumzik::RandomGenerator random;
    random.setSeed(static_cast<std::uint32_t>(size * 2654435761u));
    try {
        const std::string& drawn = list.DrawReply(random);
        require(&drawn >= list.entries().data() && &drawn < list.entries().data() + list.count(),
                "a draw gives an entry of the list");
    } catch (const zumzik::Error&) {
        require(list.count() == 0, "only a draw from an empty list fails");
    }
    return 0;
}
