// The Win32 platform identifier, shell, folder and restart calls against the real kernel32,
// shell32 and advapi32; the restart stops short of ExitWindowsEx.
#include <windows.h>

#include <gtest/gtest.h>
#include <shellapi.h>

#include <cstdint>
#include <string>

#include "platform/win32/Win32Platform.h"

namespace {

namespace p = quorvel::platform;
using p::win32::Win32Restart;
using p::win32::Win32SystemInfo;

TEST(Win32SystemInfoTest, ReportsAnNtFamilyPlatform) {
    Win32SystemInfo info;
    EXPECT_EQ(info.GetPlatformId(), p::kVerPlatformWin32Nt);
}

// shell32 is looked up on first use: a file that does not exist comes back as ShellExecute's
// "file not found" (2), not as the 0 of a failed lookup.
// The display's modes as Windows gives them: the mode in use is one of those offered, and a mode
// number past the last ends the walk.
TEST(Win32SystemInfoTest, GivesTheModeInUseAmongTheModesOffered) {
    Win32SystemInfo system;
    p::DisplayMode now;
    ASSERT_TRUE(system.EnumDisplaySettingsA(p::kEnumCurrentSettings, &now));
    EXPECT_EQ(now.width, static_cast<std::uint32_t>(GetSystemMetrics(SM_CXSCREEN)));
    EXPECT_EQ(now.height, static_cast<std::uint32_t>(GetSystemMetrics(SM_CYSCREEN)));
    bool found = false;
    std::uint32_t n = 0;
    for (p::DisplayMode mode; n < 100000 && system.EnumDisplaySettingsA(n, &mode); ++n) {
        found |= mode.width == now.width && mode.height == now.height &&
                 mode.bitsPerPel == now.bitsPerPel && mode.frequency == now.frequency;
    }
    EXPECT_GT(n, 0u);
    EXPECT_LT(n, 100000u);
    EXPECT_TRUE(found);
}

TEST(Win32ShellTest, ReachesShellExecuteOnFirstUse) {
    p::win32::Win32Shell shell;
    EXPECT_EQ(shell.Execute(0, "open", "C:\\no such folder\\no such file.txt", SW_SHOWNORMAL),
              SE_ERR_FNF);
}

// So are shell32's folder functions, which find the documents folder.
TEST(Win32FilesTest, FindsTheDocumentsFolder) {
    p::win32::Win32Files files;
    const std::string documents = files.GetFolderPath(p::KnownFolder::MyDocuments);
    ASSERT_FALSE(documents.empty());
    const DWORD attributes = GetFileAttributesA(documents.c_str());
    EXPECT_TRUE(attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
        << documents;
}

class Win32RestartTest : public testing::Test {
  protected:
    void TearDown() override {
        if (token != 0) {
            CloseHandle(reinterpret_cast<HANDLE>(token));
        }
    }
    Win32Restart restart;
    p::Handle token = 0;
};

TEST_F(Win32RestartTest, EnablesTheShutdownPrivilegeInTheOwnToken) {
    const p::Handle process = restart.GetCurrentProcess();
    EXPECT_EQ(reinterpret_cast<HANDLE>(process), GetCurrentProcess());
    ASSERT_TRUE(
        restart.OpenProcessToken(process, p::kTokenAdjustPrivileges | p::kTokenQuery, &token));
    ASSERT_NE(token, 0u);

    p::Luid luid;
    ASSERT_TRUE(restart.LookupPrivilegeValueA(nullptr, "SeShutdownPrivilege", &luid));
    EXPECT_EQ(luid.lowPart, 19u);  // SE_SHUTDOWN_PRIVILEGE
    EXPECT_EQ(luid.highPart, 0);

    p::TokenPrivilegesOne enable;
    enable.privilegeCount = 1;
    enable.luid = luid;
    enable.attributes = p::kSePrivilegeEnabled;
    p::TokenPrivilegesOne previous;
    previous.privilegeCount = 99;
    std::uint32_t length = 99;
    std::uint32_t lastError = 99;
    SetLastError(0xBEEF);
    ASSERT_TRUE(
        restart.AdjustTokenPrivileges(token, false, enable, 16, &previous, &length, &lastError));
    // The token holds the privilege here; without it the call succeeds with 1300.
    EXPECT_EQ(lastError, 0u);
    ASSERT_LE(length, 16u);
    if (previous.privilegeCount == 1) {
        EXPECT_EQ(previous.luid.lowPart, luid.lowPart);
        EXPECT_EQ(previous.attributes & p::kSePrivilegeEnabled, 0u);
    } else {
        EXPECT_EQ(previous.privilegeCount, 0u);  // it was enabled already
    }

    // Now enabled: the token says so.
    PRIVILEGE_SET check = {};
    check.PrivilegeCount = 1;
    check.Privilege[0].Luid.LowPart = luid.lowPart;
    check.Privilege[0].Luid.HighPart = luid.highPart;
    BOOL held = FALSE;
    ASSERT_TRUE(PrivilegeCheck(reinterpret_cast<HANDLE>(token), &check, &held));
    EXPECT_TRUE(held);
}

TEST_F(Win32RestartTest, FailuresComeBackAsFalse) {
    p::Luid luid;
    luid.lowPart = 77;
    EXPECT_FALSE(restart.LookupPrivilegeValueA(nullptr, "SeNoSuchPrivilege", &luid));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_SUCH_PRIVILEGE));

    EXPECT_FALSE(restart.OpenProcessToken(0, p::kTokenAdjustPrivileges | p::kTokenQuery, &token));
    EXPECT_EQ(token, 0u);

    // A token opened for querying only cannot be adjusted.
    ASSERT_TRUE(restart.OpenProcessToken(restart.GetCurrentProcess(), p::kTokenQuery, &token));
    ASSERT_TRUE(restart.LookupPrivilegeValueA(nullptr, "SeShutdownPrivilege", &luid));
    p::TokenPrivilegesOne enable;
    enable.privilegeCount = 1;
    enable.luid = luid;
    enable.attributes = p::kSePrivilegeEnabled;
    p::TokenPrivilegesOne previous;
    std::uint32_t length = 0;
    std::uint32_t lastError = 0;
    EXPECT_FALSE(
        restart.AdjustTokenPrivileges(token, false, enable, 16, &previous, &length, &lastError));
    EXPECT_EQ(lastError, static_cast<std::uint32_t>(ERROR_ACCESS_DENIED));
}

}  // namespace
