// The search for QuickTime.qts: the loaded copy, the registry folders, the system folder and
// its subfolder "QuickTime". These tests change the wine prefix's registry and system folder,
// so ctest runs them one at a time; each leaves both as it found them.
#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <string>
#include <vector>

#include "qtml/library_search.h"
#include "test_runtime_folders.h"

namespace {

constexpr const char* kValueNames[] = {"QTSysDir", "QuickTime.qts folder", "QTExtDir"};
constexpr std::size_t kFolderBudget = MAX_PATH - 13;  // what LoadQuickTimeLibrary gives

// QuickTime's registry values, absent at the start and the end of every test.
class LibrarySearch : public testing::Test {
  protected:
    void SetUp() override { RemoveValues(); }
    void TearDown() override { RemoveValues(); }

    static void SetValue(const char* name, const std::string& text) {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kQuickTimeRegistryKey, 0, nullptr, 0,
                                  KEY_SET_VALUE, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                       static_cast<DWORD>(text.size() + 1));
        RegCloseKey(key);
    }

    static void RemoveValues() {
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kQuickTimeRegistryKey, 0, KEY_SET_VALUE, &key) ==
            ERROR_SUCCESS) {
            for (const char* name : kValueNames) {
                RegDeleteValueA(key, name);
            }
            RegCloseKey(key);
        }
    }

    static std::string QuickTimeFolder(std::size_t size = kFolderBudget) {
        char buffer[MAX_PATH] = "left over";
        const bool found = GetQuickTimeFolder(buffer, size);
        EXPECT_EQ(found, buffer[0] != '\0') << "an empty buffer when nothing was found";
        return buffer;
    }

    static std::string ExtensionFolder() {
        char buffer[MAX_PATH] = "left over";
        const std::size_t length = GetQuickTimeExtensionFolder(buffer, kFolderBudget);
        EXPECT_EQ(length, std::strlen(buffer));
        return buffer;
    }
};

std::string WithoutSeparator(const std::string& folder) {
    return folder.substr(0, folder.size() - 1);
}

// A folder that exists, with and without its separator.
std::string Existing() {
    return WithoutSeparator(TestRuntimeFolder("echo"));
}
std::string OtherExisting() {
    return WithoutSeparator(TestRuntimeFolder("no-dispatcher"));
}
constexpr char kMissing[] = "C:\\no such folder";

std::string LowerCase(std::string text) {
    for (char& c : text) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return text;
}

struct RegistryCase {
    const char* what;
    std::string sysDir;         // "QTSysDir", empty: absent
    std::string libraryFolder;  // "QuickTime.qts folder"
    std::string extDir;         // "QTExtDir"
    std::string quickTimeFolder;
    std::string extensionFolder;
};

TEST_F(LibrarySearch, TakesTheFirstRegistryFolderThatExistsThenTheSystemFolder) {
    const std::string system = SystemFolder();
    const std::vector<RegistryCase> cases = {
        {"nothing set", "", "", "", system, system + "QuickTime\\"},
        {"QTSysDir", Existing(), OtherExisting(), "", Existing() + "\\", Existing() + "\\"},
        {"QTSysDir missing", kMissing, OtherExisting(), "", OtherExisting() + "\\",
         OtherExisting() + "\\"},
        {"both missing", kMissing, kMissing, "", system, system + "QuickTime\\"},
        {"ending in a slash", Existing() + "/", "", "", Existing() + "/", Existing() + "/"},
        {"QTExtDir missing, still used", "", "", kMissing, system, std::string(kMissing) + "\\"},
        {"QTExtDir", Existing(), "", OtherExisting(), Existing() + "\\", OtherExisting() + "\\"},
        {"system folder in other case", LowerCase(WithoutSeparator(system)), "", "",
         LowerCase(system), LowerCase(system)},
    };
    for (const RegistryCase& c : cases) {
        SCOPED_TRACE(c.what);
        RemoveValues();
        if (!c.sysDir.empty()) {
            SetValue("QTSysDir", c.sysDir);
        }
        if (!c.libraryFolder.empty()) {
            SetValue("QuickTime.qts folder", c.libraryFolder);
        }
        if (!c.extDir.empty()) {
            SetValue("QTExtDir", c.extDir);
        }
        EXPECT_EQ(QuickTimeFolder(), c.quickTimeFolder);
        EXPECT_EQ(ExtensionFolder(), c.extensionFolder);
    }
}

TEST_F(LibrarySearch, TakesTheFolderOfALoadedCopyFirst) {
    SetValue("QTSysDir", OtherExisting());
    const TestRuntime loaded("echo");
    EXPECT_EQ(QuickTimeFolder(), TestRuntimeFolder("echo"));
    EXPECT_EQ(QuickTimeFolder(TestRuntimeFolder("echo").size() + 1), SystemFolder())
        << "without room for its separator the loaded copy's folder is passed over";
    HMODULE module = LoadQuickTimeLibrary("QuickTime.qts");
    EXPECT_EQ(module, loaded.module());
    FreeLibrary(module);
}

