// The options as REG_DWORD values under the key
// HKEY_LOCAL_MACHINE\SOFTWARE\Veltra Partola 95. Loaded once at start-up, saved by every OK of the
// Options dialog. Nothing here is ever reported: a registry that cannot be reached leaves the
// options as they are.
#include "settings/registry_settings.h"

#include <windows.h>

namespace {

// Opens the key, creating it when missing. False when it can be neither.
bool OpenSettingsKey(HKEY& key, bool& created) {
    DWORD disposition = 0;
    LONG status =
        RegCreateKeyExA(HKEY_LOCAL_MACHINE, SettingsKey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_ALL_ACCESS, nullptr, &key, &disposition);
    created = disposition == REG_CREATED_NEW_KEY;
    return status == ERROR_SUCCESS;
}

void SetFirstRunValues() {
    for (const SettingValue& value : SettingValues) Options.*value.field = value.firstRunValue;
}

// A value that is missing, empty or larger than 4 bytes keeps the option's
// first-run value; any other value counts as set when one of its bytes is.
void ReadValue(HKEY key, const SettingValue& value) {
    uint32_t stored = 0;
    DWORD size = sizeof stored;
    if (RegQueryValueExA(key, value.name, nullptr, nullptr, reinterpret_cast<BYTE*>(&stored),
                         &size) != ERROR_SUCCESS ||
        size == 0)
        return;
    Options.*value.field = stored != 0 ? 1 : 0;
}

void WriteValues(HKEY key) {
    for (const SettingValue& value : SettingValues) {
        DWORD stored = Options.*value.field != 0 ? 1 : 0;
        RegSetValueExA(key, value.name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&stored),
                       sizeof stored);
    }
}

}  // namespace

void LoadSettings() {
    SetFirstRunValues();
    HKEY key = nullptr;
    bool created = false;
    if (!OpenSettingsKey(key, created)) return;
    if (created) {
        WriteValues(key);
    } else {
        for (const SettingValue& value : SettingValues) ReadValue(key, value);
    }
    RegCloseKey(key);
}

void SaveSettings() {
    HKEY key = nullptr;
    bool created = false;
    if (!OpenSettingsKey(key, created)) return;
    WriteValues(key);
    RegCloseKey(key);
}
