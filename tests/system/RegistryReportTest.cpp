#include "SystemTestSupport.h"
#include "framework/Tarvex.h"
#include "system/Tvx_ExternalRegistry.h"
#include "runtime/Text.h"

#include <gtest/gtest.h>

#include <windows.h>

// A value with no data leaves nothing to cut off its end: the failure is an unexpected error of
// the registry class, and the result stays without a value.
TEST(RegistryReport, ValueWithoutDataIsReportedAndReadsEmpty) {
    const std::string base = "Software\\TvxSystemTest " + systemtest::UniqueName("RegistryReport");
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, runtime::Widen(base).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                              &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExW(key, L"Nothing", 0, REG_BINARY, nullptr, 0);
    RegCloseKey(key);

    Tarvex root;
    systemtest::ReportAnswerer report;
    const runtime::Variant read = root.ExternalRegistry()->ReadValue("HKEY_CURRENT_USER\\" + base, "Nothing");
    report.Check(root, 5, "Unzulässiger Prozeduraufruf oder ungültiges Argument",
                 "Unbekannter Fehler in Klasse \"Tvx_ExternalRegistry\"");
    EXPECT_TRUE(read.IsEmpty());

    RegDeleteTreeW(HKEY_CURRENT_USER, runtime::Widen(base).c_str());
}
