#include "ReplyFileChecker.h"

#include "ReplacementFile.h"
#include "ReplyList.h"
#include "ReplyLists.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>

namespace zumzik {
namespace {

namespace fs = std::filesystem;

// Where the program stops: the open error ends the loading of all the files after it.
constexpr const char* kStopsLoading = "; the program would stop loading reply files here";

std::string codePoint(char32_t ch) {
    char text[16];
    std::snprintf(text, sizeof text, "U+%04X", static_cast<unsigned>(ch));
    return text;
}

std::string codePoints(const std::vector<char32_t>& characters) {
    std::string text;
    for (const char32_t ch : characters) {
        const std::string name = codePoint(ch);
        if (text.find(name) == std::string::npos)
            text += (text.empty() ? "" : ", ") + name;
    }
    return text;
}

// "4", or "1-3, 7" for the line numbers in ascending order.
std::string lineRanges(const std::vector<std::size_t>& numbers) {
    std::string text;
    for (std::size_t i = 0; i < numbers.size();) {
        std::size_t last = i;
        while (last + 1 < numbers.size() && numbers[last + 1] == numbers[last] + 1)
            ++last;
        text += (text.empty() ? "" : ", ") + std::to_string(numbers[i]) +
                (last > i ? "-" + std::to_string(numbers[last]) : std::string());
        i = last + 1;
    }
    return text;
}

std::size_t lineNumberAt(std::string_view bytes, std::size_t offset) {
    std::size_t number = 1;
    for (std::size_t i = 0; i < offset; ++i)
        number += ReplyFileEncoding::endsLine(bytes, i) ? 1 : 0;
    return number;
}

bool isBlank(std::string_view reply) {
    return reply.find_first_not_of(" \t") == std::string_view::npos;
}

// The reply line takes "&" as the mark of a keyboard shortcut and shows "&&" as one "&".
bool hasLoneAmpersand(std::string_view reply) {
    for (std::size_t i = reply.find('&'); i != std::string_view::npos; i = reply.find('&', i + 2))
        if (i + 1 == reply.size() || reply[i + 1] != '&')
            return true;
    return false;
}

std::optional<std::string> readFile(const fs::path& path, std::string& error) {
    std::ifstream file(path, std::ios::binary);
    if (file) {
        std::string bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
        if (!file.bad())
            return bytes;
    }
    error = std::strerror(errno);
    return std::nullopt;
}

// A link is followed: the file it names is converted and the link stays.
bool replaceFile(const fs::path& path, std::string_view bytes, std::string& error) {
    std::error_code code;
    const fs::path target = fs::canonical(path, code);
    if (code) {
        error = code.message();
        return false;
    }
    ReplacementFile file(target);
    if (file.commit(bytes))
        return true;
    error = file.error();
    return false;
}

} // namespace

std::string ReplyFileChecker::Finding::text() const {
    return file + (line > 0 ? ":" + std::to_string(line) : std::string()) + ": " + message;
}

ReplyFileChecker::Report ReplyFileChecker::checkFolder(const fs::path& folder, bool fix) const {
    Report report;
    ReplyLists lists;
    for (const auto& [file, list] : lists.files())
        checkFile(folder, file, fix, report);
    return report;
}

void ReplyFileChecker::checkFile(const fs::path& folder, const std::string& file, bool fix,
                                 Report& report) const {
    const fs::path path = folder / file;
    const auto problem = [&](const std::string& message) {
        report.findings.push_back({file, 0, message});
    };
    std::error_code code;
    const fs::file_status status = fs::status(path, code);
    if (status.type() == fs::file_type::not_found)
        return problem(std::string("missing") + kStopsLoading);
    if (status.type() != fs::file_type::regular)
        return problem(std::string("not a regular file") + kStopsLoading);

    std::string error;
    std::optional<std::string> bytes = readFile(path, error);
    if (!bytes)
        return problem("cannot be read: " + error + kStopsLoading);

    const ReplyFileEncoding text(*bytes);
    if (fix && text.needsConverting()) {
        if (!text.convertible())
            problem("not converted, as code page 1251 lacks characters on the lines named here");
        else if (!replaceFile(path, text.cp1251(), error))
            problem("not converted, as it cannot be written: " + error);
        else {
            report.converted.push_back(file);
            bytes = text.cp1251();
        }
    }
    const std::vector<Finding> found = checkBytes(file, *bytes);
    report.findings.insert(report.findings.end(), found.begin(), found.end());
}

std::vector<ReplyFileChecker::Finding> ReplyFileChecker::checkBytes(const std::string& file,
                                                                    std::string_view bytes) const {
    std::vector<Finding> findings;
    const ReplyFileEncoding text(bytes);
    checkEncoding(file, text, findings);
    checkReplies(file, text.cp1251(), findings);
    std::stable_sort(findings.begin(), findings.end(),
                     [](const Finding& a, const Finding& b) { return a.line < b.line; });
    return findings;
}

void ReplyFileChecker::checkEncoding(const std::string& file, const ReplyFileEncoding& text,
                                     std::vector<Finding>& findings) const {
    if (text.isUtf8()) {
        for (const ReplyFileEncoding::Line& line : text.utf8Lines())
            findings.push_back({file, line.number,
                                "the program shows \"?\" for " + codePoints(line.missing) +
                                    ", which code page 1251 lacks"});
        return;
    }
    // UTF-8 lines in a code page 1251 file are one finding, not one for each line; only the
    // lines that need a hand are named one by one.
    std::vector<std::size_t> convertible;
    for (const ReplyFileEncoding::Line& line : text.utf8Lines()) {
        if (line.missing.empty())
            convertible.push_back(line.number);
        else
            findings.push_back({file, line.number,
                                "text is UTF-8 with " + codePoints(line.missing) +
                                    ", which code page 1251 lacks; replace it by hand"});
    }
    if (convertible.size() == 1)
        findings.push_back({file, convertible.front(),
                            "text is UTF-8 in a code page 1251 file, which the program would "
                            "show garbled; --fix converts it"});
    else if (!convertible.empty())
        findings.push_back({file, convertible.front(),
                            "text is UTF-8 on lines " + lineRanges(convertible) +
                                " of a code page 1251 file, which the program would show "
                                "garbled; --fix converts them"});
}

// The replies are judged as they will read once the file is in code page 1251, so that a
// UTF-8 file is not also blamed for its byte count.
void ReplyFileChecker::checkReplies(const std::string& file, std::string_view cp1251,
                                    std::vector<Finding>& findings) const {
    const std::size_t nul = cp1251.find('\0');
    if (nul != std::string_view::npos)
        findings.push_back(
            {file, lineNumberAt(cp1251, nul), "NUL byte; the program ignores everything after it"});

    const std::vector<std::string> replies = ReplyList::splitLines(cp1251);
    if (replies.empty())
        findings.push_back(
            {file, 0, "no replies; the bot would fail with \"List index out of bounds (0)\""});
    else if (replies.size() < m_minReplies)
        findings.push_back({file, 0,
                            "only " + std::to_string(replies.size()) +
                                (replies.size() == 1 ? " reply, " : " replies, ") +
                                std::to_string(m_minReplies) + " wanted"});

    std::map<std::string_view, std::size_t> firstLine;
    for (std::size_t i = 0; i < replies.size(); ++i) {
        const std::string& reply = replies[i];
        const std::size_t number = i + 1;
        if (isBlank(reply))
            findings.push_back({file, number, "empty line; the bot would show an empty reply"});
        else if (reply.size() > kReplyLineWidth)
            findings.push_back({file, number,
                                "reply is " + std::to_string(reply.size()) +
                                    " characters long; only " + std::to_string(kReplyLineWidth) +
                                    " fit on the reply line"});
        if (hasLoneAmpersand(reply))
            findings.push_back({file, number,
                                "a single & is not shown (it underlines the next character); "
                                "write && to show one"});
        const auto [first, isNew] = firstLine.emplace(reply, number);
        if (!isNew && !isBlank(reply))
            findings.push_back(
                {file, number, "same reply as line " + std::to_string(first->second)});
    }
}

} // namespace zumzik
