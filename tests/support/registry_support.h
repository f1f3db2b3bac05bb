// The settings key of the test prefix read and written directly, in this
// program's registry view (a 32-bit test sees the 32-bit view, as the 32-bit
// program does), so a test can set the options a run starts with.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>

#include "settings/registry_settings.h"

namespace testing_support {

// One value per row of the program's settings' table, in its order.
using OptionValues = std::array<uint32_t, OptionCount>;
using StoredValues = std::array<int64_t, OptionCount>;

constexpr OptionValues FirstRunOptions() {
    OptionValues values{};
    for (size_t i = 0; i < OptionCount; ++i) values[i] = SettingValues[i].firstRunValue;
    return values;
}
constexpr OptionValues FirstRunValues = FirstRunOptions();

// The values with one option changed.
constexpr OptionValues With(OptionValues values, uint32_t OptionsRecord::*field, uint32_t value) {
    for (size_t i = 0; i < OptionCount; ++i)
        if (SettingValues[i].field == field) values[i] = value;
    return values;
}

// A first run's options, but the progress window closes itself after a job
// and no reminder is shown, so a finished job brings the main window back.
constexpr OptionValues QuietOptionsWithBackups =
    With(FirstRunValues, &OptionsRecord::NoReminders, 1);
constexpr OptionValues QuietOptions =
    With(QuietOptionsWithBackups, &OptionsRecord::BackupPrompt, 0);

void DeleteSettingsKey();
void WriteRawValue(const char* name, DWORD type, const void* data, DWORD size);
void WriteAllValues(const OptionValues& values);
struct StoredValue {
    bool present;
    DWORD type;
    DWORD size;
    DWORD value;
};
StoredValue ReadStoredValue(const char* name);
// Each value as stored, or -1 when it is missing or not a 4-byte REG_DWORD.
StoredValues StoredDwords();

// The values as StoredDwords gives them.
StoredValues AsStored(const OptionValues& values);

// The process's Options record as values in registry order, and back.
OptionValues CurrentOptions();
void SetOptions(const OptionValues& values);

}  // namespace testing_support
