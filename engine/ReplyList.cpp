#include "ReplyList.h"

#include "Error.h"
#include "RandomGenerator.h"
#include "ReplyFileText.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace zumzik {
namespace {

// The system's text for an error number, without trailing line breaks, blanks and full stops.
std::string systemErrorText(int error) {
    std::string text = std::strerror(error);
    while (!text.empty() &&
           (text.back() == '\n' || text.back() == '\r' || text.back() == ' ' || text.back() == '.'))
        text.pop_back();
    return text;
}

std::string fullPath(const std::string& name) {
    std::error_code ignored;
    const std::filesystem::path cwd = std::filesystem::current_path(ignored);
    return cwd.empty() ? name : (cwd / name).string();
}

[[noreturn]] void raiseOpenError(const std::string& name, int error) {
    throw Error("Cannot open file \"" + fullPath(name) + "\". " + systemErrorText(error));
}

// Closes the descriptor however reading ends.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : m_fd(fd) {}
    ~FileDescriptor() {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return m_fd; }

private:
    int m_fd;
};

std::string readWholeFile(const std::string& name) {
    // Non-blocking, so that a pipe or device lying under a reply file's name cannot hang the open.
    FileDescriptor file(::open(name.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (file.get() < 0)
        raiseOpenError(name, errno);
    struct stat info {};
    if (::fstat(file.get(), &info) != 0)
        raiseOpenError(name, errno);
    if (S_ISDIR(info.st_mode))
        raiseOpenError(name, EISDIR);
    if (!S_ISREG(info.st_mode))
        raiseOpenError(name, EINVAL);

    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(info.st_size));
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(file.get(), buffer, sizeof buffer);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            raiseOpenError(name, errno);
        }
        if (got == 0)
            return bytes;
        bytes.append(buffer, static_cast<std::size_t>(got));
    }
}

} // namespace

std::vector<std::string> ReplyList::splitLines(std::string_view bytes) {
    const std::size_t end = std::min(bytes.find('\0'), bytes.size());
    std::vector<std::string> lines;
    std::size_t pos = 0;
    while (pos < end) {
        std::size_t stop = pos;
        while (stop < end && bytes[stop] != '\r' && bytes[stop] != '\n')
            ++stop;
        lines.emplace_back(bytes.substr(pos, stop - pos));
        pos = stop;
        if (pos < end && bytes[pos] == '\r')
            ++pos;
        if (pos < end && bytes[pos] == '\n')
            ++pos;
    }
    return lines;
}

void ReplyList::loadFromFile(const std::string& name) {
    m_entries = splitLines(ReplyFileText(readWholeFile(name)).cp1251());
}

void ReplyList::loadFromBytes(std::string_view bytes) {
    m_entries = splitLines(ReplyFileText(std::string(bytes)).cp1251());
}

const std::string& ReplyList::entry(std::size_t index) const {
    if (index >= m_entries.size())
        throw Error::listIndexOutOfBounds(static_cast<long long>(index));
    return m_entries[index];
}

const std::string& ReplyList::DrawReply(RandomGenerator& random) const {
    return entry(random.randomBelow(static_cast<std::uint32_t>(m_entries.size())));
}

} // namespace zumzik
