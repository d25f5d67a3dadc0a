#include "SystemTestSupport.h"
#include "framework/Tarvex.h"
#include "system/Tvx_ExternalRegistry.h"
#include "runtime/Text.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <set>
#include <vector>

using runtime::Variant;

namespace {

using Bytes = std::vector<BYTE>;

// Works in a scratch key of its own under HKEY_CURRENT_USER, deleted first and last, and reads
// what was stored with the system's own functions.
class RegistryTest : public testing::Test {
protected:
    void SetUp() override { RegDeleteTreeW(HKEY_CURRENT_USER, Wide().c_str()); }
    void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, Wide().c_str()); }

    // The registry path as the class takes it.
    std::string Path(const std::string& below = "") const {
        return "HKEY_CURRENT_USER\\" + base_ + (below.empty() ? "" : "\\" + below);
    }
    std::wstring Wide(const std::string& below = "") const {
        return runtime::Widen(base_ + (below.empty() ? "" : "\\" + below));
    }

    bool KeyExists(const std::string& below = "") const {
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, Wide(below).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
            return false;
        }
        RegCloseKey(key);
        return true;
    }

    void CreateKey(const std::string& below) const {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, Wide(below).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                                  nullptr),
                  ERROR_SUCCESS);
        RegCloseKey(key);
    }

    void SetWide(const std::string& below, const std::wstring& name, DWORD type, const void* data, DWORD size) const {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, Wide(below).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                                  nullptr),
                  ERROR_SUCCESS);
        EXPECT_EQ(RegSetValueExW(key, name.c_str(), 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS);
        RegCloseKey(key);
    }

    void SetText(const std::string& below, const std::wstring& name, const std::wstring& text) const {
        SetWide(below, name, REG_SZ, text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    }

    // The stored bytes and type as the ANSI function hands them out; false when there is no value.
    bool RawAnsi(const std::string& below, const std::string& name, DWORD& type, Bytes& bytes) const {
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, Wide(below).c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) {
            return false;
        }
        DWORD size = 0;
        LSTATUS status = RegQueryValueExA(key, runtime::ToAnsi(name).c_str(), nullptr, &type, nullptr, &size);
        bytes.assign(size, 0xCC);
        if (status == ERROR_SUCCESS) {
            status = RegQueryValueExA(key, runtime::ToAnsi(name).c_str(), nullptr, &type, bytes.data(), &size);
        }
        RegCloseKey(key);
        return status == ERROR_SUCCESS;
    }

    // The same through the wide function: texts as the system keeps them, in UTF-16.
    bool RawWide(const std::string& below, const std::string& name, DWORD& type, Bytes& bytes) const {
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, Wide(below).c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) {
            return false;
        }
        DWORD size = 0;
        LSTATUS status = RegQueryValueExW(key, runtime::Widen(name).c_str(), nullptr, &type, nullptr, &size);
        bytes.assign(size, 0xCC);
        if (status == ERROR_SUCCESS) {
            status = RegQueryValueExW(key, runtime::Widen(name).c_str(), nullptr, &type, bytes.data(), &size);
        }
        RegCloseKey(key);
        return status == ERROR_SUCCESS;
    }

    bool Write(const std::string& below, const std::string& name, Variant value, std::string type) {
        return registry_.WriteValue(Path(below), name, value, type);
    }

    Tarvex root_;
    Tvx_ExternalRegistry& registry_ = *root_.ExternalRegistry();
    const std::string base_ = "Software\\TvxSystemTest " + systemtest::UniqueName("Registry");
};

Bytes Utf16(const std::wstring& text, size_t characters) {
    const auto* first = reinterpret_cast<const BYTE*>(text.data());
    return Bytes(first, first + characters * sizeof(wchar_t));
}

} // namespace

