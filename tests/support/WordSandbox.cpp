#include "support/WordSandbox.h"

#include "runtime/Text.h"

#include <windows.h>
#include <shlobj.h>

namespace testsupport {

namespace {

constexpr const wchar_t* kShellFolders = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

std::wstring OptionsKey(int version) {
    return L"Software\\Microsoft\\Office\\" + std::to_wstring(version) + L".0\\Word\\Options";
}

} // namespace

void WordSandbox::RemoveAllWordEntries() {
    for (int version = 1; version <= 41; ++version) {
        RegDeleteTreeW(HKEY_CURRENT_USER,
                       (L"Software\\Microsoft\\Office\\" + std::to_wstring(version) + L".0").c_str());
    }
}

WordSandbox::WordSandbox() {
    RemoveAllWordEntries();
    fontsDir_ = folder_.Path() + "Windows Fonts\\";
    CreateDirectoryW(runtime::Widen(fontsDir_).c_str(), nullptr);
    HKEY key = nullptr;
    RegCreateKeyExW(HKEY_CURRENT_USER, kShellFolders, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    wchar_t value[MAX_PATH] = {};
    DWORD size = sizeof value;
    DWORD type = 0;
    hadFontsValue_ =
        RegQueryValueExW(key, L"Fonts", nullptr, &type, reinterpret_cast<BYTE*>(value), &size) == ERROR_SUCCESS;
    savedFontsValue_ = value;
    const std::wstring fonts = runtime::Widen(fontsDir_.substr(0, fontsDir_.size() - 1));
    RegSetValueExW(key, L"Fonts", 0, REG_SZ, reinterpret_cast<const BYTE*>(fonts.c_str()),
                   static_cast<DWORD>((fonts.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
}

WordSandbox::~WordSandbox() {
    RemoveAllWordEntries();
    HKEY key = nullptr;
    RegCreateKeyExW(HKEY_CURRENT_USER, kShellFolders, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    if (hadFontsValue_) {
        RegSetValueExW(key, L"Fonts", 0, REG_SZ, reinterpret_cast<const BYTE*>(savedFontsValue_.c_str()),
                       static_cast<DWORD>((savedFontsValue_.size() + 1) * sizeof(wchar_t)));
    } else {
        RegDeleteValueW(key, L"Fonts");
    }
    RegCloseKey(key);
}

std::string WordSandbox::AddWord(int version, const std::string& folderName, bool withTemplate,
                                 bool trailingBackslash) {
    const std::string programDir = folder_.Path() + folderName + "\\";
    SHCreateDirectoryExW(nullptr, runtime::Widen(programDir).c_str(), nullptr);
    if (withTemplate) {
        CreateDirectoryW(runtime::Widen(programDir + "STARTUP").c_str(), nullptr);
        WriteFile(programDir + "STARTUP\\Tvx.dot", "old template");
    }
    const std::wstring value =
        runtime::Widen(trailingBackslash ? programDir : programDir.substr(0, programDir.size() - 1));
    HKEY key = nullptr;
    RegCreateKeyExW(HKEY_CURRENT_USER, OptionsKey(version).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                    nullptr);
    RegSetValueExW(key, L"PROGRAMDIR", 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
    return programDir;
}

RawValue ReadRaw(HKEY hive, const std::string& key, const std::string& name) {
    RawValue raw;
    HKEY opened = nullptr;
    if (RegOpenKeyExW(hive, runtime::Widen(key).c_str(), 0, KEY_QUERY_VALUE, &opened) != ERROR_SUCCESS) {
        return raw;
    }
    BYTE data[4096];
    DWORD size = sizeof data;
    DWORD type = 0;
    if (RegQueryValueExA(opened, runtime::ToAnsi(name).c_str(), nullptr, &type, data, &size) == ERROR_SUCCESS) {
        raw.Type = type;
        raw.Bytes.assign(reinterpret_cast<char*>(data), size);
    }
    RegCloseKey(opened);
    return raw;
}

bool KeyExists(HKEY hive, const std::string& key, REGSAM view) {
    HKEY opened = nullptr;
    if (RegOpenKeyExW(hive, runtime::Widen(key).c_str(), 0, KEY_READ | view, &opened) != ERROR_SUCCESS) {
        return false;
    }
    RegCloseKey(opened);
    return true;
}

void DeleteTree(HKEY hive, const std::string& key, REGSAM view) {
    // The tree function takes no view: the key is named below its parent, opened in the view asked for.
    const size_t slash = key.find_last_of('\\');
    HKEY parent = nullptr;
    if (slash == std::string::npos || RegOpenKeyExW(hive, runtime::Widen(key.substr(0, slash)).c_str(), 0,
                                                    KEY_ALL_ACCESS | view, &parent) != ERROR_SUCCESS) {
        return;
    }
    RegDeleteTreeW(parent, runtime::Widen(key.substr(slash + 1)).c_str());
    RegCloseKey(parent);
}

} // namespace testsupport
