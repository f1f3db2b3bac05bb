// The source path taken from the command line.
#include "ui/command_line.h"

#include <windows.h>

#include <string>

#include "model/split_job.h"
#include "resource.h"
#include "ui/main_dialog.h"

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

bool TailNamesSource(std::string_view tail) { return !tail.empty() && tail.front() != '/'; }

}  // namespace

std::string_view CommandLineTail(std::string_view line) {
    size_t at = 0;
    while (at < line.size() && IsBlank(line[at])) ++at;
    if (at < line.size() && line[at] == '"') {
        ++at;
        while (at < line.size() && line[at] != '"' && line[at] != '\t') ++at;
    } else {
        while (at < line.size() && !IsBlank(line[at])) ++at;
    }
    if (at < line.size() && line[at] == '"') ++at;
    while (at < line.size() && IsBlank(line[at])) ++at;
    return line.substr(at);
}

void TakeSourceFromTail(std::string_view tail) {
    if (TailNamesSource(tail) && tail.size() < PathCapacity) CopyText(SplitJob.SourcePath, tail);
}

void ShowOverlongSourceTail(std::string_view tail) {
    if (TailNamesSource(tail) && tail.size() >= PathCapacity)
        SetDlgItemTextA(MainWindow, IDC_SOURCE, std::string(tail).c_str());
}
