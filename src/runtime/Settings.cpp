#include "Settings.h"

#include "Handle.h"
#include "RuntimeError.h"
#include "Text.h"

#include <windows.h>

#include <vector>

namespace runtime {

namespace {

// An empty part would name a key one level up (the application's key or the store itself).
std::wstring SectionKeyPath(const std::string& appName, const std::string& section, const std::string& key) {
    if (appName.empty() || section.empty() || key.empty()) {
        Raise(kErrInvalidCall);
    }
    return L"Software\\VB and VBA Program Settings\\" + Widen(appName) + L"\\" + Widen(section);
}

} // namespace

std::string GetSetting(const std::string& appName, const std::string& section, const std::string& key,
                       const std::string& defaultValue) {
    const std::wstring path = SectionKeyPath(appName, section, key);
    RegKey sectionKey;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_QUERY_VALUE, sectionKey.put()) != ERROR_SUCCESS) {
        return defaultValue;
    }
    const std::wstring valueName = Widen(key);
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExW(sectionKey.get(), valueName.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ)) {
        return defaultValue;
    }
    // One character more than asked for: a value written without its terminating zero still
    // reads whole.
    std::vector<wchar_t> buffer(size / sizeof(wchar_t) + 1, L'\0');
    size = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
    if (RegQueryValueExW(sectionKey.get(), valueName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()),
                         &size) != ERROR_SUCCESS) {
        return defaultValue;
    }
    std::wstring text(buffer.data(), size / sizeof(wchar_t));
    while (!text.empty() && text.back() == L'\0') {
        text.pop_back();
    }
    return Narrow(text);
}

void SaveSetting(const std::string& appName, const std::string& section, const std::string& key,
                 const std::string& setting) {
    const std::wstring path = SectionKeyPath(appName, section, key);
    RegKey sectionKey;
    LSTATUS status = RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                     KEY_SET_VALUE, nullptr, sectionKey.put(), nullptr);
    if (status != ERROR_SUCCESS) {
        RaiseWin32(static_cast<unsigned long>(status));
    }
    const std::wstring text = Widen(setting);
    status =
        RegSetValueExW(sectionKey.get(), Widen(key).c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                       static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    if (status != ERROR_SUCCESS) {
        RaiseWin32(static_cast<unsigned long>(status));
    }
}

} // namespace runtime
