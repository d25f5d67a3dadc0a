#pragma once

#include "support/TestSupport.h"

#include <windows.h>

#include <string>

namespace testsupport {

// Word versions for the wizard to find: their program folders in a fresh temporary folder and
// their "PROGRAMDIR" values in the registry. Every Word entry of the registry is removed before
// and after, and the Fonts folder value points into the sandbox while it lives.
class WordSandbox {
public:
    WordSandbox();
    ~WordSandbox();
    WordSandbox(const WordSandbox&) = delete;
    WordSandbox& operator=(const WordSandbox&) = delete;

    // Adds a Word version with its program folder (ending in a backslash) under the sandbox;
    // the "PROGRAMDIR" value is written as given (with or without its trailing backslash).
    std::string AddWord(int version, const std::string& folderName, bool withTemplate, bool trailingBackslash = true);
    // The sandbox's own Fonts folder, ending in a backslash.
    const std::string& FontsDir() const noexcept { return fontsDir_; }
    std::string Root() const { return folder_.Path(); }

    static void RemoveAllWordEntries();

private:
    testsupport::TempFolder folder_{"tvxsetup"};
    std::string fontsDir_;
    std::wstring savedFontsValue_;
    bool hadFontsValue_ = false;
};

// Raw registry access for checks: the value's type and bytes, or type 0 when it is missing.
struct RawValue {
    unsigned long Type = 0;
    std::string Bytes;
};
RawValue ReadRaw(HKEY hive, const std::string& key, const std::string& name);
// In the view of the test program's own kind, or in the one named (KEY_WOW64_32KEY, KEY_WOW64_64KEY).
bool KeyExists(HKEY hive, const std::string& key, REGSAM view = 0);
void DeleteTree(HKEY hive, const std::string& key, REGSAM view = 0);

} // namespace testsupport
