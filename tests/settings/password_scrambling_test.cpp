#include "settings/password_scrambling.h"

#include <gtest/gtest.h>

#include <string>

namespace quillrun {
namespace {

TEST(PasswordScrambling, CombinesEachByteWithTheKeyRepeatedAlongTheText) {
    struct Case {
        std::string text;
        std::string scrambled;
    };
    const Case cases[] = {
        {"", ""},
        {"secret", "\x11\x31\x1b\x45\x34\x57"},
        // The key's own characters give zero bytes, which must not end the text.
        {"bTx7Q#m4w", std::string(9, '\0')},
        // The tenth character meets the key's first character again.
        {"bTx7Q#m4wbT", std::string(11, '\0')},
        {"aaaaaaaaaaa", "\x03\x35\x19\x56\x30\x42\x0c\x55\x16\x03\x35"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ScrambleText(c.text, g_scrambleKey), c.scrambled) << c.text;
        EXPECT_EQ(ScrambleText(c.scrambled, g_scrambleKey), c.text) << c.text;
    }
}

TEST(PasswordScrambling, EveryByteValueComesBack) {
    std::string everyByte;
    for (int round = 0; round < 3; ++round) {
        for (int c = 0; c < 256; ++c) {
            everyByte.push_back(static_cast<char>(c));
        }
    }
    const std::string scrambled = ScrambleText(everyByte, g_scrambleKey);
    EXPECT_EQ(scrambled.size(), everyByte.size());
    EXPECT_EQ(ScrambleText(scrambled, g_scrambleKey), everyByte);
}

}  // namespace
}  // namespace quillrun
