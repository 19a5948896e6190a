// zumzik-replycheck: finds what the program would show wrongly in the reply files of a folder,
// and with --fix converts UTF-8 text in them to code page 1251, for older copies of the program.

#include "ReplyFileChecker.h"

#include <cerrno>
#include <charconv>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>

namespace {

constexpr const char* kUsage = "usage: zumzik-replycheck [--fix] [--min-replies N] [FOLDER]";
constexpr const char* kHelp =
    "Checks the twelve reply files in FOLDER (default: the current directory) and prints\n"
    "one finding a line. Exit status: 0 all is well, 1 findings, 2 usage error or a report\n"
    "that could not be written.\n"
    "  --fix            convert UTF-8 text to code page 1251 first, for older programs\n"
    "  --min-replies N  also report files with fewer than N replies";

struct Arguments {
    bool fix = false;
    bool help = false;
    std::size_t minReplies = 0;
    std::filesystem::path folder = ".";
};

std::optional<std::size_t> parseCount(std::string_view text) {
    std::size_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

std::optional<Arguments> parse(int argc, char* argv[]) {
    Arguments arguments;
    bool folderGiven = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "--fix") {
            arguments.fix = true;
        } else if (argument == "--help" || argument == "-h") {
            arguments.help = true;
        } else if (argument == "--min-replies") {
            const auto count = i + 1 < argc ? parseCount(argv[++i]) : std::nullopt;
            if (!count)
                return std::nullopt;
            arguments.minReplies = *count;
        } else if (argument.starts_with("-") || folderGiven) {
            return std::nullopt;
        } else {
            arguments.folder = argument;
            folderGiven = true;
        }
    }
    return arguments;
}

// A report that did not reach its reader must not pass for one that did: after --fix it is the
// only word of which files were converted.
int finish(int status) {
    std::cout.flush();
    if (std::cout)
        return status;
    std::cerr << "zumzik-replycheck: cannot write to standard output: " << std::strerror(errno)
              << std::endl;
    return 2;
}

} // namespace

int main(int argc, char* argv[]) {
    const std::optional<Arguments> arguments = parse(argc, argv);
    if (!arguments) {
        std::cerr << kUsage << std::endl;
        return 2;
    }
    if (arguments->help) {
        std::cout << kUsage << '\n' << kHelp << '\n';
        return finish(0);
    }
    std::error_code error;
    if (!std::filesystem::is_directory(arguments->folder, error)) {
        std::cerr << "zumzik-replycheck: " << arguments->folder.string() << " is not a folder"
                  << std::endl;
        return 2;
    }

    const zumzik::ReplyFileChecker checker(arguments->minReplies);
    const auto report = checker.checkFolder(arguments->folder, arguments->fix);
    for (const std::string& file : report.converted)
        std::cout << file << ": converted from UTF-8 to code page 1251\n";
    for (const auto& finding : report.findings)
        std::cout << finding.text() << '\n';
    return finish(report.findings.empty() ? 0 : 1);
}
