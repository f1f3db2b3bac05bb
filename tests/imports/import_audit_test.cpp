// The import audit: every function the program imports is on the checked-in
// list (allowed_imports.txt), and no import is newer than the oldest Windows
// the program is made for; the PE header names that Windows too. A program
// that imported one newer function would not start there at all.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "test_support.h"

using namespace testing_support;

namespace {

struct Import {
    std::string dll;  // upper case
    std::string function;
};

struct PeImage {
    WORD machine = 0;
    WORD osMajor = 0, osMinor = 0, subsystemMajor = 0, subsystemMinor = 0;
    std::vector<Import> imports;
    std::string error;  // why the file could not be read as a PE image
};

std::string Upper(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(toupper(c)); });
    return text;
}

// A small reader of what the audit needs: the header's versions and the
// import directory's names, with every offset checked against the file.
class PeReader {
public:
    explicit PeReader(std::string bytes) : bytes_(std::move(bytes)) {}

    PeImage Read() {
        PeImage image;
        IMAGE_DOS_HEADER dos{};
        if (!At(0, dos) || dos.e_magic != IMAGE_DOS_SIGNATURE) return Fail("no MZ header");
        DWORD signature = 0;
        IMAGE_FILE_HEADER file{};
        size_t fileAt = static_cast<size_t>(dos.e_lfanew) + sizeof signature;
        if (!At(dos.e_lfanew, signature) || signature != IMAGE_NT_SIGNATURE || !At(fileAt, file))
            return Fail("no PE header");
        image.machine = file.Machine;
        size_t optionalAt = fileAt + sizeof file;
        DWORD importRva = 0;
        if (file.Machine == IMAGE_FILE_MACHINE_I386) {
            IMAGE_OPTIONAL_HEADER32 optional{};
            if (!At(optionalAt, optional)) return Fail("short optional header");
            Versions(optional, image);
            importRva = optional.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress;
            thunkSize_ = 4;
        } else if (file.Machine == IMAGE_FILE_MACHINE_AMD64) {
            IMAGE_OPTIONAL_HEADER64 optional{};
            if (!At(optionalAt, optional)) return Fail("short optional header");
            Versions(optional, image);
            importRva = optional.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress;
            thunkSize_ = 8;
        } else {
            return Fail("unknown machine");
        }
        size_t sectionAt = optionalAt + file.SizeOfOptionalHeader;
        for (WORD i = 0; i < file.NumberOfSections; ++i) {
            IMAGE_SECTION_HEADER section{};
            if (!At(sectionAt + i * sizeof section, section)) return Fail("short section table");
            sections_.push_back(section);
        }
        if (!ReadImports(importRva, image.imports)) return Fail(error_);
        return image;
    }

private:
    template <typename Header>
    static void Versions(const Header& optional, PeImage& image) {
        image.osMajor = optional.MajorOperatingSystemVersion;
        image.osMinor = optional.MinorOperatingSystemVersion;
        image.subsystemMajor = optional.MajorSubsystemVersion;
        image.subsystemMinor = optional.MinorSubsystemVersion;
    }

    template <typename T>
    bool At(size_t offset, T& value) const {
        if (offset > bytes_.size() || bytes_.size() - offset < sizeof value) return false;
        memcpy(&value, bytes_.data() + offset, sizeof value);
        return true;
    }

    // The file offset of a relative virtual address; 0 when no section holds it.
    size_t Offset(DWORD rva) const {
        for (const IMAGE_SECTION_HEADER& s : sections_)
            if (rva >= s.VirtualAddress && rva < s.VirtualAddress + s.SizeOfRawData)
                return rva - s.VirtualAddress + s.PointerToRawData;
        return 0;
    }

    bool Text(DWORD rva, std::string& text) const {
        size_t at = Offset(rva);
        size_t end = at ? bytes_.find('\0', at) : std::string::npos;
        if (end == std::string::npos) return false;
        text = bytes_.substr(at, end - at);
        return true;
    }

    bool ReadImports(DWORD directoryRva, std::vector<Import>& imports) {
        size_t at = Offset(directoryRva);
        if (!at) return Error("no import directory");
        for (IMAGE_IMPORT_DESCRIPTOR entry{}; At(at, entry) && entry.Name != 0;
             at += sizeof entry) {
            std::string dll;
            if (!Text(entry.Name, dll)) return Error("bad DLL name");
            DWORD thunks = entry.OriginalFirstThunk ? entry.OriginalFirstThunk : entry.FirstThunk;
            for (size_t thunkAt = Offset(thunks);; thunkAt += thunkSize_) {
                uint64_t thunk = 0;
                if (!thunkAt || !At(thunkAt, thunk)) return Error("bad thunk of " + dll);
                if (thunkSize_ == 4) thunk &= 0xFFFFFFFFull;
                if (thunk == 0) break;
                uint64_t byOrdinal = thunkSize_ == 4 ? 0x80000000ull : 0x8000000000000000ull;
                std::string name;
                if (thunk & byOrdinal)
                    name = "#" + std::to_string(thunk & 0xFFFF);
                else if (!Text(static_cast<DWORD>(thunk) + 2, name))  // after the hint
                    return Error("bad name in " + dll);
                imports.push_back({Upper(dll), name});
            }
        }
        return true;
    }

