// The options under HKEY_LOCAL_MACHINE\SOFTWARE\Veltra Partola 95, and the
// settings' table: one row per option, the only place that names its
// registry value and its first-run value.
#pragma once

#include <cstdint>
#include <iterator>

#include "model/split_job.h"

inline constexpr char SettingsKey[] = "SOFTWARE\\Veltra Partola 95";

struct SettingValue {
    const char* name;  // the REG_DWORD value's name
    uint32_t OptionsRecord::*field;
    uint32_t firstRunValue;
};

// In the order the values are read and written.
inline constexpr SettingValue SettingValues[] = {
    {"Use DOS 8.3", &OptionsRecord::UseDos83, 0},
    {"UseLongJoinBatName", &OptionsRecord::UseLongJoinBatName, 1},
    {"BackupPrompt", &OptionsRecord::BackupPrompt, 1},
    {"DeletePrompt", &OptionsRecord::DeletePrompt, 0},
    {"CloseWhenDone", &OptionsRecord::CloseWhenDone, 1},
    {"NoReminders", &OptionsRecord::NoReminders, 0},
    {"MoreMem", &OptionsRecord::MoreMem, 0},
    {"AlwaysOnTop", &OptionsRecord::AlwaysOnTop, 0},
};

inline constexpr size_t OptionCount = std::size(SettingValues);

void LoadSettings();
void SaveSettings();
