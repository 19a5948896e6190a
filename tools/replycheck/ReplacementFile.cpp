#include "ReplacementFile.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

namespace zumzik {

ReplacementFile::ReplacementFile(std::filesystem::path target) : m_target(std::move(target)) {
    // mkostemp opens with O_CREAT | O_EXCL, which refuses any name that exists, a link included;
    // O_NOFOLLOW says so once more.
    std::string name = m_target.string() + ".replycheck-XXXXXX";
    std::vector<char> pattern(name.begin(), name.end());
    pattern.push_back('\0');
    m_fd = ::mkostemp(pattern.data(), O_CLOEXEC | O_NOFOLLOW);
    if (m_fd < 0)
        fail("cannot create a temporary file beside it");
    else
        m_temporary = pattern.data();
}

ReplacementFile::~ReplacementFile() {
    if (m_fd >= 0)
        ::close(m_fd);
    if (!m_temporary.empty())
        ::unlink(m_temporary.c_str());
}

bool ReplacementFile::commit(std::string_view bytes) {
    if (m_fd < 0)
        return false;
    struct stat original {};
    if (::stat(m_target.c_str(), &original) != 0)
        return fail("cannot read its mode");
    if (!writeAll(bytes) || !takeOverAttributes(original))
        return false;
    if (::fsync(m_fd) != 0)
        return fail("cannot flush it to disk");
    const int fd = m_fd;
    m_fd = -1;
    if (::close(fd) != 0)
        return fail("cannot write it");
    if (::rename(m_temporary.c_str(), m_target.c_str()) != 0)
        return fail("cannot rename the temporary file over it");
    m_temporary.clear();

    // The rename reaches the disk with the folder. Should the folder not flush, a crash leaves the
    // old file or the new one, either of them whole, so that is no failure.
    const std::filesystem::path folder = m_target.parent_path();
    const int folderFd =
        ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folderFd >= 0) {
        ::fsync(folderFd);
        ::close(folderFd);
    }
    return true;
}

bool ReplacementFile::writeAll(std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(m_fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return fail("cannot write it");
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

bool ReplacementFile::takeOverAttributes(const struct stat& original) {
    // Only root may give a file away: for anyone else the file becomes theirs, as with any editor
    // that saves by renaming, and the owner bits of the mode apply to them.
    struct stat temporary {};
    if (::fstat(m_fd, &temporary) != 0)
        return fail("cannot write it");
    if ((temporary.st_uid != original.st_uid || temporary.st_gid != original.st_gid) &&
        ::fchown(m_fd, original.st_uid, original.st_gid) != 0 && errno != EPERM)
        return fail("cannot give it the file's owner");
    if (::fchmod(m_fd, original.st_mode & 07777) != 0)
        return fail("cannot give it the file's mode");
    return true;
}

bool ReplacementFile::fail(const std::string& what) {
    m_error = what + ": " + std::strerror(errno);
    return false;
}

} // namespace zumzik
