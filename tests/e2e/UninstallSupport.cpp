#include "UninstallSupport.h"

#include "runtime/Text.h"

#include <gtest/gtest.h>

#include <tlhelp32.h>
#include <winternl.h>

#include <algorithm>
#include <cstddef>
#include <map>

namespace e2e {

using runtime::Narrow;
using runtime::Widen;

namespace {

std::string ImagePathOf(DWORD processId) {
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
    if (process == nullptr) {
        return {};
    }
    wchar_t path[MAX_PATH * 2] = {};
    DWORD size = MAX_PATH * 2;
    const bool read = QueryFullProcessImageNameW(process, 0, path, &size);
    CloseHandle(process);
    return read ? Narrow(path) : std::string();
}

bool LiesUnder(const std::string& path, const std::string& folder) {
    return !folder.empty() && runtime::LCase(path).rfind(runtime::LCase(folder), 0) == 0;
}

std::vector<DWORD> ProgramsUnder(const std::string& exeName, const std::string& folder) {
    std::vector<DWORD> found;
    for (DWORD id : ProcessesNamed(exeName)) {
        if (LiesUnder(ImagePathOf(id), folder)) {
            found.push_back(id);
        }
    }
    return found;
}

} // namespace

DWORD WaitForSetupIn(const std::string& folder, std::chrono::milliseconds limit) {
    DWORD found = 0;
    Eventually(
        [&] {
            for (DWORD id : ProcessesNamed("TvxSetup.exe")) {
                const std::string image = ImagePathOf(id);
                const size_t slash = image.find_last_of('\\');
                if (slash != std::string::npos &&
                    runtime::LCase(image.substr(0, slash + 1)) == runtime::LCase(folder)) {
                    found = id;
                    return true;
                }
            }
            return false;
        },
        limit);
    return found;
}

void EndProgramsUnder(const std::string& exeName, const std::string& folder) {
    for (DWORD id : ProgramsUnder(exeName, folder)) {
        EndProcessById(id);
    }
}

SandboxPrograms::~SandboxPrograms() {
    EndProgramsUnder("TvxSetup.exe", root_);
    EndProgramsUnder("winword.exe", root_);
    // The Fonts folder view stays open, hidden, after the setup ended; its program lies in the
    // system folder, its current folder in the sandbox.
    for (DWORD id : ProcessesNamed("rundll32.exe")) {
        if (LiesUnder(CurrentFolderOf(id), root_)) {
            EndProcessById(id);
        }
    }
}

std::vector<std::string> FontsPresent(const Sandbox& sandbox) {
    std::vector<std::string> present;
    for (const std::string& font : FontNames()) {
        if (testsupport::FileExists(sandbox.FontsDir() + font)) {
            present.push_back(font);
        }
    }
    return present;
}

bool FolderExists(const std::string& path) {
    const DWORD attributes = GetFileAttributesW(Widen(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::vector<std::string> SortedNames(std::vector<std::string> names) {
    std::sort(names.begin(), names.end(),
              [](const std::string& a, const std::string& b) { return runtime::LCase(a) < runtime::LCase(b); });
    return names;
}

} // namespace e2e
