// zumzik-chat: the conversation in a terminal. It runs the creation steps in the current directory,
// prints the reply line, and then, for every line of standard input, submits that line as if it
// stood in the input field and Enter was pressed, printing the reply line as it stands afterwards.

#include "ChatOptions.h"
#include "Conversation.h"
#include "Cp1251.h"
#include "ErrorBoxText.h"
#include "MemoryChatView.h"
#include "OverridableClock.h"
#include "RandomGenerator.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include <iostream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

// What the window would show in its error box goes to stderr, one line each; the session goes on.
void report(const std::exception& error) {
    std::string text = zumzik::errorBoxText(error.what());
    for (char& c : text)
        if (c == '\n' || c == '\r')
            c = ' ';
    std::cerr << text << std::endl;
}

// Whether standard output took everything so far; when it did not, the session is over, for
// its reader would miss the replies, and says so.
bool outputWritten() {
    std::cout.flush();
    if (std::cout)
        return true;
    std::cerr << "zumzik-chat: cannot write to standard output: " << std::strerror(errno)
              << std::endl;
    return false;
}

bool printReplyLine(const zumzik::MemoryChatView& view) {
    std::cout << zumzik::Cp1251::toUtf8(view.replyLine()) << '\n';
    return outputWritten();
}

} // namespace

int main(int argc, char* argv[]) {
    std::ios::sync_with_stdio(false);
    const auto options =
        zumzik::ChatOptions::parse(std::vector<std::string>(argv + 1, argv + argc));
    if (!options) {
        std::cerr << zumzik::ChatOptions::usage() << std::endl;
        return 2;
    }
    if (options->help) {
        std::cout << zumzik::ChatOptions::usage() << '\n';
        return outputWritten() ? 0 : 1;
    }

    zumzik::OverridableClock clock(*options);
    zumzik::RandomGenerator random;
    zumzik::MemoryChatView view;
    zumzik::Conversation conversation(view, random, clock);
    try {
        conversation.FormCreate();
    } catch (const std::exception& error) {
        report(error);
    }
    if (!printReplyLine(view))
        return 1;

    const bool interactive = ::isatty(STDIN_FILENO) != 0;
    std::string line;
    for (;;) {
        if (interactive)
            std::cout << "> " << std::flush;
        if (!std::getline(std::cin, line))
            break;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        view.setInputText(zumzik::Cp1251::fromUtf8(line));
        try {
            conversation.Edit1KeyPress('\r');
        } catch (const std::exception& error) {
            report(error);
        }
        if (!printReplyLine(view))
            return 1;
    }
    // A read error ends the input as its end does, but the session did not get all of it.
    if (std::cin.bad()) {
        std::cerr << "zumzik-chat: cannot read standard input" << std::endl;
        return 1;
    }
    if (interactive)
        std::cout << '\n';
    return outputWritten() ? 0 : 1;
}
