// Word's macro-security level: one message when the values cannot be written.

#include "SetupTestSupport.h"
#include "runtime/Text.h"
#include "support/DialogAnswerer.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <sddl.h>

using setuptest::SetupProbe;
using testsupport::DialogAnswerer;
using testsupport::WordSandbox;

namespace {

constexpr const wchar_t* kSecurity = L"Software\\Microsoft\\Office\\11.0\\Word\\Security";

// The Security key of Word 2003 with an access list that lets everybody read it and nobody
// write it. The owner may still change the list, which puts full access back before the key goes.
class ReadOnlySecurityKey {
public:
    ReadOnlySecurityKey() {
        // Set on the open key: Wine does not take an access list handed to the key's creation.
        HKEY key = nullptr;
        created_ = RegCreateKeyExW(HKEY_CURRENT_USER, kSecurity, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                                   nullptr) == ERROR_SUCCESS;
        if (created_) {
            SetAccess(key, L"D:P(A;;KR;;;WD)");
            RegCloseKey(key);
        }
    }
    ~ReadOnlySecurityKey() {
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, kSecurity, 0, WRITE_DAC, &key) == ERROR_SUCCESS) {
            SetAccess(key, L"D:(A;;KA;;;WD)");
            RegCloseKey(key);
        }
        RegDeleteTreeW(HKEY_CURRENT_USER, kSecurity);
    }
    bool Created() const { return created_; }
    // Whether the system keeps the list: a write with set-value access is refused.
    static bool Refused() {
        HKEY key = nullptr;
        const LONG opened = RegOpenKeyExW(HKEY_CURRENT_USER, kSecurity, 0, KEY_SET_VALUE, &key);
        if (opened == ERROR_SUCCESS) {
            RegCloseKey(key);
        }
        return opened == ERROR_ACCESS_DENIED;
    }

private:
    static void SetAccess(HKEY key, const wchar_t* accessList) {
        PSECURITY_DESCRIPTOR descriptor = nullptr;
        if (ConvertStringSecurityDescriptorToSecurityDescriptorW(accessList, SDDL_REVISION_1, &descriptor, nullptr)) {
            RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, descriptor);
            LocalFree(descriptor);
        }
    }

    bool created_ = false;
};

bool ValueExists(const wchar_t* name) {
    return RegGetValueW(HKEY_CURRENT_USER, kSecurity, name, RRF_RT_ANY, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

} // namespace

// Word 2000, the first version with a macro-security level.
TEST(MacroSecurityLow, BothValuesWrittenWithoutAMessage) {
    WordSandbox sandbox;
    sandbox.AddWord(9, "Office 2000", false);
    SetupProbe setup;
    DialogAnswerer dialogs;
    setup.MacroSecuritySetLow();
    EXPECT_TRUE(dialogs.Seen().empty());
    const wchar_t* security = L"Software\\Microsoft\\Office\\9.0\\Word\\Security";
    DWORD level = 7;
    DWORD size = sizeof level;
    EXPECT_EQ(RegGetValueW(HKEY_CURRENT_USER, security, L"Level", RRF_RT_REG_DWORD, nullptr, &level, &size),
              ERROR_SUCCESS);
    EXPECT_EQ(level, 1u);
    DWORD trust = 7;
    size = sizeof trust;
    EXPECT_EQ(
        RegGetValueW(HKEY_CURRENT_USER, security, L"DontTrustInstalledFiles", RRF_RT_REG_DWORD, nullptr, &trust, &size),
        ERROR_SUCCESS);
    EXPECT_EQ(trust, 0u);
}

TEST(MacroSecurityLow, RefusedWritesGiveOneMessage) {
    WordSandbox sandbox;
    sandbox.AddWord(11, "Office 11", false);
    SetupProbe setup;
    ReadOnlySecurityKey locked;
    ASSERT_TRUE(locked.Created());
    ASSERT_TRUE(ReadOnlySecurityKey::Refused()) << "the registry does not keep the key's access list";
    DialogAnswerer dialogs;
    dialogs.Click("Ignorieren");
    setup.MacroSecuritySetLow();
    ASSERT_TRUE(dialogs.Done());
    const auto seen = dialogs.Seen();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].Headline, "Fehler");
    EXPECT_NE(seen[0].Body.find("Fehlerbeschreibung: \"Makro-Sicherheitsstufe nicht auf \"Niedrig\" einstellbar.\"\n"
                                "Visual Basic Fehler: \"\"\nVisual Basic Fehlernummer: 0\n"),
              std::string::npos)
        << seen[0].Body;
    EXPECT_FALSE(ValueExists(L"Level"));
    EXPECT_FALSE(ValueExists(L"DontTrustInstalledFiles"));
}

TEST(MacroSecurityLow, Word97AndEarlierWriteNothing) {
    WordSandbox sandbox;
    sandbox.AddWord(8, "Office 97", false);
    SetupProbe setup;
    DialogAnswerer dialogs;
    setup.MacroSecuritySetLow();
    EXPECT_TRUE(dialogs.Seen().empty());
    HKEY key = nullptr;
    EXPECT_NE(RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Office\\8.0\\Word\\Security", 0, KEY_READ, &key),
              ERROR_SUCCESS);
}
