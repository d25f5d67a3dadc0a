#pragma once

#include "framework/Tvx_Node.h"
#include "runtime/Handle.h"
#include "runtime/Variant.h"

#include <windows.h>

#include <array>
#include <cstdint>
#include <string>

// Registry keys and values by path ("HKEY_CURRENT_USER\Software\...") and type name ("REG_SZ",
// "REG_DWORD", ...), through the system's wide registry functions, so that names and texts arrive
// exactly. Every value crosses as text and one zero: a text type's characters, a byte type's ANSI
// codes (a text the code page cannot hold exactly is refused there). What is stored for a text the
// code page holds is what the ANSI functions stored. Failures of the system show only in the results.
// Keys are opened in the registry view of the program's own kind, with no KEY_WOW64_* flag: on
// 64-bit Windows this 32-bit program's HKEY_LOCAL_MACHINE\SOFTWARE is the 32-bit view
// (Wow6432Node), where the uninstall entries of 32-bit setups live and the list of installed
// programs shows them, and where the uninstall looks for the entry again. HKEY_CURRENT_USER\Software
// (Word's settings, the settings store, the shell folders) is one key for both kinds.
class Tvx_ExternalRegistry final : public Tvx_Node {
public:
    const char* TypeName() const noexcept override { return "Tvx_ExternalRegistry"; }

    bool AddKey(const std::string& ANewKey);
    // Deletes the last key of the path (not its subkeys) and leaves the key path, without the
    // hive and without one trailing backslash, in ASubKey.
    bool DelKey(std::string& ASubKey);
    // Upper-cases ARegType and, for "REG_SZ" and "REG_MULTI_SZ", appends a zero character to
    // ARegValue. A missing key is created. For a byte type, a value with a character the ANSI code
    // page lacks is reported and not written, and nothing is created for it.
    bool WriteValue(const std::string& ARegHivePath, const std::string& ARegName, runtime::Variant& ARegValue,
                    std::string& ARegType);
    // A missing key is created (and stays), and the result is False.
    bool DelValue(const std::string& ARegHivePath, const std::string& ARegName);
    // The stored text without its last character, or the stored bytes without their last one as
    // their ANSI characters; "" for a missing key or value, for a text of 255 characters or more
    // and for other data longer than 255 bytes.
    runtime::Variant ReadValue(const std::string& ARegHivePath, const std::string& ARegName);
    runtime::Variant EnumKey(const std::string& ARegHivePath, int16_t AKeyIndex);
    runtime::Variant EnumValue(const std::string& ARegHivePath, int16_t AKeyIndex);
    int16_t EnumKeyCount(std::string AParseKey);
    int16_t EnumValueCount(std::string AParseKey);

private:
    double GetHiveHandle(const std::string& AHiveName);
    // The names of a key by index, from 0 to the first empty one: the two counts.
    int16_t CountNames(std::string AParseKey,
                       runtime::Variant (Tvx_ExternalRegistry::*AEnumerate)(const std::string&, int16_t));
    double GetRegTypeNumber(std::string& ATypeName);

    // Splits the path into the hive and the key path ending in a backslash; false (and no call
    // of the system) for a path without a backslash or with an unknown hive.
    bool PathSplit(const std::string& ARegHivePath);
    HKEY HiveKey() const noexcept;
    // Opens or creates a key below the hive with every right; the system's result.
    LSTATUS KeyCreate(const std::string& AKeyPath);
    bool KeyOpen(const std::string& ARegHivePath, REGSAM AAccess);

    runtime::RegKey KeyHandle;
    int32_t ReturnValue = 0;
    SECURITY_ATTRIBUTES SecurityAttributes{};
    int32_t HiveHandle = 0;
    std::string KeyPath;
    std::string HiveName;
    int16_t BackslashPosition = 0;
    DWORD Disposition = 0;
    std::string ParentKeyPath;
    std::string KeyName;
    int16_t LastBackslashPosition = 0;
    double TypeNumber = 0;
    // Text comes as UTF-16, other data as bytes, both into this buffer.
    std::wstring ReadBuffer;
    DWORD ReadBufferSize = 0;
    std::wstring SubKeyName;
    DWORD SubKeyNameLength = 0;
    std::wstring ClassName;
    DWORD ClassNameLength = 0;
    FILETIME LastWriteTime{};
    int32_t EnumReturnValue = 0;
    std::wstring ValueName;
    DWORD ValueNameLength = 0;
    DWORD ValueType = 0;
    // 255 characters of text in UTF-16: what fitted the ANSI function's 255 bytes.
    std::array<BYTE, 2 * 255> ValueData{};
    DWORD ValueDataSize = 0;
};
