#include "SystemTestSupport.h"
#include "framework/Tarvex.h"
#include "framework/Tvx_Tools.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

// A lookup that fails (here a wildcard outside the last part) is an unexpected error of the
// tools; after "Ignorieren" the test answers False.
TEST(ExistenceReport, FailedFileLookupIsReportedAndAnswersFalse) {
    Tarvex root;
    testsupport::TempFolder folder("tvxtoolsreport");
    testsupport::WriteFile(folder.Path() + "x.dot", "x");
    systemtest::ReportAnswerer report;
    const runtime::Variant exists = root.Tools()->CheckIfFileExists(folder.Path() + "*\\x.dot");
    report.Check(root, 52, "Dateiname oder -nummer falsch", "Unbekannter Fehler in Klasse \"Tvx_Tools\"");
    EXPECT_EQ(exists.GetKind(), runtime::Variant::Kind::Boolean);
    EXPECT_FALSE(exists.ToBool());
}

TEST(ExistenceReport, FailedFolderLookupIsReportedAndAnswersFalse) {
    Tarvex root;
    testsupport::TempFolder folder("tvxtoolsreport");
    systemtest::ReportAnswerer report;
    const runtime::Variant exists = root.Tools()->CheckIfDirectoryExists(folder.Path() + "a|b\\Tvx");
    report.Check(root, 52, "Dateiname oder -nummer falsch", "Unbekannter Fehler in Klasse \"Tvx_Tools\"");
    EXPECT_EQ(exists.GetKind(), runtime::Variant::Kind::Boolean);
    EXPECT_FALSE(exists.ToBool());
}