TEST_F(RegistryTest, TextValueIsStoredWithTwoZeroBytesAndTheCallerSeesTheZeroCharacter) {
    Variant value = "abc";
    std::string type = "reg_sz";
    ASSERT_TRUE(registry_.WriteValue(Path("Values"), "Comments", value, type));
    EXPECT_EQ(value.ToString(), std::string("abc\0", 4));
    EXPECT_EQ(type, "REG_SZ");
    DWORD storedType = 0;
    Bytes bytes;
    ASSERT_TRUE(RawAnsi("Values", "Comments", storedType, bytes));
    EXPECT_EQ(storedType, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(bytes, (Bytes{'a', 'b', 'c', 0, 0}));
    ASSERT_TRUE(RawWide("Values", "Comments", storedType, bytes));
    EXPECT_EQ(bytes, Utf16(std::wstring(L"abc\0\0", 5), 5));
}

TEST_F(RegistryTest, TextsCrossInTheAnsiCodePage) {
    ASSERT_TRUE(Write("Values", "DisplayName", "Tarvex für Microsoft Word 2003 (Version 11)", "REG_SZ"));
    DWORD type = 0;
    Bytes bytes;
    ASSERT_TRUE(RawWide("Values", "DisplayName", type, bytes));
    const std::wstring expected = std::wstring(L"Tarvex f\u00fcr Microsoft Word 2003 (Version 11)") + L'\0' + L'\0';
    EXPECT_EQ(bytes, Utf16(expected, expected.size()));
    ASSERT_TRUE(Write("Values", "Größe", "1", "REG_BINARY"));
    EXPECT_TRUE(RawWide("Values", "Größe", type, bytes));
}

// A character the ANSI code page lacks stays itself in key paths, value names and texts: a
// look-alike would name another user's folder.
TEST_F(RegistryTest, NamesAndTextsWithACharacterTheCodePageLacksArriveAsTheyAre) {
    const std::string omega = "\u03A9";
    EXPECT_TRUE(registry_.AddKey(Path("Office 11 " + omega)));
    EXPECT_TRUE(KeyExists("Office 11 " + omega));
    EXPECT_FALSE(KeyExists("Office 11 O"));
    SetText("Word", L"PROGRAMDIR O", L"C:\\Office 11 O\\");
    ASSERT_TRUE(Write("Word", "PROGRAMDIR " + omega, "C:\\Office 11 " + omega + "\\", "REG_SZ"));
    DWORD type = 0;
    Bytes bytes;
    ASSERT_TRUE(RawWide("Word", "PROGRAMDIR " + omega, type, bytes));
    const std::wstring expected = std::wstring(L"C:\\Office 11 \u03A9\\") + L'\0' + L'\0';
    EXPECT_EQ(bytes, Utf16(expected, expected.size()));
    EXPECT_EQ(registry_.ReadValue(Path("Word"), "PROGRAMDIR " + omega).ToString(),
              "C:\\Office 11 " + omega + "\\" + '\0');
    SetText("Word", L"Fonts", L"C:\\Schriften \u03A9");
    EXPECT_EQ(registry_.ReadValue(Path("Word"), "Fonts").ToString(), "C:\\Schriften " + omega);
    // The limit counts characters, as it did where each was one byte.
    SetText("Word", L"Longest", std::wstring(254, L'\u03A9'));
    SetText("Word", L"TooLong", std::wstring(255, L'\u03A9'));
    std::string longest;
    for (int count = 0; count < 254; ++count) {
        longest += omega;
    }
    EXPECT_EQ(registry_.ReadValue(Path("Word"), "Longest").ToString(), longest);
    EXPECT_EQ(registry_.ReadValue(Path("Word"), "TooLong").ToString(), "");

    std::set<std::string> keys{registry_.EnumKey(Path(), 0).ToString(), registry_.EnumKey(Path(), 1).ToString()};
    EXPECT_EQ(keys, (std::set<std::string>{"Office 11 " + omega, "Word"}));
    std::set<std::string> values;
    for (int16_t index = 0; index < 5; ++index) {
        values.insert(registry_.EnumValue(Path("Word"), index).ToString());
    }
    // The data of "TooLong" did not fit the ANSI function's buffer, which then gave no name either.
    EXPECT_EQ(values, (std::set<std::string>{"PROGRAMDIR O", "PROGRAMDIR " + omega, "Fonts", "Longest", ""}));

    EXPECT_TRUE(registry_.DelValue(Path("Word"), "PROGRAMDIR " + omega));
    EXPECT_FALSE(RawWide("Word", "PROGRAMDIR " + omega, type, bytes));
    EXPECT_TRUE(RawWide("Word", "PROGRAMDIR O", type, bytes));
    std::string key = Path("Office 11 " + omega);
    EXPECT_TRUE(registry_.DelKey(key));
    EXPECT_FALSE(KeyExists("Office 11 " + omega));
    systemtest::ExpectNoReport(root_);
}

// For every text the ANSI code page holds, the value stored is the one the ANSI function stored:
// the same type and the same bytes as a value written through it with the text's ANSI bytes (and
// for "REG_SZ" and "REG_MULTI_SZ" the appended zero character) and one zero byte.
TEST_F(RegistryTest, ValuesOfTextsTheCodePageHoldsAreStoredByteForByteAsBefore) {
    struct Case {
        const char* Type;
        DWORD Number;
        std::string Text;
    };
    const Case cases[] = {
        {"REG_SZ", REG_SZ, "Tarvex für Microsoft Word 2003 (Version 11) – ©"},
        {"REG_EXPAND_SZ", REG_EXPAND_SZ, "%TEMP%\\Büro €"},
        {"REG_MULTI_SZ", REG_MULTI_SZ, "Maße" + std::string(1, '\0') + "Größe"},
        {"REG_DWORD", REG_DWORD, "\x12\x03è"},
        {"REG_BINARY", REG_BINARY, "é\x01ÿ€"},
        {"REG_LINK", REG_LINK, "Büro"},
        {"REG_TEXT", REG_NONE, "ä"},
    };
    HKEY before = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, Wide("Before").c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                              &before, nullptr),
              ERROR_SUCCESS);
    for (const Case& value : cases) {
        ASSERT_TRUE(Write("Now", value.Type, value.Text, value.Type)) << value.Type;
        const bool appended = value.Number == REG_SZ || value.Number == REG_MULTI_SZ;
        const std::string ansi = runtime::ToAnsi(value.Text + (appended ? std::string(1, '\0') : std::string()));
        ASSERT_EQ(RegSetValueExA(before, value.Type, 0, value.Number, reinterpret_cast<const BYTE*>(ansi.c_str()),
                                 static_cast<DWORD>(ansi.size() + 1)),
                  ERROR_SUCCESS);
        DWORD nowType = 99;
        DWORD beforeType = 98;
        Bytes now;
        Bytes then;
        ASSERT_TRUE(RawWide("Now", value.Type, nowType, now)) << value.Type;
        ASSERT_TRUE(RawWide("Before", value.Type, beforeType, then)) << value.Type;
        EXPECT_EQ(nowType, value.Number) << value.Type;
        EXPECT_EQ(nowType, beforeType) << value.Type;
        EXPECT_EQ(now, then) << value.Type;
    }
    RegCloseKey(before);
    systemtest::ExpectNoReport(root_);
}

