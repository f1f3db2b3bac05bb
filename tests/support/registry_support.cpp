// Direct access to the settings key for the tests.
#include "registry_support.h"

#include <cstring>

#include "model/split_job.h"

namespace testing_support {

const std::array<const char*, 8> ValueNames{"Use DOS 8.3",  "UseLongJoinBatName", "BackupPrompt",
                                            "DeletePrompt", "CloseWhenDone",      "NoReminders",
                                            "MoreMem",      "AlwaysOnTop"};

namespace {

HKEY OpenKey() {
    HKEY key = nullptr;
    RegCreateKeyExA(HKEY_LOCAL_MACHINE, SettingsKeyPath, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                    &key, nullptr);
    return key;
}

}  // namespace

void DeleteSettingsKey() { RegDeleteKeyA(HKEY_LOCAL_MACHINE, SettingsKeyPath); }

void WriteRawValue(const char* name, DWORD type, const void* data, DWORD size) {
    HKEY key = OpenKey();
    RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size);
    RegCloseKey(key);
}

void WriteAllValues(const OptionValues& values) {
    for (size_t i = 0; i < values.size(); ++i) {
        DWORD value = values[i];
        WriteRawValue(ValueNames[i], REG_DWORD, &value, sizeof value);
    }
}

StoredValue ReadStoredValue(const char* name) {
    StoredValue stored{false, 0, 0, 0};
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, SettingsKeyPath, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return stored;
    BYTE data[64] = {};
    stored.size = sizeof data;
    stored.present =
        RegQueryValueExA(key, name, nullptr, &stored.type, data, &stored.size) == ERROR_SUCCESS;
    memcpy(&stored.value, data, sizeof stored.value);
    RegCloseKey(key);
    return stored;
}

std::array<int64_t, 8> StoredDwords() {
    std::array<int64_t, 8> values{};
    for (size_t i = 0; i < values.size(); ++i) {
        StoredValue stored = ReadStoredValue(ValueNames[i]);
        bool dword = stored.present && stored.type == REG_DWORD && stored.size == 4;
        values[i] = dword ? static_cast<int64_t>(stored.value) : -1;
    }
    return values;
}

std::array<int64_t, 8> AsStored(const OptionValues& values) {
    std::array<int64_t, 8> stored{};
    for (size_t i = 0; i < values.size(); ++i) stored[i] = values[i];
    return stored;
}

namespace {

constexpr std::array<uint32_t OptionsRecord::*, 8> Fields{
    &OptionsRecord::UseDos83,     &OptionsRecord::UseLongJoinBatName, &OptionsRecord::BackupPrompt,
    &OptionsRecord::DeletePrompt, &OptionsRecord::CloseWhenDone,      &OptionsRecord::NoReminders,
    &OptionsRecord::MoreMem,      &OptionsRecord::AlwaysOnTop};

}  // namespace

OptionValues CurrentOptions() {
    OptionValues values{};
    for (size_t i = 0; i < Fields.size(); ++i) values[i] = Options.*Fields[i];
    return values;
}

void SetOptions(const OptionValues& values) {
    for (size_t i = 0; i < Fields.size(); ++i) Options.*Fields[i] = values[i];
}

}  // namespace testing_support
