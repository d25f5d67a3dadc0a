#include "Tvx_ExternalRegistry.h"

#include "framework/ErrorTrap.h"
#include "runtime/RuntimeError.h"
#include "runtime/Text.h"

#include <limits>

using runtime::Variant;

namespace {

// A result that no system call gave: the member holds it until the call has returned.
constexpr int32_t kNotCalled = -1;

// The ANSI functions handed out 255 bytes at most: a text of 254 characters and its zero.
constexpr DWORD kAnsiDataSize = 255;

// The types whose data the system keeps as UTF-16 text; every other type's data are bytes.
bool IsText(DWORD AType) {
    return AType == REG_SZ || AType == REG_EXPAND_SZ || AType == REG_MULTI_SZ;
}

// The size the ANSI functions gave for data the wide ones measured: text one byte a character in
// the code page, bytes as they are.
DWORD AnsiSize(DWORD AType, DWORD ASize) {
    return IsText(AType) ? ASize / sizeof(wchar_t) : ASize;
}

// Positions in a path are kept as 16-bit numbers; a longer path overflows.
int16_t Position(int32_t position) {
    if (position > std::numeric_limits<int16_t>::max()) {
        runtime::Raise(runtime::kErrOverflow);
    }
    return static_cast<int16_t>(position);
}

} // namespace

bool Tvx_ExternalRegistry::AddKey(const std::string& ANewKey) {
    bool result = false;
    ErrorTrap trap(Root, TypeName());
    bool split = false;
    trap([&] { split = PathSplit(ANewKey); });
    if (!split) {
        return result;
    }
    ReturnValue = kNotCalled;
    trap([&] { ReturnValue = KeyCreate(KeyPath); });
    if (ReturnValue == ERROR_SUCCESS) {
        result = true;
        KeyHandle.reset();
    }
    return result;
}

bool Tvx_ExternalRegistry::DelKey(std::string& ASubKey) {
    bool result = false;
    ErrorTrap trap(Root, TypeName());
    BackslashPosition = 0;
    trap([&] { BackslashPosition = Position(runtime::InStr(1, ASubKey, "\\")); });
    if (BackslashPosition == 0) {
        return result;
    }
    HiveHandle = 0;
    trap([&] {
        HiveName = runtime::UCase(runtime::Left(ASubKey, BackslashPosition - 1));
        HiveHandle = static_cast<int32_t>(GetHiveHandle(HiveName));
    });
    if (HiveHandle == 0) {
        return result;
    }
    trap([&] { ASubKey = runtime::Mid(ASubKey, BackslashPosition + 1); });
    if (trap.If([&] { return runtime::Right(ASubKey, 1) == "\\"; })) {
        trap([&] { ASubKey = runtime::Left(ASubKey, runtime::Len(ASubKey) - 1); });
    }
    LastBackslashPosition = 0;
    trap([&] {
        for (int32_t found = runtime::InStr(1, ASubKey, "\\"); found > 0;
             found = runtime::InStr(found + 1, ASubKey, "\\")) {
            LastBackslashPosition = Position(found);
        }
    });
    ParentKeyPath.clear();
    KeyName.clear();
    trap([&] {
        if (LastBackslashPosition > 0) {
            ParentKeyPath = runtime::Left(ASubKey, LastBackslashPosition);
            KeyName = runtime::Mid(ASubKey, LastBackslashPosition + 1);
        } else {
            KeyName = ASubKey;
        }
    });
    // An empty name would ask the system to delete the parent key itself.
    if (KeyName.empty()) {
        return result;
    }
    ReturnValue = kNotCalled;
    trap([&] { ReturnValue = KeyCreate(ParentKeyPath); });
    if (ReturnValue != ERROR_SUCCESS) {
        return result;
    }
    ReturnValue = kNotCalled;
    trap([&] { ReturnValue = RegDeleteKeyW(KeyHandle.get(), runtime::Widen(KeyName).c_str()); });
    result = ReturnValue == ERROR_SUCCESS;
    KeyHandle.reset();
    return result;
}

