// The version mark the add-in reads: "9999" put in front of the stored text, once.

#include "SetupTestSupport.h"
#include "runtime/Text.h"

#include <gtest/gtest.h>

#include <windows.h>

using setuptest::SetupProbe;
using testsupport::WordSandbox;

namespace {

constexpr const wchar_t* kApplication = L"Software\\VB and VBA Program Settings\\Tvx11";
constexpr const wchar_t* kOptions = L"Software\\VB and VBA Program Settings\\Tvx11\\Options";

// The mark's key, removed when created and when destroyed.
struct MarkKey {
    MarkKey() { RegDeleteTreeW(HKEY_CURRENT_USER, kApplication); }
    ~MarkKey() { RegDeleteTreeW(HKEY_CURRENT_USER, kApplication); }

    void Store(const std::string& text) {
        HKEY key = nullptr;
        RegCreateKeyExW(HKEY_CURRENT_USER, kOptions, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr);
        const std::wstring wide = runtime::Widen(text);
        RegSetValueExW(key, L"Tvx_Version", 0, REG_SZ, reinterpret_cast<const BYTE*>(wide.c_str()),
                       static_cast<DWORD>((wide.size() + 1) * sizeof(wchar_t)));
        RegCloseKey(key);
    }

    // The stored text, or "(none)" when there is no value.
    std::string Read() {
        wchar_t text[256] = {};
        DWORD size = sizeof text - sizeof(wchar_t);
        DWORD type = 0;
        if (RegGetValueW(HKEY_CURRENT_USER, kOptions, L"Tvx_Version", RRF_RT_ANY, &type, text, &size) !=
            ERROR_SUCCESS) {
            return "(none)";
        }
        EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
        return runtime::Narrow(text);
    }
};

} // namespace

TEST(VersionMark, StoredTextGetsTheMarkInFrontOnce) {
    WordSandbox sandbox;
    sandbox.AddWord(11, "Office 11", false);
    SetupProbe setup;
    struct Case {
        const char* before; // null: no value stored
        const char* after;
    };
    const Case cases[] = {
        {nullptr, "99990.00"},    {"1.23", "99991.23"},   {"99991.23", "99991.23"}, {"1.2", "99990.00"},
        {"", "99990.00"},         {"9999", "9999"},       {"999.5", "9999999.5"},   {"0.00", "99990.00"},
        {"99999999", "99999999"}, {"Ä1.23", "9999Ä1.23"},
    };
    for (const Case& c : cases) {
        MarkKey mark;
        if (c.before != nullptr) {
            mark.Store(c.before);
        }
        setup.VersionSettingMark();
        EXPECT_EQ(mark.Read(), c.after) << (c.before != nullptr ? c.before : "(none)");
        // A second install changes nothing more.
        setup.VersionSettingMark();
        EXPECT_EQ(mark.Read(), c.after) << (c.before != nullptr ? c.before : "(none)");
    }
}

TEST(VersionMark, EachWordVersionHasItsOwnMark) {
    WordSandbox sandbox;
    sandbox.AddWord(9, "Office 2000", false);
    sandbox.AddWord(11, "Office 2003", false);
    SetupProbe setup;
    MarkKey mark;
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\VB and VBA Program Settings\\Tvx9");
    setup.ListBox().ListIndex(0);
    setup.VersionSettingMark();
    EXPECT_EQ(mark.Read(), "(none)");
    wchar_t text[64] = {};
    DWORD size = sizeof text;
    EXPECT_EQ(RegGetValueW(HKEY_CURRENT_USER, L"Software\\VB and VBA Program Settings\\Tvx9\\Options", L"Tvx_Version",
                           RRF_RT_REG_SZ, nullptr, text, &size),
              ERROR_SUCCESS);
    EXPECT_EQ(runtime::Narrow(text), "99990.00");
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\VB and VBA Program Settings\\Tvx9");
}
