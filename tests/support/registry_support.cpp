// Direct access to the settings key for the tests.
#include "registry_support.h"

#include <cstring>

namespace testing_support {

namespace {

HKEY OpenKey() {
    HKEY key = nullptr;
    RegCreateKeyExA(HKEY_LOCAL_MACHINE, SettingsKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                    nullptr);
    return key;
}

}  // namespace

void DeleteSettingsKey() { RegDeleteKeyA(HKEY_LOCAL_MACHINE, SettingsKey); }

void WriteRawValue(const char* name, DWORD type, const void* data, DWORD size) {
    HKEY key = OpenKey();
    RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size);
    RegCloseKey(key);
}

void WriteAllValues(const OptionValues& values) {
    for (size_t i = 0; i < values.size(); ++i) {
        DWORD value = values[i];
        WriteRawValue(SettingValues[i].name, REG_DWORD, &value, sizeof value);
    }
}

StoredValue ReadStoredValue(const char* name) {
    StoredValue stored{false, 0, 0, 0};
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, SettingsKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return stored;
    BYTE data[64] = {};
    stored.size = sizeof data;
    stored.present =
        RegQueryValueExA(key, name, nullptr, &stored.type, data, &stored.size) == ERROR_SUCCESS;
    memcpy(&stored.value, data, sizeof stored.value);
    RegCloseKey(key);
    return stored;
}

StoredValues StoredDwords() {
    StoredValues values{};
    for (size_t i = 0; i < values.size(); ++i) {
        StoredValue stored = ReadStoredValue(SettingValues[i].name);
        bool dword = stored.present && stored.type == REG_DWORD && stored.size == 4;
        values[i] = dword ? static_cast<int64_t>(stored.value) : -1;
    }
    return values;
}

StoredValues AsStored(const OptionValues& values) {
    StoredValues stored{};
    for (size_t i = 0; i < values.size(); ++i) stored[i] = values[i];
    return stored;
}

OptionValues CurrentOptions() {
    OptionValues values{};
    for (size_t i = 0; i < OptionCount; ++i) values[i] = Options.*SettingValues[i].field;
    return values;
}

void SetOptions(const OptionValues& values) {
    for (size_t i = 0; i < OptionCount; ++i) Options.*SettingValues[i].field = values[i];
}

}  // namespace testing_support
