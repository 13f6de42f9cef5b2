// Files, folders, the clock and the Open and Save dialogs, each in the shape of the API calls
// behind it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace quorvel::platform {

// Last-error codes (winerror.h) the program meets with files.
inline constexpr std::uint32_t kErrorPathNotFound = 3;
inline constexpr std::uint32_t kErrorFileExists = 80;
inline constexpr std::uint32_t kErrorAlreadyExists = 183;
inline constexpr std::uint32_t kErrorFileTooLarge = 223;

inline constexpr std::uint32_t kInvalidFileAttributes = 0xFFFFFFFF;
inline constexpr std::uint32_t kFileAttributeDirectory = 0x10;

struct SystemTime {
    std::uint16_t year = 0;
    std::uint16_t month = 0;
    std::uint16_t day = 0;
    std::uint16_t hour = 0;
    std::uint16_t minute = 0;
    std::uint16_t second = 0;
};

enum class KnownFolder {
    MyDocuments,  // SHGetSpecialFolderLocation(CSIDL_PERSONAL) and SHGetPathFromIDListA
    Profile,      // the USERPROFILE environment variable
};

enum class WriteMode {
    New,      // CREATE_NEW: fails with 80 when the file is there
    Replace,  // CREATE_ALWAYS
    Append,   // OPEN_ALWAYS, written at the end
};

// Names carry the ANSI suffix where <windows.h> would turn the plain name into a macro.
class IFiles {
  public:
    virtual ~IFiles() = default;

    // GetModuleFileNameA for the program's own executable; empty when the call failed.
    virtual std::string GetModuleFileNameA() = 0;
    virtual SystemTime GetLocalTime() = 0;
    // The folder's path without a trailing backslash; empty when the user has no such folder.
    virtual std::string GetFolderPath(KnownFolder folder) = 0;
    // 0, or the last error of the call (183 when the folder is already there).
    virtual std::uint32_t CreateDirectoryA(const std::string& path) = 0;
    virtual std::uint32_t GetFileAttributesA(const std::string& path) = 0;
    // CreateFileA as `mode` says, WriteFile, FlushFileBuffers and CloseHandle: 0, or the last
    // error of the call that failed. A new or replaced file that was not written whole is
    // deleted.
    virtual std::uint32_t WriteToFile(const std::string& path, const std::string& bytes,
                                      WriteMode mode) = 0;
    // CreateFileA with OPEN_EXISTING, ReadFile and CloseHandle: 0 with the whole contents, or
    // the last error of the call that failed; 223 for a file larger than `maxBytes`.
    virtual std::uint32_t ReadWholeFile(const std::string& path, std::size_t maxBytes,
                                        std::string* bytes) = 0;
    // GetWindowsDirectoryA: "C:\WINDOWS"; empty when the call failed.
    virtual std::string GetWindowsDirectoryA() = 0;
    // A folder that only administrators and SYSTEM may change, and what is made in it: made with
    // that access alone (not inherited from its parent) and owned by the administrators, or, when
    // it is there, given that access and owner anew. 0, or the last error of the call that failed.
    virtual std::uint32_t CreateAdminOnlyFolder(const std::string& path) = 0;
    // DeleteFileA on `to`, whose access then comes from its folder, and CopyFileA: 0, or the last
    // error of the call that failed (deleting a file that is not there is no failure).
    virtual std::uint32_t CopyFileA(const std::string& from, const std::string& to) = 0;
    // WriteFile to GetStdHandle(STD_ERROR_HANDLE), where a command line run tells what its log
    // cannot; nothing when the handle is not there (a program started without a console).
    virtual void WriteToStandardError(const std::string& text) = 0;
    // GetOpenFileNameA for one existing file matching `pattern`, starting in `initialDir`: the
    // chosen path, or empty when the user cancelled.
    virtual std::string GetOpenFileNameA(const std::string& title, const std::string& filterName,
                                         const std::string& pattern,
                                         const std::string& initialDir) = 0;
    // GetSaveFileNameA, proposing `fileName` in `initialDir` and asking before it replaces a
    // file: the chosen path, or empty when the user cancelled.
    virtual std::string GetSaveFileNameA(const std::string& title, const std::string& filterName,
                                         const std::string& pattern, const std::string& initialDir,
                                         const std::string& fileName) = 0;
};

}  // namespace quorvel::platform
