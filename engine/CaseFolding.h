#pragma once

#include <string>
#include <string_view>

namespace zumzik {

// Lower- and upper-casing of code page 1251 text by its letter pairs: the Latin letters, the
// Russian alphabet with Ё, and the Serbian, Macedonian, Ukrainian and Belarusian letters of the
// code page. Every other byte stays as it is.
class CaseFolding {
public:
    static std::string toLower(std::string_view cp1251);
    static std::string toUpper(std::string_view cp1251);

    static char toLower(char c);
    static char toUpper(char c);
};

} // namespace zumzik
