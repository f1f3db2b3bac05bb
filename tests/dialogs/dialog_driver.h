// Shared by the dialog tests: a modal dialog run on the test thread while a
// helper thread drives it as a user would, a stand-in main window, the
// settings key read and written directly.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "gtest/gtest.h"
#include "model/split_job.h"
#include "registry_support.h"

namespace dialog_tests {

using testing_support::DeleteSettingsKey;
using testing_support::FirstRunValues;
using testing_support::OptionValues;
using testing_support::ReadStoredValue;
using testing_support::SettingsKeyPath;
using testing_support::StoredDwords;
using testing_support::StoredValue;
using testing_support::ValueNames;
using testing_support::WriteAllValues;
using testing_support::WriteRawValue;

OptionValues CurrentOptions();
void SetOptions(const OptionValues& values);

// Opens the modal dialog with open() on this thread; once the dialog with the
// caption is shown, drive(dialog) runs on a helper thread. Returns whether the
// dialog appeared and was closed again.
struct DriveResult {
    bool shown = false;
    bool closed = false;
};
DriveResult RunDriven(const std::string& caption, const std::function<void()>& open,
                      const std::function<void(HWND)>& drive);

void Click(HWND dialog, int id);  // posts BM_CLICK, as a mouse click would
bool IsChecked(HWND dialog, int id);
bool WaitClosed(HWND dialog, DWORD timeoutMs = 10000);
void SetEditText(HWND dialog, int id, const std::string& text);

bool IsTopmost(HWND window);

// Sets AppInstance, the common controls and a stand-in MainWindow that
// records the help requests passed on to it.
class DialogTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    static HELPINFO lastHelp;  // the last help request the main window received

private:
    static LRESULT CALLBACK StandInProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
};

}  // namespace dialog_tests