TEST_F(RegistryTest, DwordIsMadeOfThreeCharactersAndTheZeroByte) {
    Variant one = std::string("\x01\0\0", 3);
    std::string type = "REG_DWORD";
    ASSERT_TRUE(registry_.WriteValue(Path("Security"), "Level", one, type));
    EXPECT_EQ(one.ToString(), std::string("\x01\0\0", 3));
    DWORD storedType = 0;
    Bytes bytes;
    ASSERT_TRUE(RawAnsi("Security", "Level", storedType, bytes));
    EXPECT_EQ(storedType, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(bytes, (Bytes{1, 0, 0, 0}));

    // The third character's ANSI code is the number's third byte: è is 0xE8 in code page 1252.
    ASSERT_TRUE(Write("Security", "Big", "\x12\x03è", "REG_DWORD"));
    ASSERT_TRUE(RawAnsi("Security", "Big", storedType, bytes));
    ASSERT_EQ(bytes.size(), 4u);
    DWORD number = 0;
    memcpy(&number, bytes.data(), 4);
    EXPECT_EQ(number, 0x00E80312u);
    ASSERT_TRUE(Write("Security", "DontTrustInstalledFiles", std::string(3, '\0'), "REG_DWORD_LITTLE_ENDIAN"));
    ASSERT_TRUE(RawAnsi("Security", "DontTrustInstalledFiles", storedType, bytes));
    EXPECT_EQ(storedType, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(bytes, (Bytes{0, 0, 0, 0}));
}

TEST_F(RegistryTest, ListOfTextsEndsWithTheAppendedZeroAndTheZeroByte) {
    Variant list = std::string("a\0b", 3);
    std::string type = "Reg_Multi_Sz";
    ASSERT_TRUE(registry_.WriteValue(Path("Values"), "List", list, type));
    EXPECT_EQ(list.ToString(), std::string("a\0b\0", 4));
    EXPECT_EQ(type, "REG_MULTI_SZ");
    DWORD storedType = 0;
    Bytes bytes;
    ASSERT_TRUE(RawAnsi("Values", "List", storedType, bytes));
    EXPECT_EQ(storedType, static_cast<DWORD>(REG_MULTI_SZ));
    EXPECT_EQ(bytes, (Bytes{'a', 0, 'b', 0, 0}));
}

TEST_F(RegistryTest, OtherTypesGetTheBytesAndOneZeroByteUnchanged) {
    Variant value = "%TEMP%";
    std::string type = "REG_EXPAND_SZ";
    ASSERT_TRUE(registry_.WriteValue(Path("Values"), "Expand", value, type));
    EXPECT_EQ(value.ToString(), "%TEMP%");
    DWORD storedType = 0;
    Bytes bytes;
    ASSERT_TRUE(RawAnsi("Values", "Expand", storedType, bytes));
    EXPECT_EQ(storedType, static_cast<DWORD>(REG_EXPAND_SZ));
    EXPECT_EQ(bytes, (Bytes{'%', 'T', 'E', 'M', 'P', '%', 0}));

    ASSERT_TRUE(Write("Values", "Binary", "ab", "REG_BINARY"));
    ASSERT_TRUE(RawAnsi("Values", "Binary", storedType, bytes));
    EXPECT_EQ(storedType, static_cast<DWORD>(REG_BINARY));
    EXPECT_EQ(bytes, (Bytes{'a', 'b', 0}));
}

TEST_F(RegistryTest, UnknownTypeNameStoresAValueWithoutType) {
    std::string type = "REG_TEXT";
    Variant value = "x";
    ASSERT_TRUE(registry_.WriteValue(Path("Values"), "Untyped", value, type));
    EXPECT_EQ(type, "REG_TEXT");
    DWORD storedType = 99;
    Bytes bytes;
    ASSERT_TRUE(RawAnsi("Values", "Untyped", storedType, bytes));
    EXPECT_EQ(storedType, static_cast<DWORD>(REG_NONE));
    EXPECT_EQ(bytes, (Bytes{'x', 0}));
}

TEST_F(RegistryTest, HiveNameInAnyLetterCaseNamesTheSameKey) {
    Variant value = "C:\\Programme\\Office\\";
    std::string type = "REG_SZ";
    const std::string lower = "hkey_current_user\\" + base_ + "\\Word\\Options";
    ASSERT_TRUE(registry_.WriteValue(lower, "PROGRAMDIR", value, type));
    EXPECT_TRUE(KeyExists("Word\\Options"));
    const std::string mixed = "Hkey_Current_User\\" + base_ + "\\Word\\Options\\";
    EXPECT_EQ(registry_.ReadValue(mixed, "PROGRAMDIR").ToString(), std::string("C:\\Programme\\Office\\\0", 21));
    EXPECT_TRUE(registry_.AddKey("hKey_Current_User\\" + base_ + "\\Lower"));
    EXPECT_TRUE(KeyExists("Lower"));
}

TEST_F(RegistryTest, AbbreviatedHiveOrNoBackslashFailsAtOnce) {
    Variant value = "1";
    std::string type = "reg_sz";
    EXPECT_FALSE(registry_.WriteValue("HKCU\\" + base_, "Name", value, type));
    // Nothing was done: neither the type name nor the value changed.
    EXPECT_EQ(type, "reg_sz");
    EXPECT_EQ(value.ToString(), "1");
    EXPECT_FALSE(registry_.AddKey("HKCU\\" + base_));
    EXPECT_FALSE(registry_.AddKey("HKEY_CURRENT_USER"));
    EXPECT_FALSE(registry_.DelValue("HKEY_CURRENT_USR\\" + base_, "Name"));
    EXPECT_EQ(registry_.ReadValue("HKCU\\Software\\Microsoft", "x").GetKind(), Variant::Kind::String);
    EXPECT_EQ(registry_.ReadValue("HKEY_CURRENT_USER", "x").ToString(), "");
    EXPECT_EQ(registry_.EnumKey("HKLM\\Software", 0).GetKind(), Variant::Kind::String);
    EXPECT_EQ(registry_.EnumKeyCount("HKCU\\Software"), 0);
    EXPECT_FALSE(KeyExists());
    systemtest::ExpectNoReport(root_);
}

TEST_F(RegistryTest, WritingCreatesTheKeyAndEveryMissingKeyAboveIt) {
    EXPECT_FALSE(KeyExists());
    EXPECT_TRUE(Write("Office\\11.0\\Word\\Security", "Level", std::string("\x01\0\0", 3), "REG_DWORD"));
    EXPECT_TRUE(KeyExists("Office\\11.0\\Word\\Security"));
}

TEST_F(RegistryTest, AddKeyCreatesOrOpens) {
    EXPECT_TRUE(registry_.AddKey(Path("Uninstall\\Tarvex für Microsoft Word 11")));
    EXPECT_TRUE(KeyExists("Uninstall\\Tarvex für Microsoft Word 11"));
    EXPECT_TRUE(registry_.AddKey(Path("Uninstall\\Tarvex für Microsoft Word 11")));
}

TEST_F(RegistryTest, DelValueDeletesAValue) {
    SetText("Entry", L"Contact", L"x");
    EXPECT_TRUE(registry_.DelValue(Path("Entry"), "Contact"));
    DWORD type = 0;
    Bytes bytes;
    EXPECT_FALSE(RawAnsi("Entry", "Contact", type, bytes));
    EXPECT_FALSE(registry_.DelValue(Path("Entry"), "Contact"));
}

TEST_F(RegistryTest, DelValueOfAMissingKeyCreatesTheKeyAndAnswersFalse) {
    EXPECT_FALSE(KeyExists("Missing"));
    EXPECT_FALSE(registry_.DelValue(Path("Missing"), "Contact"));
    EXPECT_TRUE(KeyExists("Missing"));
}

TEST_F(RegistryTest, ReadValueReturnsTextsUpTo254Characters) {
    const std::wstring longest(254, L'x');
    SetText("Read", L"Longest", longest);
    SetText("Read", L"TooLong", longest + L"x");
    EXPECT_EQ(registry_.ReadValue(Path("Read"), "Longest").ToString(), std::string(254, 'x'));
    const Variant tooLong = registry_.ReadValue(Path("Read"), "TooLong");
    EXPECT_EQ(tooLong.GetKind(), Variant::Kind::String);
    EXPECT_EQ(tooLong.ToString(), "");
    SetText("Read", L"Fonts", L"C:\\Windows\\Fonts");
    EXPECT_EQ(registry_.ReadValue(Path("Read"), "Fonts").ToString(), "C:\\Windows\\Fonts");
    SetText("Read", L"Umlaut", L"C:\\Programme\\B\u00fcro\\");
    EXPECT_EQ(registry_.ReadValue(Path("Read"), "Umlaut").ToString(), "C:\\Programme\\Büro\\");
    systemtest::ExpectNoReport(root_);
}

TEST_F(RegistryTest, ReadValueOfAMissingValueOrKeyIsEmptyText) {
    CreateKey("Read");
    EXPECT_EQ(registry_.ReadValue(Path("Read"), "PROGRAMDIR").ToString(), "");
    EXPECT_EQ(registry_.ReadValue(Path("Read"), "PROGRAMDIR").GetKind(), Variant::Kind::String);
    EXPECT_EQ(registry_.ReadValue(Path("No\\Such\\Key"), "PROGRAMDIR").ToString(), "");
    EXPECT_FALSE(KeyExists("No"));
    systemtest::ExpectNoReport(root_);
}

TEST_F(RegistryTest, ReadValueDropsOnlyTheLastByte) {
    const DWORD number = 0x00030201;
    SetWide("Read", L"Number", REG_DWORD, &number, sizeof number);
    EXPECT_EQ(registry_.ReadValue(Path("Read"), "Number").ToString(), "\x01\x02\x03");
}

TEST_F(RegistryTest, DelKeyDeletesTheLastKeyAndLeavesTheCutPathInTheCallersText) {
    CreateKey("A\\B");
    std::string path = Path("A\\B\\");
    EXPECT_TRUE(registry_.DelKey(path));
    EXPECT_EQ(path, base_ + "\\A\\B");
    EXPECT_FALSE(KeyExists("A\\B"));
    EXPECT_TRUE(KeyExists("A"));
}

TEST_F(RegistryTest, DelKeyDirectlyBelowTheHive) {
    const std::string name = systemtest::UniqueName("TvxDelKey");
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, runtime::Widen(name).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                              &key, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(key);
    std::string path = "HKEY_CURRENT_USER\\" + name;
    EXPECT_TRUE(registry_.DelKey(path));
    EXPECT_EQ(path, name);
    EXPECT_NE(RegOpenKeyExW(HKEY_CURRENT_USER, runtime::Widen(name).c_str(), 0, KEY_READ, &key), ERROR_SUCCESS);
    RegDeleteTreeW(HKEY_CURRENT_USER, runtime::Widen(name).c_str());
}

TEST_F(RegistryTest, DelKeyDoesNotDeleteSubkeys) {
    CreateKey("Entry\\Sub");
    std::string path = Path("Entry");
    EXPECT_FALSE(registry_.DelKey(path));
    EXPECT_TRUE(KeyExists("Entry\\Sub"));
}

TEST_F(RegistryTest, DelKeyWithAnUnknownHiveOrAnEmptyNameDeletesNothing) {
    CreateKey("Entry");
    std::string abbreviated = "HKCU\\" + base_ + "\\Entry";
    EXPECT_FALSE(registry_.DelKey(abbreviated));
    EXPECT_EQ(abbreviated, "HKCU\\" + base_ + "\\Entry");
    // Two backslashes at the end: the name after the last one would be empty, which would name
    // the parent key itself.
    std::string doubled = Path("Entry\\\\");
    EXPECT_FALSE(registry_.DelKey(doubled));
    EXPECT_EQ(doubled, base_ + "\\Entry\\");
    EXPECT_TRUE(KeyExists("Entry"));
}

TEST_F(RegistryTest, ThreeSubkeysAreCountedAndNamed) {
    for (const char* name : {"8.0", "9.0", "11.0"}) {
        CreateKey(std::string("Office\\") + name);
    }
    EXPECT_EQ(registry_.EnumKeyCount(Path("Office")), 3);
    EXPECT_EQ(registry_.EnumKeyCount(Path("Office\\")), 3);
    std::set<std::string> names;
    for (int16_t index = 0; index < 3; ++index) {
        names.insert(registry_.EnumKey(Path("Office"), index).ToString());
    }
    EXPECT_EQ(names, (std::set<std::string>{"8.0", "9.0", "11.0"}));
    const Variant past = registry_.EnumKey(Path("Office"), 3);
    EXPECT_TRUE(past.IsEmpty());
    EXPECT_TRUE(past == Variant(""));
    EXPECT_EQ(registry_.EnumKeyCount(Path("Missing")), 0);
    systemtest::ExpectNoReport(root_);
}

TEST_F(RegistryTest, ValuesAreCountedUntilAnUnnamedOne) {
    SetText("Values", L"Comments", L"a");
    SetText("Values", L"Contact", L"b");
    EXPECT_EQ(registry_.EnumValueCount(Path("Values")), 2);
    std::set<std::string> names{registry_.EnumValue(Path("Values"), 0).ToString(),
                                registry_.EnumValue(Path("Values"), 1).ToString()};
    EXPECT_EQ(names, (std::set<std::string>{"Comments", "Contact"}));
    EXPECT_TRUE(registry_.EnumValue(Path("Values"), 2).IsEmpty());
    SetText("Default", L"", L"first");
    SetText("Default", L"Named", L"second");
    EXPECT_EQ(registry_.EnumValueCount(Path("Default")), 0);
    EXPECT_EQ(registry_.EnumValueCount(Path("Missing")), 0);
}