    bool Error(const std::string& text) {
        error_ = text;
        return false;
    }
    static PeImage Fail(const std::string& text) {
        PeImage image;
        image.error = text;
        return image;
    }

    std::string bytes_;
    std::vector<IMAGE_SECTION_HEADER> sections_;
    size_t thunkSize_ = 4;
    std::string error_;
};

// One line of the list: the first Windows 9x and the first Windows NT.
struct FirstWindows {
    std::string win9x;  // 95, stub, OSR2, 98, ME or none
    double nt;          // 3.1, 4.0, 5.2, ...
};

std::map<std::string, FirstWindows> ReadList(const std::string& path) {
    std::map<std::string, FirstWindows> list;
    std::istringstream lines(ReadWholeFile(path));
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        std::string dll, function, win9x, nt;
        if (!(fields >> dll) || dll[0] == '#') continue;
        fields >> function >> win9x >> nt;
        list[Upper(dll) + "!" + function] = {win9x, std::stod(nt)};
    }
    return list;
}

// The C run-time DLLs: the 32-bit program brings its own run-time, since the
// first Windows 95 has none of them.
bool IsCRunTime(const std::string& dll) {
    return dll.rfind("MSVCR", 0) == 0 || dll == "CRTDLL.DLL" || dll == "UCRTBASE.DLL" ||
           dll.rfind("API-MS-WIN-CRT-", 0) == 0;
}

// What is wrong with one import for the program's oldest Windows; empty when
// nothing is. The 32-bit program's oldest are the first Windows 95 and NT
// 4.0, the 64-bit one's Windows XP x64 (5.2).
std::string Objection(const std::string& dll, const FirstWindows& first, bool is32Bit) {
    if (!is32Bit) return first.nt <= 5.2 ? "" : "newer than Windows XP x64";
    if (IsCRunTime(dll)) return "a C run-time DLL, which the first Windows 95 lacks";
    if (first.win9x != "95" && first.win9x != "stub")
        return "not in the first Windows 95 (first Windows 9x: " + first.win9x + ")";
    return first.nt <= 4.0 ? "" : "newer than Windows NT 4.0";
}

std::string ProgramPath() {
    // Another build's program may be audited by naming it (a Windows path).
    const char* other = getenv("PARTOLA_AUDIT_EXE");
    return other && *other ? other : UnixToWindowsPath(PARTOLA_EXE_UNIX);
}

class ImportAudit : public ::testing::Test {
protected:
    void SetUp() override {
        image = PeReader(ReadWholeFile(ProgramPath())).Read();
        ASSERT_EQ(image.error, "") << ProgramPath();
        is32Bit = image.machine == IMAGE_FILE_MACHINE_I386;
    }
    PeImage image;
    bool is32Bit = false;
};

TEST_F(ImportAudit, EveryImportIsListedAndNoNewerThanTheOldestWindows) {
    const auto list = ReadList(UnixToWindowsPath(IMPORT_LIST_UNIX));
    ASSERT_GT(list.size(), 100u);
    ASSERT_GT(image.imports.size(), 50u);
    std::string refused;
    for (const Import& import : image.imports) {
        auto entry = list.find(import.dll + "!" + import.function);
        std::string objection = entry == list.end() ? "not on the list of allowed imports"
                                                    : Objection(import.dll, entry->second, is32Bit);
        if (!objection.empty())
            refused += "\n  " + import.dll + " " + import.function + ": " + objection;
    }
    EXPECT_TRUE(refused.empty()) << ProgramPath() << " imports what it may not:" << refused;
}

TEST(ImportObjection, The32BitProgramTakesOnlyWhatEveryWindows95Has) {
    const FirstWindows everywhere{"95", 3.1};
    EXPECT_EQ(Objection("KERNEL32.DLL", everywhere, true), "");
    EXPECT_NE(Objection("MSVCRT.DLL", everywhere, true), "");
    EXPECT_NE(Objection("API-MS-WIN-CRT-HEAP-L1-1-0.DLL", everywhere, true), "");
    EXPECT_EQ(Objection("MSVCRT.DLL", {"OSR2", 4.0}, false), "");
    EXPECT_NE(Objection("KERNEL32.DLL", {"OSR2", 4.0}, true), "");
    EXPECT_NE(Objection("KERNEL32.DLL", {"95", 5.0}, true), "");
}

TEST_F(ImportAudit, HeaderNamesTheOldestWindows) {
    WORD major = is32Bit ? 4 : 5, minor = is32Bit ? 0 : 2;
    EXPECT_EQ(image.osMajor, major);
    EXPECT_EQ(image.osMinor, minor);
    EXPECT_EQ(image.subsystemMajor, major);
    EXPECT_EQ(image.subsystemMinor, minor);
}

}  // namespace
