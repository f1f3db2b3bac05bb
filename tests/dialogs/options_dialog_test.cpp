// The Options dialog driven as a user would: boxes clicked, OK, Cancel, the
// close box and Escape, the conflict warning, the main window's topmost state.
#include "ui/options_dialog.h"

#include <algorithm>

#include "messages.h"
#include "model/split_job.h"
#include "registry_support.h"
#include "resource.h"
#include "settings/registry_settings.h"
#include "test_support.h"
#include "ui/main_dialog.h"
#include "ui_driver.h"

namespace dialog_tests {

using namespace testing_support;
namespace {

using testing_support::MessageBoxWatcher;

constexpr OptionValues NoneSet{};
constexpr OptionValues Alternate{1, 0, 1, 0, 1, 0, 1, 0};

// The check box of each option, in registry order, from the dialog's table.
std::array<int, OptionCount> BoxIdsOf() {
    std::array<int, OptionCount> ids{};
    for (size_t i = 0; i < OptionCount; ++i)
        for (const OptionControl& control : OptionControls)
            if (control.field == SettingValues[i].field) ids[i] = control.controlId;
    return ids;
}
const std::array<int, OptionCount> BoxIds = BoxIdsOf();

OptionValues ReadBoxes(HWND dialog) {
    OptionValues boxes{};
    for (size_t i = 0; i < BoxIds.size(); ++i)
        boxes[i] = IsButtonChecked(dialog, BoxIds[i]) ? 1 : 0;
    return boxes;
}

template <typename Ids>
void ToggleBoxes(HWND dialog, const Ids& ids) {
    for (int id : ids) SendDlgItemMessageA(dialog, id, BM_CLICK, 0, 0);
}

class OptionsDialog : public DialogTest {
protected:
    void SetUp() override {
        DialogTest::SetUp();
        DeleteSettingsKey();
    }
    DriveResult Run(const std::function<void(HWND)>& drive) {
        return RunDriven(
            messages::OptionsCaption, [] { RunOptionsDialog(MainWindow); }, drive);
    }
    // Opens the dialog once more and gives back the boxes it shows.
    OptionValues BoxesOnReopening() {
        OptionValues boxes{};
        Run([&](HWND dialog) {
            boxes = ReadBoxes(dialog);
            Click(dialog, IDCANCEL);
        });
        return boxes;
    }
};

// Three patterns of boxes, in which each box but the first has a pattern of
// its own (its position's bits), so that a box that sets, stores or shows
// another's value fails one of them; the first box, never set here, is set
// by OkWithoutChange's values.
class OptionsBoxPattern : public OptionsDialog, public ::testing::WithParamInterface<size_t> {};

TEST_P(OptionsBoxPattern, RoundTripsThroughTheRegistry) {
    const size_t bit = GetParam();
    OptionValues expected{};
    std::vector<int> clicked;
    for (size_t i = 0; i < BoxIds.size(); ++i) {
        expected[i] = (i >> bit) & 1;
        if (expected[i]) clicked.push_back(BoxIds[i]);
    }
    SetOptions(NoneSet);
    SaveSettings();
    MessageBoxWatcher boxes;
    DriveResult run = Run([&](HWND dialog) {
        ToggleBoxes(dialog, clicked);
        Click(dialog, IDOK);
    });
    ASSERT_TRUE(run.shown && run.closed);
    EXPECT_EQ(CurrentOptions(), expected);
    EXPECT_EQ(StoredDwords(), AsStored(expected));
    bool onTop = std::count(clicked.begin(), clicked.end(), IDC_OPT_ALWAYS_ON_TOP) == 1;
    EXPECT_EQ(IsTopmost(MainWindow), onTop);
    EXPECT_EQ(boxes.Count(), 0u);
    SetOptions(NoneSet);
    LoadSettings();
    EXPECT_EQ(CurrentOptions(), expected);
    EXPECT_EQ(BoxesOnReopening(), expected);
}

INSTANTIATE_TEST_SUITE_P(EachBit, OptionsBoxPattern, ::testing::Range<size_t>(0, 3));

TEST_F(OptionsDialog, OkWithoutChangeRewritesAllEightAndReappliesTopmost) {
    WriteAllValues({5, 0, 5, 0, 5, 0, 5, 0});
    LoadSettings();
    SetWindowPos(MainWindow, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    MessageBoxWatcher boxes;
    OptionValues shown{};
    DriveResult run = Run([&](HWND dialog) {
        shown = ReadBoxes(dialog);
        Click(dialog, IDOK);
    });
    ASSERT_TRUE(run.shown && run.closed);
    EXPECT_EQ(shown, Alternate);
    EXPECT_EQ(StoredDwords(), AsStored(Alternate));
    EXPECT_FALSE(IsTopmost(MainWindow));
    EXPECT_EQ(boxes.Count(), 0u);
}

enum class CloseWay { CancelButton, CloseBox, EscapeKey };

std::string CloseWayName(const ::testing::TestParamInfo<CloseWay>& way) {
    const char* names[] = {"CancelButton", "CloseBox", "EscapeKey"};
    return names[static_cast<int>(way.param)];
}

class OptionsClosedWithoutOk : public OptionsDialog,
                               public ::testing::WithParamInterface<CloseWay> {};

TEST_P(OptionsClosedWithoutOk, ChangesNothing) {
    WriteAllValues({5, 0, 5, 0, 5, 0, 5, 0});
    LoadSettings();
    DriveResult run = Run([&](HWND dialog) {
        ToggleBoxes(dialog, BoxIds);
        if (GetParam() == CloseWay::CancelButton) Click(dialog, IDCANCEL);
        if (GetParam() == CloseWay::CloseBox) PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
        if (GetParam() == CloseWay::EscapeKey)
            PostMessageA(GetDlgItem(dialog, IDC_OPT_MORE_MEM), WM_KEYDOWN, VK_ESCAPE, 0);
    });
    ASSERT_TRUE(run.shown && run.closed);
    EXPECT_EQ(CurrentOptions(), Alternate);
    EXPECT_EQ(StoredDwords(), (StoredValues{5, 0, 5, 0, 5, 0, 5, 0}));
    EXPECT_FALSE(IsTopmost(MainWindow));
}

INSTANTIATE_TEST_SUITE_P(EachWay, OptionsClosedWithoutOk,
                         ::testing::Values(CloseWay::CancelButton, CloseWay::CloseBox,
                                           CloseWay::EscapeKey),
                         CloseWayName);

TEST_F(OptionsDialog, BothNamingBoxesWarnOnceBeforeTheSaveAndAreStoredAsSet) {
    SetOptions(NoneSet);
    SaveSettings();
    MessageBoxWatcher boxes;
    StoredValues storedAtWarning{};
    boxes.AnswerWith([&](const testing_support::SeenBox&) {
        storedAtWarning = StoredDwords();
        return IDOK;
    });
    HWND shownDialog = nullptr;
    DriveResult run = Run([&](HWND dialog) {
        shownDialog = dialog;
        ToggleBoxes(dialog, std::array<int, 3>{IDC_OPT_USE_DOS83, IDC_OPT_LONG_JOIN_NAME,
                                               IDC_OPT_ALWAYS_ON_TOP});
        Click(dialog, IDOK);
    });
    ASSERT_TRUE(run.shown && run.closed);
    ASSERT_EQ(boxes.Transcript(),
              std::vector<std::string>{
                  "Warning|The \"Use DOS 8.3 format\" and \"Use source filename with join "
                  "filename\" options conflict.\nDOS 8.3 filenames will be used."});
    EXPECT_EQ(boxes.Seen()[0].owner, shownDialog);
    EXPECT_EQ(storedAtWarning, AsStored(NoneSet));
    const OptionValues expected{1, 1, 0, 0, 0, 0, 0, 1};
    EXPECT_EQ(StoredDwords(), AsStored(expected));
    EXPECT_EQ(BoxesOnReopening(), expected);
}

TEST_F(OptionsDialog, ContextHelpIsPassedToTheMainWindow) {
    DriveResult run = Run([&](HWND dialog) {
        HWND box = GetDlgItem(dialog, IDC_OPT_MORE_MEM);
        HELPINFO help{sizeof help, HELPINFO_WINDOW, IDC_OPT_MORE_MEM, box, 0, {0, 0}};
        SendMessageA(dialog, WM_HELP, 0, reinterpret_cast<LPARAM>(&help));
        Click(dialog, IDCANCEL);
    });
    ASSERT_TRUE(run.shown && run.closed);
    EXPECT_EQ(lastHelp.iCtrlId, IDC_OPT_MORE_MEM);
}

}  // namespace
}  // namespace dialog_tests
