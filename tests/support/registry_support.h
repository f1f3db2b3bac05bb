// The settings key of the test prefix read and written directly, in this
// program's registry view (a 32-bit test sees the 32-bit view, as the 32-bit
// program does), so a test can set the options a run starts with.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>

namespace testing_support {

using OptionValues = std::array<uint32_t, 8>;  // in registry order

constexpr char SettingsKeyPath[] = "SOFTWARE\\Veltra Partola 95";
extern const std::array<const char*, 8> ValueNames;
constexpr OptionValues FirstRunValues{0, 1, 1, 0, 1, 0, 0, 0};

// Positions of the options in OptionValues.
enum OptionSlot : size_t {
    SlotUseDos83,
    SlotUseLongJoinBatName,
    SlotBackupPrompt,
    SlotDeletePrompt,
    SlotCloseWhenDone,
    SlotNoReminders,
    SlotMoreMem,
    SlotAlwaysOnTop
};

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
std::array<int64_t, 8> StoredDwords();
// The values as StoredDwords gives them once they are stored.
std::array<int64_t, 8> AsStored(const OptionValues& values);

// The process's Options record as values in registry order, and back.
OptionValues CurrentOptions();
void SetOptions(const OptionValues& values);

}  // namespace testing_support
