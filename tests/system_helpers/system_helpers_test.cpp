#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "platform/owned.h"
#include "platform/system_library.h"
#include "platform/whole_file.h"
#include "platform/drag_window.h"
#include "platform/file_exists.h"
#include "checks/os_identification.h"
#include "system_helpers/file_manip.h"
#include "system_helpers/registry.h"
#include "system_helpers/special_folders.h"
#include "tests/fake_system.h"

namespace {

TEST(AddTrailingBackslash, Normalises) {
    EXPECT_EQ(AddTrailingBackslash("C:/temp"), "C:\\temp\\");
    EXPECT_EQ(AddTrailingBackslash("C:\\temp\\"), "C:\\temp\\");
    EXPECT_EQ(AddTrailingBackslash(""), "");
}

TEST(FileExists, AttributeProbingOnWin95AndNT4) {
    for (std::uint32_t major : {4u}) {
        for (std::uint32_t platform : {1u, 2u}) {  // 95 and NT 4.0
            FakeSystem system;
            system.SetVersion(platform, major, 0, platform == 1 ? 0x040003B6 : 1381);
            system.attributes = {{"C:\\file", 32}, {"C:\\ro", 33}, {"C:\\folder", 16},
                                 {"C:\\hiddenarchive", 34}, {"C:\\plain", 0}};
            EXPECT_TRUE(FileExists("C:\\file", FileExistenceTest(GetOsCode(system)), system));
            EXPECT_TRUE(FileExists("C:\\ro", FileExistenceTest(GetOsCode(system)), system));
            EXPECT_TRUE(FileExists("C:\\plain", FileExistenceTest(GetOsCode(system)), system));
            EXPECT_FALSE(FileExists("C:\\folder", FileExistenceTest(GetOsCode(system)), system));
            EXPECT_FALSE(FileExists("C:\\hiddenarchive", FileExistenceTest(GetOsCode(system)), system));
            EXPECT_FALSE(FileExists("C:\\file\\", FileExistenceTest(GetOsCode(system)), system));
            EXPECT_FALSE(FileExists("", FileExistenceTest(GetOsCode(system)), system));
            EXPECT_FALSE(FileExists("C:\\missing", FileExistenceTest(GetOsCode(system)), system));
        }
    }
}

TEST(FileExists, PathTestElsewhereAcceptsFolders) {
    FakeSystem system;
    system.SetVersion(2, 5, 1);
    system.attributes = {{"C:\\folder", 16}};
    EXPECT_TRUE(FileExists("C:\\folder", FileExistenceTest(GetOsCode(system)), system));
    EXPECT_FALSE(FileExists("C:\\missing", FileExistenceTest(GetOsCode(system)), system));
    // And on the real system, a real folder.
    char temp[MAX_PATH];
    ::GetTempPathA(MAX_PATH, temp);
    EXPECT_TRUE(FileExists(temp, ExistenceTest::AnyPath, RealSystem()));
}

// The user's environment does not decide the family: on NT, whatever OS and
// WinDir say, no rename list is written where WinDir points.
TEST(WinInit, TheFamilyComesFromTheVersionRecordNotTheEnvironment) {
    char temp[MAX_PATH];
    ::GetTempPathA(MAX_PATH, temp);
    std::string chosen = std::string(temp) + "tscheck chosen windir";
    ::CreateDirectoryA(chosen.c_str(), nullptr);
    FakeSystem system;
    system.SetVersion(VER_PLATFORM_WIN32_NT, 6, 1);
    system.environment = {{"OS", "Windows_95"}, {"WinDir", chosen}};
    std::string victim = chosen + "\\victim.txt";
    ASSERT_TRUE(WriteWholeFile(victim, "kept"));
    DeleteAtRestart(victim, system);
    std::string planted = chosen + "\\WinInit.ini";
    bool written = ::GetFileAttributesA(planted.c_str()) != INVALID_FILE_ATTRIBUTES;
    ::DeleteFileA(planted.c_str());
    ::DeleteFileA(victim.c_str());
    ::RemoveDirectoryA(chosen.c_str());
    EXPECT_FALSE(written) << "a rename list where the user's WinDir points";
}

TEST(FormatMegabytes, TwoDecimalsAndGrouping) {
    // The test prefix runs with the English (United States) locale.
    EXPECT_EQ(FormatMegabytes(0), "0.00 MB");
    EXPECT_EQ(FormatMegabytes(1572864), "1.50 MB");
    EXPECT_EQ(FormatMegabytes(10 * 1024 * 1024), "10.00 MB");
    EXPECT_EQ(FormatMegabytes(1024 * 1024 * 1024), "1,024.00 MB");
}

TEST(WaitForProcessExit, WaitsOnTheHandleForTheExitCode) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    char command[] = "cmd.exe /c ping -n 2 127.0.0.1 >nul & exit 42";
    ASSERT_TRUE(::CreateProcessA(nullptr, command, nullptr, nullptr, FALSE, CREATE_NO_WINDOW,
                                 nullptr, nullptr, &startup, &process));
    ::CloseHandle(process.hThread);
    EXPECT_EQ(WaitForProcessExit(process.hProcess), 42u);
    EXPECT_EQ(::WaitForSingleObject(process.hProcess, 0), WAIT_OBJECT_0) << "returned early";
    // Already ended: the code at once.
    EXPECT_EQ(WaitForProcessExit(process.hProcess), 42u);
    ::CloseHandle(process.hProcess);
    EXPECT_EQ(WaitForProcessExit(nullptr), 0u);
}