// A folder whose path, without separator, is exactly length characters long.
class FolderOfLength {
  public:
    explicit FolderOfLength(std::size_t length) {
        path_ = TestProgramFolder();
        path_ += std::string(length - path_.size(), 'x');
        CreateDirectoryA(path_.c_str(), nullptr);
    }
    ~FolderOfLength() { RemoveDirectoryA(path_.c_str()); }
    const std::string& path() const { return path_; }

  private:
    std::string path_;
};

TEST_F(LibrarySearch, CountsARegistryFolderThatWouldOverflowItsBudgetAsAbsent) {
    {
        const FolderOfLength fits(kFolderBudget - 2);
        SetValue("QTSysDir", fits.path());
        EXPECT_EQ(QuickTimeFolder(), fits.path() + "\\");
    }
    {
        const FolderOfLength fillsTheBudget(kFolderBudget - 1);
        SetValue("QTSysDir", fillsTheBudget.path());
        EXPECT_EQ(QuickTimeFolder(), SystemFolder());
        SetValue("QTExtDir", fillsTheBudget.path());
        EXPECT_EQ(ExtensionFolder(), SystemFolder() + "QuickTime\\");
    }
}

TEST_F(LibrarySearch, ReadsARegistryStringIntoItsBufferOnlyWhenItFitsWithItsSeparator) {
    SetValue("QTExtDir", "C:\\abc");
    char buffer[16] = "left over";
    ReadQuickTimeRegistryString(kQuickTimeRegistryKey, "QTExtDir", buffer, 8);
    EXPECT_STREQ(buffer, "C:\\abc\\");
    std::strcpy(buffer, "left over");
    ReadQuickTimeRegistryString(kQuickTimeRegistryKey, "QTExtDir", buffer, 7);
    EXPECT_STREQ(buffer, "");
    std::strcpy(buffer, "left over");
    ReadQuickTimeRegistryString(kQuickTimeRegistryKey, "QTSysDir", buffer, sizeof buffer);
    EXPECT_STREQ(buffer, "") << "an absent value";
}

// A copy of the echo runtime placed in a folder for the length of a test.
class PlacedRuntime {
  public:
    explicit PlacedRuntime(const std::string& folder) : folder_(folder) {
        CreateDirectoryA(folder_.c_str(), nullptr);
        EXPECT_TRUE(CopyFileA(TestRuntimePath("echo").c_str(), path().c_str(), FALSE));
    }
    ~PlacedRuntime() {
        DeleteFileA(path().c_str());
        RemoveDirectoryA(folder_.c_str());
    }
    std::string path() const { return folder_ + "QuickTime.qts"; }

  private:
    std::string folder_;
};

std::string ModulePath(HMODULE module) {
    char path[MAX_PATH];
    return std::string(path, GetModuleFileNameA(module, path, sizeof path));
}

TEST_F(LibrarySearch, LoadsFromTheSystemFolderThenFromItsQuickTimeSubfolder) {
    EXPECT_EQ(LoadQuickTimeLibrary("QuickTime.qts"), nullptr) << "nowhere yet";
    {
        const PlacedRuntime inSubfolder(SystemFolder() + "QuickTime\\");
        HMODULE module = LoadQuickTimeLibrary("QuickTime.qts");
        ASSERT_NE(module, nullptr);
        EXPECT_EQ(LowerCase(ModulePath(module)), LowerCase(inSubfolder.path()));
        FreeLibrary(module);

        const PlacedRuntime inSystemFolder(SystemFolder());
        module = LoadQuickTimeLibrary("QuickTime.qts");
        ASSERT_NE(module, nullptr);
        EXPECT_EQ(LowerCase(ModulePath(module)), LowerCase(inSystemFolder.path()));
        FreeLibrary(module);
    }
}

TEST_F(LibrarySearch, LoadsFromTheExtensionFolderWhenTheQuickTimeFolderHasNoLibrary) {
    SetValue("QTSysDir", OtherExisting());  // holds a QuickTime.qts that lacks its dispatcher
    SetValue("QTExtDir", Existing());
    HMODULE module = LoadQuickTimeLibrary("QuickTime.qts");
    EXPECT_EQ(ModulePath(module), TestRuntimePath("no-dispatcher")) << "the QuickTime folder first";
    FreeLibrary(module);

    SetValue("QTSysDir", WithoutSeparator(TestProgramFolder()));
    module = LoadQuickTimeLibrary("QuickTime.qts");
    EXPECT_EQ(ModulePath(module), TestRuntimePath("echo"));
    FreeLibrary(module);
}

}  // namespace