bool Tvx_ExternalRegistry::WriteValue(const std::string& ARegHivePath, const std::string& ARegName, Variant& ARegValue,
                                      std::string& ARegType) {
    bool result = false;
    ErrorTrap trap(Root, TypeName());
    bool split = false;
    trap([&] { split = PathSplit(ARegHivePath); });
    if (!split) {
        return result;
    }
    TypeNumber = 0;
    trap([&] { TypeNumber = GetRegTypeNumber(ARegType); });
    // The appended zero character and the zero byte below end a text or the list of texts.
    if (TypeNumber == REG_SZ || TypeNumber == REG_MULTI_SZ) {
        trap([&] { ARegValue = ARegValue.ToString() + std::string(1, '\0'); });
    }
    const DWORD type = static_cast<DWORD>(static_cast<int32_t>(TypeNumber));
    // A text type gets its characters as they are, so that a folder name with a character the code
    // page lacks is stored as it is, not as a look-alike. The byte types get the text's ANSI codes
    // (a REG_DWORD's three low bytes): a text the code page cannot hold exactly has no such bytes
    // and is refused, before a key is created for it.
    std::wstring text;
    std::string bytes;
    if (!trap([&] {
            if (IsText(type)) {
                text = runtime::Widen(ARegValue.ToString());
            } else {
                bytes = runtime::ToAnsi(ARegValue.ToString());
            }
        })) {
        return result;
    }
    ReturnValue = kNotCalled;
    trap([&] { ReturnValue = KeyCreate(KeyPath); });
    if (ReturnValue != ERROR_SUCCESS) {
        return result;
    }
    ReturnValue = kNotCalled;
    trap([&] {
        // One zero after the data: for a text a zero character, as the ANSI function made of the
        // zero byte; for a "REG_DWORD" the number's high byte.
        const std::wstring name = runtime::Widen(ARegName);
        if (IsText(type)) {
            ReturnValue =
                RegSetValueExW(KeyHandle.get(), name.c_str(), 0, type, reinterpret_cast<const BYTE*>(text.c_str()),
                               static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
        } else {
            ReturnValue =
                RegSetValueExW(KeyHandle.get(), name.c_str(), 0, type, reinterpret_cast<const BYTE*>(bytes.c_str()),
                               static_cast<DWORD>(bytes.size() + 1));
        }
    });
    KeyHandle.reset();
    result = ReturnValue == ERROR_SUCCESS;
    return result;
}

bool Tvx_ExternalRegistry::DelValue(const std::string& ARegHivePath, const std::string& ARegName) {
    bool result = false;
    ErrorTrap trap(Root, TypeName());
    bool split = false;
    trap([&] { split = PathSplit(ARegHivePath); });
    if (!split) {
        return result;
    }
    ReturnValue = kNotCalled;
    trap([&] { ReturnValue = KeyCreate(KeyPath); });
    if (ReturnValue != ERROR_SUCCESS) {
        return result;
    }
    ReturnValue = kNotCalled;
    trap([&] { ReturnValue = RegDeleteValueW(KeyHandle.get(), runtime::Widen(ARegName).c_str()); });
    result = ReturnValue == ERROR_SUCCESS;
    KeyHandle.reset();
    return result;
}

// The common start of the reading operations: the path split, then the key opened for reading.
// A path that names no key, or a key that cannot be opened, makes no handle.
bool Tvx_ExternalRegistry::KeyOpen(const std::string& ARegHivePath, REGSAM AAccess) {
    ErrorTrap trap(Root, TypeName());
    bool split = false;
    trap([&] { split = PathSplit(ARegHivePath); });
    if (!split) {
        return false;
    }
    ReturnValue = kNotCalled;
    trap([&] { ReturnValue = RegOpenKeyExW(HiveKey(), runtime::Widen(KeyPath).c_str(), 0, AAccess, KeyHandle.put()); });
    return ReturnValue == ERROR_SUCCESS;
}

Variant Tvx_ExternalRegistry::ReadValue(const std::string& ARegHivePath, const std::string& ARegName) {
    Variant result;
    ErrorTrap trap(Root, TypeName());
    // Room for 255 characters of text; data of the byte types no longer than 255 bytes, as before.
    ReadBuffer.assign(kAnsiDataSize, L' ');
    ReadBufferSize = kAnsiDataSize * sizeof(wchar_t);
    if (!KeyOpen(ARegHivePath, KEY_QUERY_VALUE)) {
        return std::string();
    }
    ReturnValue = kNotCalled;
    trap([&] {
        ReturnValue = RegQueryValueExW(KeyHandle.get(), runtime::Widen(ARegName).c_str(), nullptr, &ValueType,
                                       reinterpret_cast<BYTE*>(ReadBuffer.data()), &ReadBufferSize);
    });
    KeyHandle.reset();
    if (ReturnValue == ERROR_SUCCESS && AnsiSize(ValueType, ReadBufferSize) > kAnsiDataSize) {
        ReturnValue = ERROR_MORE_DATA;
    }
    if (ReturnValue == ERROR_SUCCESS) {
        // The data without its last character or byte, for a text its terminating zero. Data of
        // no bytes leaves nothing to cut: that is a failure of its own.
        trap([&] {
            const DWORD size = AnsiSize(ValueType, ReadBufferSize);
            if (size < 1) {
                runtime::Raise(runtime::kErrInvalidCall);
            }
            if (IsText(ValueType)) {
                result = runtime::Narrow(std::wstring_view(ReadBuffer).substr(0, size - 1));
            } else {
                result =
                    runtime::FromAnsi(std::string_view(reinterpret_cast<const char*>(ReadBuffer.data()), size - 1));
            }
        });
    } else {
        result = std::string();
    }
    return result;
}

Variant Tvx_ExternalRegistry::EnumKey(const std::string& ARegHivePath, int16_t AKeyIndex) {
    Variant result;
    ErrorTrap trap(Root, TypeName());
    if (!KeyOpen(ARegHivePath, KEY_ENUMERATE_SUB_KEYS)) {
        return std::string();
    }
    SubKeyName.assign(255, L' ');
    SubKeyNameLength = 255;
    ClassName.assign(255, L' ');
    ClassNameLength = 255;
    EnumReturnValue = kNotCalled;
    trap([&] {
        EnumReturnValue = RegEnumKeyExW(KeyHandle.get(), static_cast<DWORD>(AKeyIndex), SubKeyName.data(),
                                        &SubKeyNameLength, nullptr, ClassName.data(), &ClassNameLength, &LastWriteTime);
    });
    // Past the last subkey the result stays without a value.
    if (EnumReturnValue == ERROR_SUCCESS) {
        trap([&] {
            ClassName.resize(ClassNameLength);
            result = runtime::Narrow(std::wstring_view(SubKeyName).substr(0, SubKeyNameLength));
        });
    }
    KeyHandle.reset();
    return result;
}

Variant Tvx_ExternalRegistry::EnumValue(const std::string& ARegHivePath, int16_t AKeyIndex) {
    Variant result;
    ErrorTrap trap(Root, TypeName());
    if (!KeyOpen(ARegHivePath, KEY_QUERY_VALUE)) {
        return std::string();
    }
    ValueName.assign(255, L' ');
    ValueNameLength = 255;
    ValueDataSize = static_cast<DWORD>(ValueData.size());
    EnumReturnValue = kNotCalled;
    trap([&] {
        EnumReturnValue = RegEnumValueW(KeyHandle.get(), static_cast<DWORD>(AKeyIndex), ValueName.data(),
                                        &ValueNameLength, nullptr, &ValueType, ValueData.data(), &ValueDataSize);
    });
    // Data that did not fit the ANSI function's buffer gave no name either.
    if (EnumReturnValue == ERROR_SUCCESS && AnsiSize(ValueType, ValueDataSize) > kAnsiDataSize) {
        EnumReturnValue = ERROR_MORE_DATA;
    }
    if (EnumReturnValue == ERROR_SUCCESS) {
        trap([&] { result = runtime::Narrow(std::wstring_view(ValueName).substr(0, ValueNameLength)); });
    }
    KeyHandle.reset();
    return result;
}

int16_t Tvx_ExternalRegistry::EnumKeyCount(std::string AParseKey) {
    return CountNames(AParseKey, &Tvx_ExternalRegistry::EnumKey);
}

int16_t Tvx_ExternalRegistry::EnumValueCount(std::string AParseKey) {
    return CountNames(AParseKey, &Tvx_ExternalRegistry::EnumValue);
}

// A name that is empty ends the count: the unnamed default value stops it at its place.
int16_t Tvx_ExternalRegistry::CountNames(std::string AParseKey,
                                         Variant (Tvx_ExternalRegistry::*AEnumerate)(const std::string&, int16_t)) {
    int16_t result = 0;
    ErrorTrap trap(Root, TypeName());
    if (trap.If([&] { return runtime::Right(AParseKey, 1) != "\\"; })) {
        AParseKey += "\\";
    }
    // The count is a 16-bit number: a key with more names counts as the largest one.
    while (result < std::numeric_limits<int16_t>::max() &&
           trap.If([&] { return !((this->*AEnumerate)(AParseKey, result) == Variant(std::string())); })) {
        ++result;
    }
    return result;
}

// The predefined keys' handles as the system defines them (0x80000000 and up), as negative
// 32-bit numbers.
double Tvx_ExternalRegistry::GetHiveHandle(const std::string& AHiveName) {
    double result = 0;
    ErrorTrap trap(Root, TypeName());
    if (AHiveName == "HKEY_CLASSES_ROOT") {
        result = -2147483648.0;
    } else if (AHiveName == "HKEY_CURRENT_USER") {
        result = -2147483647.0;
    } else if (AHiveName == "HKEY_LOCAL_MACHINE") {
        result = -2147483646.0;
    } else if (AHiveName == "HKEY_USERS") {
        result = -2147483645.0;
    } else if (AHiveName == "HKEY_PERFORMANCE_DATA") {
        result = -2147483644.0;
    } else if (AHiveName == "HKEY_CURRENT_CONFIG") {
        result = -2147483643.0;
    } else if (AHiveName == "HKEY_DYN_DATA") {
        result = -2147483642.0;
    }
    return result;
}

double Tvx_ExternalRegistry::GetRegTypeNumber(std::string& ATypeName) {
    double result = 0;
    ErrorTrap trap(Root, TypeName());
    trap([&] { ATypeName = runtime::UCase(ATypeName); });
    struct TypeEntry {
        const char* name;
        double number;
    };
    // In the order the names are tested; "REG_DWORD_LITTLE_ENDIAN" is "REG_DWORD" again.
    static constexpr TypeEntry kTypes[] = {
        {"REG_SZ", 1},
        {"REG_EXPAND_SZ", 2},
        {"REG_BINARY", 3},
        {"REG_DWORD", 4},
        {"REG_MULTI_SZ", 7},
        {"REG_DWORD_LITTLE_ENDIAN", 4},
        {"REG_DWORD_BIG_ENDIAN", 5},
        {"REG_LINK", 6},
        {"REG_RESOURCE_LIST", 8},
        {"REG_FULL_RESOURCE_DESCRIPTOR", 9},
        {"REG_RESOURCE_REQUIREMENTS_LIST", 10},
    };
    for (const TypeEntry& entry : kTypes) {
        if (ATypeName == entry.name) {
            result = entry.number;
            break;
        }
    }
    return result;
}

bool Tvx_ExternalRegistry::PathSplit(const std::string& ARegHivePath) {
    BackslashPosition = Position(runtime::InStr(1, ARegHivePath, "\\"));
    if (BackslashPosition == 0) {
        return false;
    }
    HiveName = runtime::UCase(runtime::Left(ARegHivePath, BackslashPosition - 1));
    HiveHandle = static_cast<int32_t>(GetHiveHandle(HiveName));
    if (HiveHandle == 0) {
        return false;
    }
    KeyPath = runtime::Mid(ARegHivePath, BackslashPosition + 1);
    if (runtime::Right(KeyPath, 1) != "\\") {
        KeyPath += "\\";
    }
    return true;
}

// The 32-bit number widened with its sign, as the system's predefined key handles are.
HKEY Tvx_ExternalRegistry::HiveKey() const noexcept {
    return reinterpret_cast<HKEY>(static_cast<intptr_t>(HiveHandle));
}

LSTATUS Tvx_ExternalRegistry::KeyCreate(const std::string& AKeyPath) {
    // All zero: the key gets the default security, and its handle is not inherited.
    SecurityAttributes = SECURITY_ATTRIBUTES{};
    Disposition = 0;
    wchar_t noClass[] = L"";
    return RegCreateKeyExW(HiveKey(), runtime::Widen(AKeyPath).c_str(), 0, noClass, REG_OPTION_NON_VOLATILE,
                           KEY_ALL_ACCESS, &SecurityAttributes, KeyHandle.put(), &Disposition);
}
