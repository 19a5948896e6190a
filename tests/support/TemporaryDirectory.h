#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace zumzik::test {

// A fresh directory that is the working directory for the object's lifetime, removed afterwards.
class TemporaryDirectory {
public:
    TemporaryDirectory();
    ~TemporaryDirectory();
    TemporaryDirectory(const TemporaryDirectory&) = delete;
    TemporaryDirectory& operator=(const TemporaryDirectory&) = delete;

    const std::filesystem::path& path() const { return m_path; }
    void write(const std::string& name, std::string_view bytes) const;

private:
    std::filesystem::path m_path;
    std::filesystem::path m_previous;
};

} // namespace zumzik::test
