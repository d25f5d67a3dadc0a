#include "SystemTestSupport.h"
#include "framework/Tarvex.h"
#include "system/Tvx_ExternalWindows.h"

#include <gtest/gtest.h>

// A form that is not there fails as a call on an empty object reference does; the operation goes
// on without a window (its result then depends on whatever window is in the foreground).
TEST(WindowsReport, ForegroundOfNoFormIsReported) {
    Tarvex root;
    systemtest::ReportAnswerer report;
    root.ExternalWindows()->WindowToForeground(nullptr);
    report.Check(root, 91, "Objektvariable oder With-Blockvariable nicht festgelegt",
                 "Unbekannter Fehler in Klasse \"Tvx_ExternalWindows\"");
}

TEST(WindowsReport, SearchFromNoFormIsReportedAndFindsNothing) {
    Tarvex root;
    const std::string mark = systemtest::UniqueName("tvxwr");
    systemtest::TestForm match(mark + " Fonts");
    systemtest::ReportAnswerer report;
    const int32_t found = root.ExternalWindows()->WindowFind(nullptr, mark + " fonts");
    report.Check(root, 91, "Objektvariable oder With-Blockvariable nicht festgelegt",
                 "Unbekannter Fehler in Klasse \"Tvx_ExternalWindows\"");
    EXPECT_EQ(found, 0);
}
