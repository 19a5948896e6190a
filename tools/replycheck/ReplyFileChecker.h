#pragma once

#include "ReplyFileEncoding.h"

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace zumzik {

// Checks the twelve reply files of a folder for what the program would show wrongly: characters
// that come out as "?" or garbled, files it cannot load, and replies that come out empty, cut off
// or twice. With fixing on, it first converts UTF-8 text to code page 1251 where every character
// has a byte, for older copies of the program, which read code page 1251 only.
class ReplyFileChecker {
public:
    // What fits on the reply line; longer replies are cut off.
    static constexpr std::size_t kReplyLineWidth = 80;

    struct Finding {
        std::string file;
        std::size_t line = 0; // counted from 1; 0 for the file as a whole
        std::string message;

        // "file:line: message", or "file: message" for the whole file.
        std::string text() const;
    };

    struct Report {
        std::vector<std::string> converted; // files that were converted from UTF-8
        std::vector<Finding> findings;      // what is still wrong, file by file in load order
    };

    // minReplies: a file with fewer replies is a finding; 0 asks only for one reply.
    explicit ReplyFileChecker(std::size_t minReplies = 0) : m_minReplies(minReplies) {}

    Report checkFolder(const std::filesystem::path& folder, bool fix) const;

    // The findings for one file's bytes, ordered by line.
    std::vector<Finding> checkBytes(const std::string& file, std::string_view bytes) const;

private:
    void checkFile(const std::filesystem::path& folder, const std::string& file, bool fix,
                   Report& report) const;
    void checkEncoding(const std::string& file, const ReplyFileEncoding& text,
                       std::vector<Finding>& findings) const;
    void checkReplies(const std::string& file, std::string_view cp1251,
                      std::vector<Finding>& findings) const;

    std::size_t m_minReplies;
};

} // namespace zumzik
