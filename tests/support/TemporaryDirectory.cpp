#include "TemporaryDirectory.h"

#include <cstdlib>
#include <fstream>
#include <stdexcept>

namespace zumzik::test {

TemporaryDirectory::TemporaryDirectory() : m_previous(std::filesystem::current_path()) {
    std::string pattern = (std::filesystem::temp_directory_path() / "zumzik-test-XXXXXX").string();
    if (!::mkdtemp(pattern.data()))
        throw std::runtime_error("cannot make a temporary directory");
    m_path = pattern;
    std::filesystem::current_path(m_path);
}

TemporaryDirectory::~TemporaryDirectory() {
    std::error_code ignored;
    std::filesystem::current_path(m_previous, ignored);
    std::filesystem::remove_all(m_path, ignored);
}

void TemporaryDirectory::write(const std::string& name, std::string_view bytes) const {
    std::ofstream file(m_path / name, std::ios::binary);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!file)
        throw std::runtime_error("cannot write " + name);
}

} // namespace zumzik::test