TEST(DeleteFileOrDefer, DeletesAFile) {
    std::string path = TempFolder() + "tscheck_delete_test.txt";
    HANDLE file = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_READONLY, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    ::CloseHandle(file);
    ASSERT_TRUE(FileExists(path, ExistenceTest::AnyPath, RealSystem()));
    DeleteFileOrDefer(path);
    EXPECT_FALSE(FileExists(path, ExistenceTest::AnyPath, RealSystem()));
}

// A second name of another file, put where the program deletes or writes,
// is neither deleted nor written through.
TEST(DeleteFileOrDefer, AHardLinkIsLeftAlone) {
    using CreateHardLinkFn = BOOL(WINAPI*)(LPCSTR, LPCSTR, LPSECURITY_ATTRIBUTES);
    auto createHardLink = BindKernel32<CreateHardLinkFn>("CreateHardLinkA");
    if (!createHardLink) GTEST_SKIP() << "no hard links here";
    std::string target = TempFolder() + "tscheck_link_target.txt";
    std::string link = TempFolder() + "tscheck_link.ini";
    ASSERT_TRUE(WriteWholeFile(target, "keep"));
    ASSERT_TRUE(createHardLink(link.c_str(), target.c_str(), nullptr));
    DeleteFileOrDefer(link);
    bool linkStayed = FileExists(link, ExistenceTest::AnyPath, RealSystem());
    bool written = static_cast<bool>(WriteNewWholeFile(link, "overwritten"));
    std::optional<std::string> kept = ReadWholeFile(target);
    ::DeleteFileA(link.c_str());
    ::DeleteFileA(target.c_str());
    EXPECT_TRUE(linkStayed);
    EXPECT_FALSE(written);
    EXPECT_EQ(kept, std::optional<std::string>("keep"));
}

TEST(DeleteFileOrDefer, FileInUseIsDeletedAtTheNextStart) {
    std::string path = TempFolder() + "tscheck_locked_test.txt";
    HANDLE file = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    std::string shortPath = ShortPathName(path);
    ASSERT_FALSE(shortPath.empty());
    DeleteFileOrDefer(path);  // cannot delete now: scheduled instead
    EXPECT_TRUE(FileExists(path, ExistenceTest::AnyPath, RealSystem()));
    HKEY key;
    ASSERT_EQ(::RegOpenKeyA(HKEY_LOCAL_MACHINE,
                            "System\\CurrentControlSet\\Control\\Session Manager", &key),
              ERROR_SUCCESS);
    char pending[8192] = {};
    DWORD size = sizeof pending;
    LONG status = ::RegQueryValueExA(key, "PendingFileRenameOperations", nullptr, nullptr,
                                     reinterpret_cast<BYTE*>(pending), &size);
    ::RegCloseKey(key);
    ::CloseHandle(file);
    ::DeleteFileA(path.c_str());
    ASSERT_EQ(status, ERROR_SUCCESS);
    std::string entries(pending, size);
    EXPECT_NE(entries.find(shortPath), std::string::npos) << entries;
}

TEST(Folders, EndInOneBackslash) {
    std::string temp = TempFolder();
    ASSERT_FALSE(temp.empty());
    EXPECT_EQ(temp.back(), '\\');
    std::string favorites = FavoritesFolder();
    ASSERT_FALSE(favorites.empty());
    EXPECT_EQ(favorites.back(), '\\');
    EXPECT_NE(favorites.substr(favorites.size() - 2), "\\\\");
    std::string programFiles = ProgramFilesFolder();
    ASSERT_FALSE(programFiles.empty());
    EXPECT_EQ(programFiles.substr(1, 2), ":\\");
}

// A folder the shell cannot name is empty, never the current folder.
TEST(Folders, ShellFailureIsEmpty) { EXPECT_EQ(SpecialFolderPath(0x7F), ""); }

