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

// A byte type gets the ANSI codes of its text: a text with a character the code page lacks has
// none. It is refused with a report that names it, never written in a look-alike form, and no key
// is made for it.
TEST(RegistryReport, ByteValueWithACharacterTheCodePageLacksIsRefusedAndReported) {
    const std::string base = "Software\\TvxSystemTest " + systemtest::UniqueName("RegistryReport");
    Tarvex root;
    systemtest::ReportAnswerer report;
    runtime::Variant value = "1\u03A9";
    std::string type = "REG_BINARY";
    EXPECT_FALSE(root.ExternalRegistry()->WriteValue("HKEY_CURRENT_USER\\" + base + "\\Data", "Bytes", value, type));
    report.Check(root, 5,
                 "Der Text \"1\u03A9\" lässt sich in der ANSI-Codepage 1252 des Systems nicht genau darstellen: Das "
                 "Zeichen \"\u03A9\" fehlt darin.",
                 "Unbekannter Fehler in Klasse \"Tvx_ExternalRegistry\"");
    HKEY key = nullptr;
    EXPECT_NE(RegOpenKeyExW(HKEY_CURRENT_USER, runtime::Widen(base).c_str(), 0, KEY_READ, &key), ERROR_SUCCESS);
    RegDeleteTreeW(HKEY_CURRENT_USER, runtime::Widen(base).c_str());
}
