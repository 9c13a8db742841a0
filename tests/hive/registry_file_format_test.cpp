#include "hive/registry_file_format.h"

#include <gtest/gtest.h>

#include <string>

namespace quillrun::hive {
namespace {

const std::string kUserKey = "HKEY_CURRENT_USER\\Software\\Tandrel\\Quillrun";

TEST(RegistryFileFormat, WritesEachKindOfValueInItsOwnForm) {
    RegistryDocument document;
    RegistryFileSection& section = document.ensureSection(kUserKey);
    section.values = {
        {"sourcePath", 1, "/srv/scans \"in\" \\ \xC3\xBC"},
        {"epwd", 1, std::string("\x00\x35\x0b", 3)},
        {"logPath", 1, ""},
        {"tab", 1, "a\tb"},
        {"latin1", 1, "\xFC"},
        {"writeLog", 4, std::string("\x2a\0\0\0", 4)},
        {"short dword", 4, "\x01"},
        {"", 1, "default"},
        {"list", 7, std::string("a\0\0", 3)},
        {"binary", 3, "\xff"},
    };
    EXPECT_EQ(FormatRegistryText(document),
              "REGEDIT4\n\n"
              "[HKEY_CURRENT_USER\\Software\\Tandrel\\Quillrun]\n"
              "\"sourcePath\"=\"/srv/scans \\\"in\\\" \\\\ \xC3\xBC\"\n"
              "\"epwd\"=hex(1):00,35,0b\n"
              "\"logPath\"=\"\"\n"
              "\"tab\"=hex(1):61,09,62\n"
              "\"latin1\"=hex(1):fc\n"
              "\"writeLog\"=dword:0000002a\n"
              "\"short dword\"=hex(4):01\n"
              "@=\"default\"\n"
              "\"list\"=hex(7):61,00,00\n"
              "\"binary\"=hex(3):ff\n\n");
}

TEST(RegistryFileFormat, ReadsBackEveryByteOfWhatItWrites) {
    std::string everyByte;
    for (int c = 0; c < 256; ++c) {
        everyByte.push_back(static_cast<char>(c));
    }
    RegistryDocument document;
    document.ensureSection(kUserKey).values = {{"every byte", 1, everyByte},
                                               {"quoted \"name\" \\", 1, "x"},
                                               {"big", 0x20001, "z"},
                                               {"empty binary", 3, ""},
                                               {"dword", 4, "\xff\xff\xff\xff"}};
    document.ensureSection("HKEY_LOCAL_MACHINE\\Other").values = {{"", 1, ""}};

    const auto parsed = ParseRegistryText(FormatRegistryText(document));
    ASSERT_TRUE(parsed.has_value());
    ASSERT_EQ(parsed->sections.size(), 2u);
    for (std::size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(parsed->sections[i].keyPath, document.sections[i].keyPath);
        EXPECT_EQ(parsed->sections[i].values, document.sections[i].values);
    }
}

TEST(RegistryFileFormat, AcceptsWhatPeopleAndOtherToolsWrite) {
    const std::string text =
        "\xEF\xBB\xBF"
        "; exported by hand\r\n"
        "REGEDIT4\r\n"
        "\r\n"
        "[HKEY_CURRENT_USER\\Software\\Tandrel\\Quillrun]  \r\n"
        "  ; a comment inside a key\r\n"
        "\"a\" = \"quoted\"\r\n"
        "\"b\"=hex(1):61,\\\r\n"
        "  62, 63\r\n"
        "\"c\"=DWORD:FF\r\n"
        "\"d\"=hex:DE,ad\n"
        "[hkey_current_user\\software\\tandrel\\quillrun]\n"
        "\"A\"=\"replaced\"\n"
        "\"e\"=hex(1):";  // the last line may lack its line end
    const auto parsed = ParseRegistryText(text);
    ASSERT_TRUE(parsed.has_value());
    ASSERT_EQ(parsed->sections.size(), 1u);
    const std::vector<RegistryFileValue> expected = {{"a", 1, "replaced"},
                                                     {"b", 1, "abc"},
                                                     {"c", 4, std::string("\xff\0\0\0", 4)},
                                                     {"d", 3, "\xde\xad"},
                                                     {"e", 1, ""}};
    EXPECT_EQ(parsed->sections[0].values, expected);
    EXPECT_TRUE(parsed->hasKey("HKEY_CURRENT_USER\\SOFTWARE\\Tandrel"));
    EXPECT_FALSE(parsed->hasKey("HKEY_CURRENT_USER\\Software\\Tandrel\\Quill"));
}

TEST(RegistryFileFormat, BlankTextIsAnEmptyDocument) {
    for (const char* text : {"", "\n\r\n  \n", "REGEDIT4\n"}) {
        const auto parsed = ParseRegistryText(text);
        ASSERT_TRUE(parsed.has_value()) << text;
        EXPECT_TRUE(parsed->sections.empty());
    }
}

TEST(RegistryFileFormat, RefusesTextItCannotReadWhole) {
    const std::string header = "REGEDIT4\n\n[HKEY_CURRENT_USER\\K]\n";
    const std::vector<std::string> texts = {
        "[HKEY_CURRENT_USER\\K]\n\"a\"=\"b\"\n",  // no header
        "REGEDIT5\n",
        "REGEDIT4\n\"a\"=\"b\"\n",  // a value outside any key
        header + "\"a\"=\"cut off",
        header + "\"a\"=\"b\" trailing\n",
        header + "\"a\"=\"back\\slash\"\n",  // only \\ and \" are escapes
        header + "\"a\"=hex(1):61,6\x01\n",
        header + "\"a\"=hex(1):611\n",
        header + "\"a\"=hex(1):61,\n",
        header + "\"a\"=hex(1):61,\\\n",  // continued into nothing
        header + "\"a\"=hex(1:61\n",
        header + "\"a\"=dword:100000000\n",
        header + "\"a\"=dword:\n",
        header + "\"a\"=-\n",
        header + "\"a\"\n",
        header + "stray line\n",
        "REGEDIT4\n\n[-HKEY_CURRENT_USER\\K]\n",
        "REGEDIT4\n\n[HKEY_CURRENT_USER\\K\n",
        std::string("\x7f"
                    "ELF\x02\x01\x01\0\0\0",
                    10),
    };
    for (const std::string& text : texts) {
        EXPECT_FALSE(ParseRegistryText(text).has_value()) << text;
    }
}

}  // namespace
}  // namespace quillrun::hive
