// The settings store on the real registry of the test prefix.
#include "settings/registry_settings.h"

#include "model/split_job.h"
#include "registry_support.h"
#include "ui_driver.h"

namespace dialog_tests {

using namespace testing_support;
namespace {

constexpr OptionValues AllFives{5, 5, 5, 5, 5, 5, 5, 5};

class RegistrySettings : public ::testing::Test {
protected:
    void SetUp() override { DeleteSettingsKey(); }
};

TEST_F(RegistrySettings, FirstRunCreatesTheKeyWithTheDefaults) {
    SetOptions(AllFives);
    LoadSettings();
    EXPECT_EQ(CurrentOptions(), FirstRunValues);
    EXPECT_EQ(StoredDwords(), (StoredValues{0, 1, 1, 0, 1, 0, 0, 0}));
}

TEST_F(RegistrySettings, AnyNonZeroValueLoadsAsOneAndIsSavedAsOne) {
    WriteAllValues({5, 0, 5, 0, 0xFFFFFFFF, 0, 5, 0});
    LoadSettings();
    EXPECT_EQ(CurrentOptions(), (OptionValues{1, 0, 1, 0, 1, 0, 1, 0}));
    SaveSettings();
    EXPECT_EQ(StoredDwords(), (StoredValues{1, 0, 1, 0, 1, 0, 1, 0}));
}

TEST_F(RegistrySettings, SaveWritesAllEightAsDwordsEvenWhenUnchanged) {
    LoadSettings();
    WriteRawValue("MoreMem", REG_BINARY, "\x00\x00\x00\x00", 4);
    SetOptions({0, 0, 0, 0, 0, 0, 0, 7});
    SaveSettings();
    EXPECT_EQ(StoredDwords(), (StoredValues{0, 0, 0, 0, 0, 0, 0, 1}));
}

TEST_F(RegistrySettings, FourByteValueOfAnotherTypeIsReadByItsBytes) {
    LoadSettings();
    WriteRawValue("Use DOS 8.3", REG_BINARY, "\x00\x00\x01\x00", 4);
    WriteRawValue("UseLongJoinBatName", REG_BINARY, "\x00\x00\x00\x00", 4);
    LoadSettings();
    EXPECT_EQ(Options.UseDos83, 1u);
    EXPECT_EQ(Options.UseLongJoinBatName, 0u);
}

TEST_F(RegistrySettings, MissingOrOversizedValuesLoadAsTheirFirstRunValue) {
    LoadSettings();
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, SettingsKey, 0, KEY_ALL_ACCESS, &key),
              ERROR_SUCCESS);
    RegDeleteValueA(key, "UseLongJoinBatName");
    RegDeleteValueA(key, "MoreMem");
    RegCloseKey(key);
    // Eight bytes: a zero that a partial read would take for "off", and a
    // one that it would take for "on".
    WriteRawValue("CloseWhenDone", REG_BINARY, "\x00\x00\x00\x00\x00\x00\x00\x00", 8);
    WriteRawValue("NoReminders", REG_BINARY, "\x01\x00\x00\x00\x00\x00\x00\x00", 8);
    WriteRawValue("DeletePrompt", REG_SZ, "", 0);
    SetOptions({1, 0, 0, 1, 0, 1, 1, 1});
    LoadSettings();
    EXPECT_EQ(CurrentOptions(), (OptionValues{0, 1, 1, 0, 1, 0, 0, 0}));
    EXPECT_FALSE(ReadStoredValue("MoreMem").present) << "loading writes nothing to a found key";
}

// The key's name is a registry link into a hive that does not exist, so the
// key can be neither opened nor created. (Access lists on keys are not
// enforced by Wine, so a key denied to everybody would still open.)
class UnreachableKey {
public:
    UnreachableKey() {
        DeleteSettingsKey();
        HKEY link = nullptr;
        RegCreateKeyExA(HKEY_LOCAL_MACHINE, SettingsKey, 0, nullptr,
                        REG_OPTION_CREATE_LINK | REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr,
                        &link, nullptr);
        const wchar_t target[] = L"\\Registry\\Nowhere\\Veltra Partola 95";
        RegSetValueExW(link, L"SymbolicLinkValue", 0, REG_LINK,
                       reinterpret_cast<const BYTE*>(target), sizeof target - sizeof(wchar_t));
        RegCloseKey(link);
    }
    ~UnreachableKey() {
        HKEY link = nullptr;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, SettingsKey, REG_OPTION_OPEN_LINK, DELETE, &link) !=
            ERROR_SUCCESS)
            return;
        using DeleteKeyCall = LONG(WINAPI*)(HKEY);
        auto deleteKey = reinterpret_cast<DeleteKeyCall>(
            reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtDeleteKey")));
        if (deleteKey) deleteKey(link);
        RegCloseKey(link);
    }
    static bool Unreachable() {
        HKEY key = nullptr;
        LONG status = RegOpenKeyExA(HKEY_LOCAL_MACHINE, SettingsKey, 0, KEY_READ, &key);
        if (key) RegCloseKey(key);
        return status != ERROR_SUCCESS;
    }
};

TEST_F(RegistrySettings, KeyThatCannotBeOpenedLeavesTheDefaultsAndSavesNothing) {
    UnreachableKey unreachable;
    ASSERT_TRUE(UnreachableKey::Unreachable());
    SetOptions(AllFives);
    LoadSettings();
    EXPECT_EQ(CurrentOptions(), FirstRunValues);
    SetOptions({1, 1, 1, 1, 1, 1, 1, 1});
    SaveSettings();
    EXPECT_EQ(CurrentOptions(), (OptionValues{1, 1, 1, 1, 1, 1, 1, 1}));
    EXPECT_TRUE(UnreachableKey::Unreachable()) << "saving must not replace the key";
}

}  // namespace
}  // namespace dialog_tests
