// Every resource and control id, shared by the .rc templates and the code.
#pragma once

// Icon and dialog templates.
#define IDI_APP 1
#define IDD_MAIN 1
#define IDD_BACKUP 2
#define IDD_PROGRESS 3
#define IDD_OPTIONS 4
#define IDD_ABOUT 5

// Main dialog (template 1).
#define IDC_HELP_BUTTON 9
#define IDC_PIECE_COUNT_LABEL 99
#define IDC_SIZE_LABEL 100
#define IDC_ABOUT 102
#define IDC_SOURCE 103
#define IDC_DEST 104
#define IDC_BROWSE_SOURCE 105
#define IDC_SIZE_TEXT 106
#define IDC_BROWSE_DEST 107
#define IDC_SOURCE_GROUP 109
#define IDC_OPTIONS 110
#define IDC_DEST_GROUP 112
#define IDC_SIZE_GROUP 113
#define IDC_SPECIFIED 114
#define IDC_UNIT_LIST 115
#define IDC_SPAN 116
#define IDC_PRESET 117
#define IDC_PRESET_LIST 118
#define IDC_SPLIT 128

// Progress dialog (template 3).
#define IDC_PROGRESS_TITLE 100
#define IDC_PROGRESS_STATUS 101
#define IDC_PROGRESS_BAR 127

// Backup folder dialog (template 2).
#define IDC_BACKUP_GROUP 101
#define IDC_BROWSE_BACKUP 120
#define IDC_BACKUP_PATH 126

// Options dialog (template 4).
#define IDC_OPT_USE_DOS83 108
#define IDC_OPT_LONG_JOIN_NAME 111
#define IDC_OPT_DELETE_PROMPT 119
#define IDC_OPT_GROUP 121
#define IDC_OPT_CLOSE_WHEN_DONE 122
#define IDC_OPT_NO_REMINDERS 123
#define IDC_OPT_MORE_MEM 124
#define IDC_OPT_ALWAYS_ON_TOP 125
#define IDC_OPT_BACKUP_PROMPT 129

// Help context ids of the Options controls: the help source names its topics
// by these names.
#define IDH_OPT_USE_DOS83 10
#define IDH_OPT_DELETE_PROMPT 11
#define IDH_OPT_CLOSE_WHEN_DONE 13
#define IDH_OPT_NO_REMINDERS 14
#define IDH_OPT_MORE_MEM 15
#define IDH_OPT_ALWAYS_ON_TOP 16
#define IDH_OPT_GROUP 17
#define IDH_OPT_LONG_JOIN_NAME 18
#define IDH_OPT_BACKUP_PROMPT 19

// About dialog (template 5).
#define IDC_ABOUT_HOMEPAGE 101
#define IDC_ABOUT_EMAIL 102
#define IDC_ABOUT_URL 103
#define IDC_ABOUT_ADDRESS 104
#define IDC_ABOUT_ICON 130
