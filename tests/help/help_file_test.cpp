// The help file the build writes, read back as a help viewer reads it.
#include <gtest/gtest.h>
#include <windows.h>

#include <set>
#include <string>

#include "hlp_reader.h"
#include "resource.h"
#include "ui/options_dialog.h"
#include "ui_driver.h"

namespace {

using help_reader::HelpFile;
using help_reader::Topic;

std::string HelpFilePath() {
    std::string path = testing_support::ProgramPath();
    return path.substr(0, path.rfind('\\') + 1) + "Partola95.hlp";
}

const HelpFile& Help() {
    static const HelpFile help = help_reader::ReadHelpFile(HelpFilePath());
    return help;
}

// The text of a control of the Options dialog, without its '&' marks.
std::string OptionsControlText(int id) {
    HWND dialog = testing_support::CreateHiddenDialog(IDD_OPTIONS);
    char text[256] = "";
    GetDlgItemTextA(dialog, id, text, sizeof text);
    DestroyWindow(dialog);
    std::string plain;
    for (const char* c = text; *c; ++c)
        if (*c != '&') plain += *c;
    return plain;
}

const Topic* TopicOfHash(const HelpFile& help, int32_t hash) {
    auto found = help.contextHashes.find(hash);
    return found == help.contextHashes.end() ? nullptr : help.TopicAt(found->second);
}

TEST(HelpFile, IsAWinHelp4FileWhoseDirectoryHoldsWhatTheViewerReads) {
    const HelpFile& help = Help();
    ASSERT_TRUE(help.valid) << help.problem;
    EXPECT_GE(help.systemMinor, 33);  // Windows 95 help
    EXPECT_EQ(help.title, "Veltra Partola 95 Help");
    EXPECT_GE(help.topics.size(), 20u);
    EXPECT_GT(help.fontCount, 0);
    for (const Topic& topic : help.topics)
        for (uint16_t font : topic.fonts) EXPECT_LT(font, help.fontCount) << topic.title;
}

TEST(HelpFile, OpensAtItsContentsWhichLeadToEveryTopic) {
    const HelpFile& help = Help();
    ASSERT_TRUE(help.valid) << help.problem;
    const Topic* contents = help.TopicAt(help.contentsOffset);
    ASSERT_NE(contents, nullptr);
    EXPECT_EQ(contents->title, "Veltra Partola 95 Help Contents");
    EXPECT_EQ(&help.topics.front(), contents);  // viewers without a contents record show it too

    // Every topic is reachable from the contents, following the jumps.
    std::set<const Topic*> reached{contents};
    std::vector<const Topic*> open{contents};
    while (!open.empty()) {
        const Topic* topic = open.back();
        open.pop_back();
        for (int32_t hash : topic->jumps) {
            const Topic* target = TopicOfHash(help, hash);
            ASSERT_NE(target, nullptr) << "a jump of \"" << topic->title << "\" leads nowhere";
            if (reached.insert(target).second) open.push_back(target);
        }
    }
    for (const Topic& topic : help.topics) EXPECT_EQ(reached.count(&topic), 1u) << topic.title;
}

TEST(HelpFile, EveryContextIdOfTheOptionsDialogOpensTheTopicOfItsControl) {
    const HelpFile& help = Help();
    ASSERT_TRUE(help.valid) << help.problem;
    for (const OptionControl& row : OptionControls) {
        std::string control = OptionsControlText(row.controlId);
        auto mapped = help.contextIds.find(static_cast<int32_t>(row.helpId));
        ASSERT_NE(mapped, help.contextIds.end()) << "context id " << row.helpId;
        const Topic* topic = help.TopicAt(mapped->second);
        ASSERT_NE(topic, nullptr) << "context id " << row.helpId;
        EXPECT_EQ(topic->title, control) << "context id " << row.helpId;
        // The topic shows its title, then says what the option does.
        EXPECT_EQ(topic->text.rfind(control + "\n", 0), 0u) << topic->text;
        EXPECT_GT(topic->text.size(), control.size() + 80) << topic->text;
    }
    EXPECT_EQ(help.contextIds.size(), std::size(OptionControls));
}

TEST(HelpFile, TitlesAndContextNamesLeadToTheTopicsTheyName) {
    const HelpFile& help = Help();
    ASSERT_TRUE(help.valid) << help.problem;
    EXPECT_EQ(help.titles.size(), help.topics.size());
    EXPECT_EQ(help.contextHashes.size(), help.topics.size());
    std::set<const Topic*> named;
    for (const auto& [hash, offset] : help.contextHashes) named.insert(help.TopicAt(offset));
    for (const Topic& topic : help.topics) {
        EXPECT_EQ(named.count(&topic), 1u) << topic.title;
        auto title = help.titles.find(topic.offset);
        ASSERT_NE(title, help.titles.end()) << topic.title;
        EXPECT_EQ(title->second, topic.title);
        EXPECT_EQ(topic.text.rfind(topic.title + "\n", 0), 0u) << topic.title;
    }
}

}  // namespace
