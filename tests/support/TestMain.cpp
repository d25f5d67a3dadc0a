#include <gtest/gtest.h>

#include <windows.h>

namespace {

// Every program a test starts ends with the test program: under Wine a child inherits the test's
// standard output, and one left running would keep ctest waiting for the end of that pipe.
void EndChildrenWithTheTest() {
    HANDLE job = CreateJobObjectW(nullptr, nullptr);
    if (job == nullptr) {
        return;
    }
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits, sizeof limits);
    // Death-test children are in the parent's job already; a second job is not needed for them.
    if (!AssignProcessToJobObject(job, GetCurrentProcess())) {
        CloseHandle(job);
    }
    // The handle stays open until the process ends, which closes it and ends the job.
}

} // namespace

int main(int argc, char** argv) {
    // A crash must fail its test, not wait in a debugger dialog.
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
    // As the program does: libraries only from the system folder.
    SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
    EndChildrenWithTheTest();
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
