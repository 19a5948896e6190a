#include "CaseFolding.h"
#include "Cp1251.h"

#include <gtest/gtest.h>

using zumzik::CaseFolding;
using zumzik::Cp1251;

namespace {

std::string cp(const char* utf8) {
    return Cp1251::fromUtf8(utf8);
}

TEST(Cp1251, EveryDefinedByteSurvivesTheRoundTrip) {
    for (int b = 1; b < 256; ++b) {
        if (b == 0x98)
            continue;
        const std::string byte(1, static_cast<char>(b));
        EXPECT_EQ(Cp1251::fromUtf8(Cp1251::toUtf8(byte)), byte) << "byte " << b;
    }
}

TEST(Cp1251, KnownCharactersMapToTheirBytes) {
    EXPECT_EQ(cp("АЯаяЁё"), "\xC0\xDF\xE0\xFF\xA8\xB8");
    EXPECT_EQ(cp("№€—«»"), "\xB9\x88\x97\xAB\xBB");
    EXPECT_EQ(cp("Ґґ Її Єє Іі Ўў"), "\xA5\xB4 \xAF\xBF \xAA\xBA \xB2\xB3 \xA1\xA2");
    EXPECT_EQ(Cp1251::toUtf8("\xC7\xF3\xEC\xE7\xE8\xEA"), "Зумзик");
}

TEST(Cp1251, CharactersWithoutAFormBecomeQuestionMarks) {
    EXPECT_EQ(cp("a😀b"), "a?b");        // emoji: one mark per character, not per byte
    EXPECT_EQ(cp("日本語"), "???");     // CJK
    EXPECT_EQ(cp("שלום"), "????");      // right-to-left text
    EXPECT_EQ(cp("é"), "?");            // Latin-1 letters are not in the code page
    EXPECT_EQ(cp("\xEF\xBF\xBD"), "?"); // the replacement character stays a mark
}

TEST(Cp1251, MalformedUtf8BecomesOneMarkPerByte) {
    EXPECT_EQ(Cp1251::fromUtf8("a\xFF"
                               "b"),
              "a?b");
    EXPECT_EQ(Cp1251::fromUtf8("\xD0"), "?");           // truncated sequence at the end
    EXPECT_EQ(Cp1251::fromUtf8("\xC0\xAF"), "??");      // overlong "/"
    EXPECT_EQ(Cp1251::fromUtf8("\xED\xA0\x80"), "???"); // surrogate
    EXPECT_EQ(Cp1251::fromUtf8("\xD0\x41"), "?A");      // lead byte without continuation
}

TEST(Cp1251, Utf8TextIsWellFormedThroughoutAndGoesBeyondAscii) {
    std::vector<Cp1251::Substitution> marks;
    EXPECT_EQ(Cp1251::fromUtf8Text("Ab \xD0\x96 \xE2\x82\xAC \xF4\x8F\xBF\xBF!", &marks),
              "Ab \xC6 \x88 ?!"); // Ж € U+10FFFF
    ASSERT_EQ(marks.size(), 1u);
    EXPECT_EQ(marks[0].offset, 7u);
    EXPECT_EQ(marks[0].ch, U'\U0010FFFF');
    EXPECT_EQ(Cp1251::fromUtf8Text(""), std::nullopt);
    EXPECT_EQ(Cp1251::fromUtf8Text("only ASCII, which reads the same either way\r\n"),
              std::nullopt);
    const char* const malformed[] = {
        "\xD0\x96\xD0",            // cut short at the end
        "\xE2\x82 \xD0\x96",       // cut short before a blank
        "\xC5\xF1",                // "Ес" in code page 1251: no continuation byte
        "\xB8\xD0\x96",            // "ё" in code page 1251: a continuation byte without a lead
        "\xC0\xAF \xD0\x96",       // overlong "/"
        "\xE0\x80\x80",            // overlong NUL
        "\xF0\x82\x82\xAC",        // overlong "€"
        "\xED\xA0\x80",            // surrogate
        "\xF4\x90\x80\x80",        // beyond U+10FFFF
        "\xF8\x88\x80\x80\x80 ok", // five-byte form
    };
    for (const char* bytes : malformed)
        EXPECT_EQ(Cp1251::fromUtf8Text(bytes), std::nullopt) << bytes;
}

TEST(Cp1251, OnlyCharactersOfTheCodePageHaveAByte) {
    EXPECT_EQ(Cp1251::fromUnicode(U'ё'), '\xB8');
    EXPECT_EQ(Cp1251::fromUnicode(U'€'), '\x88');
    EXPECT_EQ(Cp1251::fromUnicode(U'\0'), '\0');
    EXPECT_EQ(Cp1251::fromUnicode(U'😀'), std::nullopt);
    EXPECT_EQ(Cp1251::fromUnicode(U'é'), std::nullopt);
    EXPECT_EQ(Cp1251::fromUnicode(0xFFFD), std::nullopt);
}

TEST(Cp1251, UndefinedByteShowsAsReplacementCharacter) {
    EXPECT_EQ(Cp1251::toUtf8("\x98"), "\xEF\xBF\xBD");
}

TEST(CaseFolding, EveryLetterPairFoldsBothWays) {
    const std::pair<int, int> pairs[] = {{168, 184}, {128, 144}, {129, 131}, {138, 154},
                                         {140, 156}, {141, 157}, {142, 158}, {143, 159},
                                         {161, 162}, {163, 188}, {165, 180}, {170, 186},
                                         {175, 191}, {178, 179}, {189, 190}};
    auto check = [](int upper, int lower) {
        EXPECT_EQ(static_cast<unsigned char>(CaseFolding::toLower(char(upper))), lower) << upper;
        EXPECT_EQ(static_cast<unsigned char>(CaseFolding::toUpper(char(lower))), upper) << lower;
        EXPECT_EQ(static_cast<unsigned char>(CaseFolding::toLower(char(lower))), lower) << lower;
        EXPECT_EQ(static_cast<unsigned char>(CaseFolding::toUpper(char(upper))), upper) << upper;
    };
    for (int i = 0; i < 26; ++i)
        check('A' + i, 'a' + i);
    for (int i = 0; i < 32; ++i)
        check(192 + i, 224 + i);
    for (const auto& [upper, lower] : pairs)
        check(upper, lower);
}

TEST(CaseFolding, EveryOtherByteStaysAsItIs) {
    int changed = 0;
    for (int b = 0; b < 256; ++b) {
        const char c = static_cast<char>(b);
        changed += CaseFolding::toLower(c) != c;
        changed += CaseFolding::toUpper(c) != c;
    }
    // 26 Latin, 32 Russian, Ё and 14 more pairs, each changed once in each direction.
    EXPECT_EQ(changed, 2 * (26 + 32 + 15));
    EXPECT_EQ(CaseFolding::toLower(std::string("\0\x7F\x98\xB5 1!", 7)),
              std::string("\0\x7F\x98\xB5 1!", 7));
}

TEST(CaseFolding, WholeTexts) {
    EXPECT_EQ(CaseFolding::toLower(cp("Ёжик КАК Дела? JOHN")), cp("ёжик как дела? john"));
    EXPECT_EQ(CaseFolding::toUpper(cp("ёжик, вася & john")), cp("ЁЖИК, ВАСЯ & JOHN"));
}

} // namespace
