// The tooltip window of a dialog and the record of each of its tools.
#include "ui/tool_tips.h"

#include "model/split_job.h"
#include "ui/main_dialog.h"

TTTOOLINFOA ToolRecord(HWND dialog, int controlId, const char* text) {
    TTTOOLINFOA tool{};
    tool.cbSize = TTTOOLINFOA_V1_SIZE;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = dialog;
    tool.uId = reinterpret_cast<UINT_PTR>(GetDlgItem(dialog, controlId));
    tool.hinst = AppInstance;
    // The control copies the text; it never writes through the pointer.
    tool.lpszText = const_cast<char*>(text);
    return tool;
}

HWND AddTooltips(HWND dialog, const ToolTip* tips, size_t count) {
    HWND tooltip = CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                                   CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                   dialog, nullptr, AppInstance, nullptr);
    if (!tooltip) return nullptr;
    for (size_t i = 0; i < count; ++i) {
        TTTOOLINFOA tool = ToolRecord(dialog, tips[i].controlId, tips[i].text);
        SendMessageA(tooltip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    }
    return tooltip;
}
