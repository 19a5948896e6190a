#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace zumzik {

class RandomGenerator;

// An ordered list of single-line replies in code page 1251, filled once from a reply file or a
// built-in table. Order and duplicates are kept; nothing is trimmed.
class ReplyList {
public:
    ReplyList() = default;
    ReplyList(std::initializer_list<std::string> entries) : m_entries(entries) {}

    // Replaces the entries with the lines of the file, looked up by its bare name in the working
    // directory. A file that cannot be opened or read raises "Cannot open file "<full path>".
    // <system text>" and leaves the list as it was.
    void loadFromFile(const std::string& name);

    // Replaces the entries with the lines of a reply file's bytes, read as code page 1251 or as
    // UTF-8 (see ReplyFileText).
    void loadFromBytes(std::string_view bytes);

    std::size_t count() const { return m_entries.size(); }
    // The entry at the index; raises "List index out of bounds (<index>)" outside the list.
    const std::string& entry(std::size_t index) const;
    const std::vector<std::string>& entries() const { return m_entries; }

    // One entry chosen at random. It takes one step of the generator even when the list is empty,
    // and then raises the index error for index 0.
    const std::string& DrawReply(RandomGenerator& random) const;

    // The lines of code page 1251 text: CR LF, LF and CR each end a line, a line break at the
    // very end adds no line, and a NUL byte ends the text.
    static std::vector<std::string> splitLines(std::string_view bytes);

private:
    std::vector<std::string> m_entries;
};

} // namespace zumzik
