#pragma once

#include <string>
#include <vector>

namespace zumzik::test {

// Runs a program to its end with the given standard input, and collects what it printed.
struct Subprocess {
    struct Result {
        int exitStatus = -1; // -1 when it did not exit normally
        std::string out;
        std::string err;
    };

    static Result run(const std::vector<std::string>& argv, const std::string& input,
                      const std::string& workingDirectory = {});
};

} // namespace zumzik::test
