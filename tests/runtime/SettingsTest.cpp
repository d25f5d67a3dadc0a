#include "runtime/RuntimeError.h"
#include "runtime/Settings.h"
#include "runtime/Text.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <vector>

using namespace runtime;

namespace {

const std::wstring kStore = L"Software\\VB and VBA Program Settings\\";

// One application name per test and process, removed first and last.
class SettingsTest : public testing::Test {
protected:
    void SetUp() override {
        static int counter = 0;
        app_ = "TvxSettingsTest" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++counter);
        RegDeleteTreeW(HKEY_CURRENT_USER, (kStore + Widen(app_)).c_str());
    }
    void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, (kStore + Widen(app_)).c_str()); }

    // The stored value as the system reads it: its type and its bytes.
    bool ReadRaw(const std::string& section, const std::string& key, DWORD& type, std::vector<BYTE>& bytes) {
        HKEY sectionKey = nullptr;
        const std::wstring path = kStore + Widen(app_) + L"\\" + Widen(section);
        if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_QUERY_VALUE, &sectionKey) != ERROR_SUCCESS) {
            return false;
        }
        DWORD size = 0;
        RegQueryValueExW(sectionKey, Widen(key).c_str(), nullptr, &type, nullptr, &size);
        bytes.assign(size, 0);
        const LSTATUS status = RegQueryValueExW(sectionKey, Widen(key).c_str(), nullptr, &type, bytes.data(), &size);
        RegCloseKey(sectionKey);
        return status == ERROR_SUCCESS;
    }

    std::string app_;
};

std::vector<BYTE> Utf16WithZero(const std::wstring& text) {
    const auto* first = reinterpret_cast<const BYTE*>(text.c_str());
    return std::vector<BYTE>(first, first + (text.size() + 1) * sizeof(wchar_t));
}

} // namespace

TEST_F(SettingsTest, MissingSettingGivesTheDefault) {
    EXPECT_EQ(GetSetting(app_, "Options", "Tvx_Version", "0.00"), "0.00");
    EXPECT_EQ(GetSetting(app_, "Options", "Tvx_Version"), "");
}

TEST_F(SettingsTest, SavedSettingIsOneTextValueInTheStore) {
    SaveSetting(app_, "Options", "Tvx_Version", "99991.20");
    DWORD type = 0;
    std::vector<BYTE> bytes;
    ASSERT_TRUE(ReadRaw("Options", "Tvx_Version", type, bytes));
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(bytes, Utf16WithZero(L"99991.20"));
    EXPECT_EQ(GetSetting(app_, "Options", "Tvx_Version", "0.00"), "99991.20");
}

TEST_F(SettingsTest, SavingAgainReplacesTheTextAndKeepsUmlauts) {
    SaveSetting(app_, "Options", "Tvx_Version", "0.50");
    SaveSetting(app_, "Options", "Tvx_Version", "Größe ä");
    DWORD type = 0;
    std::vector<BYTE> bytes;
    ASSERT_TRUE(ReadRaw("Options", "Tvx_Version", type, bytes));
    EXPECT_EQ(bytes, Utf16WithZero(L"Gr\u00f6\u00dfe \u00e4"));
    EXPECT_EQ(GetSetting(app_, "Options", "Tvx_Version", "0.00"), "Größe ä");
}

TEST_F(SettingsTest, ValueThatHoldsNoTextGivesTheDefault) {
    HKEY sectionKey = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, (kStore + Widen(app_) + L"\\Options").c_str(), 0, nullptr, 0,
                              KEY_SET_VALUE, nullptr, &sectionKey, nullptr),
              ERROR_SUCCESS);
    const DWORD number = 5;
    RegSetValueExW(sectionKey, L"Tvx_Version", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof number);
    RegCloseKey(sectionKey);
    EXPECT_EQ(GetSetting(app_, "Options", "Tvx_Version", "0.00"), "0.00");
}

TEST_F(SettingsTest, EmptyPartsAreInvalidCalls) {
    for (const auto& [app, section, key] : std::vector<std::tuple<std::string, std::string, std::string>>{
             {"", "Options", "Tvx_Version"}, {app_, "", "Tvx_Version"}, {app_, "Options", ""}}) {
        try {
            SaveSetting(app, section, key, "1");
            ADD_FAILURE() << "saved with an empty part";
        } catch (const RuntimeError& error) {
            EXPECT_EQ(error.Number(), kErrInvalidCall);
        }
        EXPECT_THROW(GetSetting(app, section, key, "d"), RuntimeError);
    }
    HKEY appKey = nullptr;
    EXPECT_NE(RegOpenKeyExW(HKEY_CURRENT_USER, (kStore + Widen(app_)).c_str(), 0, KEY_READ, &appKey), ERROR_SUCCESS);
}
