#pragma once

#include <string>

// The per-user settings store of Visual Basic programs:
// HKEY_CURRENT_USER\Software\VB and VBA Program Settings\<application>\<section>, one REG_SZ
// value per key. Other programs (the add-in's macros) read the same place.
namespace runtime {

// The stored text, or defaultValue when the key or value is missing or holds no text.
// Raises "invalid procedure call" when the application, section or key is empty.
std::string GetSetting(const std::string& appName, const std::string& section, const std::string& key,
                       const std::string& defaultValue = "");

// Stores the text, creating the keys as needed. Raises "invalid procedure call" when the
// application, section or key is empty, and a run-time error when the store cannot be written.
void SaveSetting(const std::string& appName, const std::string& section, const std::string& key,
                 const std::string& setting);

} // namespace runtime