// TMP (and TEMP) set for one test.
class TempSetting {
public:
    explicit TempSetting(const std::wstring& folder) {
        for (const wchar_t* name : {L"TMP", L"TEMP"}) {
            wchar_t old[4096] = {};
            DWORD length = ::GetEnvironmentVariableW(name, old, 4096);
            saved_.emplace_back(name, std::wstring(old, length));
            ::SetEnvironmentVariableW(name, folder.c_str());
        }
    }
    ~TempSetting() {
        for (auto& [name, value] : saved_) ::SetEnvironmentVariableW(name, value.c_str());
    }

private:
    std::vector<std::pair<const wchar_t*, std::wstring>> saved_;
};

std::wstring WideTemp() {
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    return temp;
}

// A temporary folder longer than 255 characters (the system allows up to
// MAX_PATH) and named in letters that the ANSI code page lacks: the folder
// handed out still reaches it.
TEST(TempFolder, LongAndNonAnsiFoldersStillWork) {
    std::wstring top = WideTemp() + L"tscheck \x0416\x0434\x0440";
    std::vector<std::wstring> made{top};
    std::wstring folder = top;
    while (folder.size() < 200) {
        folder += L"\\deeper folder \x043F\x0430\x043F\x043A\x0430 " + std::to_wstring(made.size());
        made.push_back(folder);
    }
    folder += L"\\" + std::wstring(257 - folder.size(), L'x');  // 258 with its "\\"
    made.push_back(folder);
    for (const std::wstring& f : made) {
        std::wstring path = L"\\\\?\\" + f;
        // The test's own set-up: Wine cannot name these folders on the Unix
        // side without a UTF-8 locale.
        ASSERT_TRUE(::CreateDirectoryW(path.c_str(), nullptr) ||
                    ::GetLastError() == ERROR_ALREADY_EXISTS)
            << "set-up: cannot make the test's folder (error " << ::GetLastError()
            << "); does the caller's locale hold UTF-8?";
    }
    std::string temp;
    {
        TempSetting setting(folder);
        temp = TempFolder();
    }
    ASSERT_FALSE(temp.empty());
    EXPECT_EQ(temp.back(), '\\');
    std::string probe = temp + "probe.txt";
    OwnedHandle file(::CreateFileA(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
    EXPECT_TRUE(file) << probe;
    file.reset();
    std::wstring wideProbe = L"\\\\?\\" + folder + L"\\probe.txt";
    EXPECT_NE(::GetFileAttributesW(wideProbe.c_str()), INVALID_FILE_ATTRIBUTES) << temp;
    ::DeleteFileW(wideProbe.c_str());
    for (auto f = made.rbegin(); f != made.rend(); ++f)
        ::RemoveDirectoryW((L"\\\\?\\" + *f).c_str());
}

TEST(TempFolder, MissingFolderIsEmpty) {
    TempSetting setting(WideTemp() + L"tscheck no such folder");
    EXPECT_EQ(TempFolder(), "");
}

TEST(Registry, OnlyStringValues) {
    HKEY key;
    ASSERT_EQ(::RegCreateKeyA(HKEY_CURRENT_USER, "Software\\TSCheckTest", &key), ERROR_SUCCESS);
    ::RegSetValueExA(key, "text", 0, REG_SZ, reinterpret_cast<const BYTE*>("hello"), 6);
    ::RegSetValueExA(key, "expand", 0, REG_EXPAND_SZ, reinterpret_cast<const BYTE*>("%x%"), 4);
    DWORD number = 5;
    ::RegSetValueExA(key, "number", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), 4);
    ::RegCloseKey(key);
    EXPECT_EQ(RegReadString(HKEY_CURRENT_USER, "Software\\TSCheckTest", "text"), "hello");
    EXPECT_EQ(RegReadString(HKEY_CURRENT_USER, "Software\\TSCheckTest", "expand"), std::nullopt);
    EXPECT_EQ(RegReadString(HKEY_CURRENT_USER, "Software\\TSCheckTest", "number"), std::nullopt);
    EXPECT_EQ(RegReadString(HKEY_CURRENT_USER, "Software\\TSCheckTest", "none"), std::nullopt);
    EXPECT_EQ(RegReadString(HKEY_CURRENT_USER, "Software\\NoSuchKeyHere", "text"), std::nullopt);
    ::RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\TSCheckTest");
}

TEST(DragWindow, MaximisedWindowDoesNothing) {
    HWND window = ::CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                    nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    ::ShowWindow(window, SW_MAXIMIZE);
    DragWindow(window);  // returns at once instead of entering the move loop
    EXPECT_TRUE(::IsZoomed(window));
    ::DestroyWindow(window);
}

}  // namespace
