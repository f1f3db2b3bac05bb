// A test that starts the real program with known options and works it from
// its main window: folders for sources and outputs, and the waits for a job
// to bring the main window back.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "program_session.h"
#include "registry_support.h"
#include "test_support.h"

namespace soak_tests {

class ProgramTest : public ::testing::Test {
protected:
    // The run starts with the first-run options, except that the progress
    // window closes by itself and no reminder or backup question interrupts.
    void SetUp() override {
        testing_support::OptionValues options = testing_support::FirstRunValues;
        options[testing_support::SlotBackupPrompt] = 0;
        options[testing_support::SlotCloseWhenDone] = 1;
        options[testing_support::SlotNoReminders] = 1;
        testing_support::WriteAllValues(options);
        session = std::make_unique<ProgramSession>();
        main = session->Main();
        ASSERT_NE(main, nullptr);
    }

    // A source of random bytes in the sources folder; its bytes are kept.
    std::string MakeSource(const std::string& name, uint32_t size, uint32_t seed = 3) {
        std::string path = sources.File(name);
        bytes = testing_support::WriteRandomFile(path, size, seed);
        return path;
    }

    std::string FreshDest(const std::string& name) {
        std::string dest = outputs.File(name);
        CreateDirectoryA(dest.c_str(), nullptr);
        return dest;
    }

    // After a job began: the main window that comes back once it is over.
    void TakeMainBack() {
        HWND back = session->WaitForMainBack(main);
        ASSERT_NE(back, nullptr) << "the main window did not come back; boxes seen: "
                                 << ::testing::PrintToString(session->boxes.Transcript());
        main = back;
    }

    // A split that the progress window closes by itself after.
    void SplitUntilMainBack(const SplitRequest& request) {
        ASSERT_TRUE(session->StartSplit(main, request));
        TakeMainBack();
    }

    testing_support::TempFolder sources;
    testing_support::TempFolder outputs;
    std::string bytes;  // of the last source made
    std::unique_ptr<ProgramSession> session;
    HWND main = nullptr;
};

}  // namespace soak_tests
