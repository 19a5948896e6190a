// Feeds arbitrary bytes to the reply-file loader and checks what it makes of them.
// The text: bytes that are not UTF-8 are taken exactly as they stand; bytes that are (by the mark
// or by being well-formed with a character beyond ASCII) are converted, and the converted text
// encoded again gives the bytes back, every "?" put in standing where a character beyond ASCII
// stood; line ends and NUL bytes stay as they were either way.
// The lines: no entry holds a line break or NUL, the entries are exactly the text before the
// first NUL with the line breaks taken out, there is one entry per line end plus one for an
// unended last line, the entries written back as CR LF lines split again unchanged, and a draw
// gives an entry.

#include "Cp1251.h"
#include "Error.h"
#include "RandomGenerator.h"
#include "ReplyFileText.h"
#include "ReplyList.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

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

// The line ends and NUL bytes of the bytes, in order.
std::string structure(std::string_view bytes) {
    std::string kept;
    for (const char byte : bytes)
        if (isLineBreak(byte) || byte == '\0')
            kept += byte;
    return kept;
}

// How many bytes UTF-8 takes for the character.
std::size_t utf8Length(char32_t ch) {
    return ch < 0x80 ? 1 : ch < 0x800 ? 2 : ch < 0x10000 ? 3 : 4;
}

// Whether the converted text, encoded again, is the UTF-8 text: each kept byte its character,
// and each "?" put in for a character the bytes of a character beyond ASCII.
bool convertedFaithfully(const zumzik::ReplyFileText& text, std::string_view utf8) {
    std::size_t at = 0;
    std::size_t next = 0;
    const auto& substitutions = text.substitutions();
    for (std::size_t i = 0; i < text.cp1251().size(); ++i) {
        if (next < substitutions.size() && substitutions[next].offset == i) {
            const std::size_t length = utf8Length(substitutions[next++].ch);
            if (at + length > utf8.size() || static_cast<unsigned char>(utf8[at]) < 0x80)
                return false;
            at += length;
        } else {
            const std::string back = zumzik::Cp1251::toUtf8(text.cp1251().substr(i, 1));
            if (utf8.substr(at, back.size()) != back)
                return false;
            at += back.size();
        }
    }
    return next == substitutions.size() && at == utf8.size();
}

void checkText(std::string_view bytes, const zumzik::ReplyFileText& text) {
    const bool marked = bytes.starts_with(kByteOrderMark);
    const std::string_view body = marked ? bytes.substr(kByteOrderMark.size()) : bytes;
    require(text.isUtf8() || !marked, "a file with the byte order mark is not read as UTF-8");
    if (!text.isUtf8()) {
        require(text.cp1251() == bytes, "a code page 1251 file is not read as it stands");
        // Well-formed UTF-8 whose characters the code page has survives the way there and back.
        const bool beyondAscii = std::any_of(body.begin(), body.end(), [](char byte) {
            return static_cast<unsigned char>(byte) >= 0x80;
        });
        require(!beyondAscii || zumzik::Cp1251::toUtf8(zumzik::Cp1251::fromUtf8(body)) != body,
                "a UTF-8 file is read as code page 1251");
    }
    require(structure(text.cp1251()) == structure(body), "line ends or NUL bytes moved");
    if (marked)
        require(text.cp1251() == zumzik::Cp1251::fromUtf8(body),
                "a file with the byte order mark is not converted after the mark");
    else if (text.isUtf8())
        require(convertedFaithfully(text, body), "the converted text is not the UTF-8 file's text");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const zumzik::ReplyFileText text{std::string(bytes)};
    checkText(bytes, text);
    const std::string_view decoded = text.cp1251();
    const std::string_view loaded = decoded.substr(0, decoded.find('\0'));

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
    std::string lineText;
    for (const char byte : loaded)
        if (!isLineBreak(byte))
            lineText += byte;
    require(joined == lineText, "the entries are not the text without its line breaks");
    require(list.count() == countLines(loaded), "one entry per line");
    require(zumzik::ReplyList::splitLines(rewritten) == list.entries(),
            "the entries as CR LF lines split the same");

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
