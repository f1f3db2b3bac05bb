// The source path taken from the command line.
#include "ui/command_line.h"

#include <windows.h>

#include <string>

#include "model/split_job.h"
#include "resource.h"
#include "ui/main_dialog.h"

namespace {

bool TailNamesSource(std::string_view tail) { return !tail.empty() && tail.front() != '/'; }

}  // namespace

void TakeSourceFromTail(std::string_view tail) {
    if (TailNamesSource(tail) && tail.size() < PathCapacity) CopyText(SplitJob.SourcePath, tail);
}

void ShowOverlongSourceTail(std::string_view tail) {
    if (TailNamesSource(tail) && tail.size() >= PathCapacity)
        SetDlgItemTextA(MainWindow, IDC_SOURCE, std::string(tail).c_str());
}
