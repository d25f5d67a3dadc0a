#include "support/ShortDateFormat.h"

#include "runtime/Text.h"

#include <windows.h>

namespace testsupport {

namespace {

constexpr const wchar_t* kInternational = L"Control Panel\\International";

void WriteFormat(const std::wstring& format) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, kInternational, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS) {
        return;
    }
    RegSetValueExW(key, L"sShortDate", 0, REG_SZ, reinterpret_cast<const BYTE*>(format.c_str()),
                   static_cast<DWORD>((format.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
}

} // namespace

ShortDateFormat::ShortDateFormat(const std::string& format) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kInternational, 0, KEY_QUERY_VALUE, &key) == ERROR_SUCCESS) {
        wchar_t value[128] = {};
        DWORD size = sizeof value - sizeof(wchar_t);
        DWORD type = 0;
        hadValue_ = RegQueryValueExW(key, L"sShortDate", nullptr, &type, reinterpret_cast<BYTE*>(value), &size) ==
                        ERROR_SUCCESS &&
                    type == REG_SZ;
        saved_ = value;
        RegCloseKey(key);
    }
    WriteFormat(runtime::Widen(format));
}

ShortDateFormat::~ShortDateFormat() {
    if (hadValue_) {
        WriteFormat(saved_);
        return;
    }
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kInternational, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
        RegDeleteValueW(key, L"sShortDate");
        RegCloseKey(key);
    }
}

} // namespace testsupport
