// The Options dialog: the options as check boxes, and its table: one row per
// control, the only place that names an option's check box and help topic.
#pragma once

#include <windows.h>

#include <cstdint>

#include "model/split_job.h"
#include "resource.h"

struct OptionControl {
    uint32_t OptionsRecord::*field;  // none for the group box, which only has help
    int controlId;
    DWORD helpId;
};

// In the order the boxes stand.
inline constexpr OptionControl OptionControls[] = {
    {&OptionsRecord::UseDos83, IDC_OPT_USE_DOS83, IDH_OPT_USE_DOS83},
    {&OptionsRecord::UseLongJoinBatName, IDC_OPT_LONG_JOIN_NAME, IDH_OPT_LONG_JOIN_NAME},
    {&OptionsRecord::BackupPrompt, IDC_OPT_BACKUP_PROMPT, IDH_OPT_BACKUP_PROMPT},
    {&OptionsRecord::DeletePrompt, IDC_OPT_DELETE_PROMPT, IDH_OPT_DELETE_PROMPT},
    {&OptionsRecord::CloseWhenDone, IDC_OPT_CLOSE_WHEN_DONE, IDH_OPT_CLOSE_WHEN_DONE},
    {&OptionsRecord::NoReminders, IDC_OPT_NO_REMINDERS, IDH_OPT_NO_REMINDERS},
    {&OptionsRecord::MoreMem, IDC_OPT_MORE_MEM, IDH_OPT_MORE_MEM},
    {&OptionsRecord::AlwaysOnTop, IDC_OPT_ALWAYS_ON_TOP, IDH_OPT_ALWAYS_ON_TOP},
    {nullptr, IDC_OPT_GROUP, IDH_OPT_GROUP},
};

void RunOptionsDialog(HWND owner);

// The pairs of control id and help context id of the table, ended by a pair
// of zeros, as the help viewer takes them. The dialog's help requests come to
// its owner, the main window, which hands them on.
const DWORD* OptionHelpPairs();
// The help context id of a control of the dialog; 0 when it has none.
DWORD OptionHelpContext(int controlId);
