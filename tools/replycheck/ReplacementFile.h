#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <sys/stat.h>

namespace zumzik {

// New contents for a file, put in its place whole or not at all. They go to a temporary file of a
// unique name beside it, created afresh, so that neither a link planted under that name nor a
// second run at the same time can be written through; it gets the file's mode and owner on the
// open file, reaches the disk before it is renamed over the file, and the folder's new entry
// after. A crash or a full disk thus leaves the old file or the new one, never a part.
class ReplacementFile {
public:
    // Starts replacing target, a regular file (a link's target, not the link).
    explicit ReplacementFile(std::filesystem::path target);
    // Removes the temporary file unless it took the target's place.
    ~ReplacementFile();
    ReplacementFile(const ReplacementFile&) = delete;
    ReplacementFile& operator=(const ReplacementFile&) = delete;

    // Writes bytes and puts them in the target's place. False, with error() saying why, when
    // anything failed; the target is then untouched.
    bool commit(std::string_view bytes);
    const std::string& error() const { return m_error; }

private:
    bool writeAll(std::string_view bytes);
    bool takeOverAttributes(const struct stat& original);
    bool fail(const std::string& what);

    std::filesystem::path m_target;
    std::string m_temporary; // empty once renamed or removed
    int m_fd = -1;
    std::string m_error;
};

} // namespace zumzik
