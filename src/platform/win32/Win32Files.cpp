// Files, folders, the clock and the Open dialog: kernel32, shell32 and comdlg32.
#include "platform/win32/Win32Platform.h"

// Neither is pulled in by <windows.h> under WIN32_LEAN_AND_MEAN.
#include <commdlg.h>
#include <shlobj.h>

namespace quorvel::platform::win32 {

namespace {

std::string FromBuffer(const char* buffer, DWORD length, DWORD size) {
    // A result that fills the buffer may have been cut short.
    return length == 0 || length >= size ? std::string() : std::string(buffer, length);
}

std::string WithoutTrailingSlash(std::string path) {
    // A drive's root keeps its backslash in the shell's answer ("C:\").
    if (!path.empty() && path.back() == '\\') {
        path.pop_back();
    }
    return path;
}

// SHGetSpecialFolderPathA needs shell32 4.71; these are on NT 4.0 as it ships.
std::string MyDocumentsPath() {
    static const auto getLocation =
        LookUp<decltype(&SHGetSpecialFolderLocation)>("shell32.dll", "SHGetSpecialFolderLocation");
    static const auto getPath =
        LookUp<decltype(&SHGetPathFromIDListA)>("shell32.dll", "SHGetPathFromIDListA");
    static const auto getMalloc = LookUp<decltype(&SHGetMalloc)>("shell32.dll", "SHGetMalloc");
    LPITEMIDLIST list = nullptr;
    if (!getLocation || !getPath || !getMalloc ||
        FAILED(getLocation(nullptr, CSIDL_PERSONAL, &list)) || list == nullptr) {
        return {};
    }
    char path[MAX_PATH] = {};
    const BOOL ok = getPath(list, path);
    IMalloc* allocator = nullptr;
    if (SUCCEEDED(getMalloc(&allocator)) && allocator != nullptr) {
        allocator->Free(list);
        allocator->Release();
    }
    return ok ? WithoutTrailingSlash(path) : std::string();
}

}  // namespace

std::string Win32Files::GetModuleFileNameA() {
    char buffer[MAX_PATH + 1] = {};
    return FromBuffer(buffer, ::GetModuleFileNameA(nullptr, buffer, sizeof buffer), sizeof buffer);
}

SystemTime Win32Files::GetLocalTime() {
    SYSTEMTIME now = {};
    ::GetLocalTime(&now);
    return SystemTime{now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
}

std::string Win32Files::GetFolderPath(KnownFolder folder) {
    if (folder == KnownFolder::MyDocuments) {
        return MyDocumentsPath();
    }
    char buffer[MAX_PATH + 1] = {};
    return WithoutTrailingSlash(FromBuffer(
        buffer, GetEnvironmentVariableA("USERPROFILE", buffer, sizeof buffer), sizeof buffer));
}

std::uint32_t Win32Files::CreateDirectoryA(const std::string& path) {
    return ::CreateDirectoryA(path.c_str(), nullptr) ? 0 : GetLastError();
}

std::uint32_t Win32Files::GetFileAttributesA(const std::string& path) {
    return ::GetFileAttributesA(path.c_str());
}

std::uint32_t Win32Files::WriteToFile(const std::string& path, const std::string& bytes,
                                      WriteMode mode) {
    const DWORD disposition = mode == WriteMode::New       ? CREATE_NEW
                              : mode == WriteMode::Replace ? CREATE_ALWAYS
                                                           : OPEN_ALWAYS;
    // With the right to append alone, every write goes to the end of the file.
    const DWORD access = mode == WriteMode::Append ? FILE_APPEND_DATA : GENERIC_WRITE;
    HANDLE file =
        CreateFileA(path.c_str(), access, 0, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return GetLastError();
    }
    DWORD written = 0;
    DWORD error = 0;
    if (!WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr)) {
        error = GetLastError();
    } else if (written != bytes.size()) {
        error = ERROR_DISK_FULL;
    } else if (!FlushFileBuffers(file)) {
        // The file is what the user falls back on after a failed restart: it must be on disk.
        error = GetLastError();
    }
    if (!CloseHandle(file) && error == 0) {
        error = GetLastError();
    }
    if (error != 0 && mode != WriteMode::Append) {
        DeleteFileA(path.c_str());
    }
    return error;
}

std::string Win32Files::GetWindowsDirectoryA() {
    char buffer[MAX_PATH];
    const UINT length = ::GetWindowsDirectoryA(buffer, MAX_PATH);
    return WithoutTrailingSlash(FromBuffer(buffer, length, MAX_PATH));
}

namespace {

// The two well-known SIDs, as the system lays them out: BUILTIN\Administrators (S-1-5-32-544)
// and SYSTEM (S-1-5-18).
struct WellKnownSid {
    BYTE revision;
    BYTE subAuthorityCount;
    SID_IDENTIFIER_AUTHORITY authority;
    DWORD subAuthority[2];
};
WellKnownSid gAdministrators{SID_REVISION,
                             2,
                             {SECURITY_NT_AUTHORITY},
                             {SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS}};
WellKnownSid gSystem{SID_REVISION, 1, {SECURITY_NT_AUTHORITY}, {SECURITY_LOCAL_SYSTEM_RID, 0}};

// A descriptor owned by the administrators whose DACL gives the administrators and SYSTEM all
// access, inherited by what is made in the folder, and nothing to anyone else.
class AdminOnly {
  public:
    AdminOnly() {
        InitializeAcl(&acl_.header, sizeof acl_, ACL_REVISION);
        for (WellKnownSid* sid : {&gAdministrators, &gSystem}) {
            AddAccessAllowedAce(&acl_.header, ACL_REVISION, FILE_ALL_ACCESS, sid);
        }
        for (DWORD i = 0; i < 2; ++i) {
            ACE_HEADER* ace = nullptr;
            if (GetAce(&acl_.header, i, reinterpret_cast<void**>(&ace))) {
                ace->AceFlags |= OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE;
            }
        }
        InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION);
        SetSecurityDescriptorDacl(&descriptor, TRUE, &acl_.header, FALSE);
        SetSecurityDescriptorOwner(&descriptor, &gAdministrators, FALSE);
        // Windows 2000 and later add the parent's inheritable entries unless the DACL is
        // protected; NT 4.0 has no such inheritance, nor the function.
        using SetControl = BOOL(WINAPI*)(PSECURITY_DESCRIPTOR, SECURITY_DESCRIPTOR_CONTROL,
                                         SECURITY_DESCRIPTOR_CONTROL);
        if (const auto setControl =
                LookUp<SetControl>("advapi32.dll", "SetSecurityDescriptorControl")) {
            setControl(&descriptor, SE_DACL_PROTECTED, SE_DACL_PROTECTED);
        }
    }
    SECURITY_DESCRIPTOR descriptor{};

  private:
    struct {
        ACL header;
        BYTE entries[2 * (sizeof(ACCESS_ALLOWED_ACE) + sizeof(WellKnownSid))];
    } acl_{};
};

}  // namespace

std::uint32_t Win32Files::CreateAdminOnlyFolder(const std::string& path) {
    AdminOnly adminOnly;
    SECURITY_ATTRIBUTES attributes{sizeof attributes, &adminOnly.descriptor, FALSE};
    if (::CreateDirectoryA(path.c_str(), &attributes)) {
        return 0;
    }
    DWORD error = GetLastError();
    // A folder that is there may have been made by anyone: it is given the access anew.
    // PROTECTED_DACL_SECURITY_INFORMATION, which NT 4.0 ignores.
    constexpr SECURITY_INFORMATION kProtected = 0x80000000;
    if (error == ERROR_ALREADY_EXISTS &&
        SetFileSecurityA(path.c_str(),
                         OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION | kProtected,
                         &adminOnly.descriptor)) {
        error = 0;
    }
    return error;
}

std::uint32_t Win32Files::CopyFileA(const std::string& from, const std::string& to) {
    if (!DeleteFileA(to.c_str()) && GetLastError() != ERROR_FILE_NOT_FOUND) {
        return GetLastError();
    }
    return ::CopyFileA(from.c_str(), to.c_str(), TRUE) ? 0 : GetLastError();
}

void Win32Files::WriteToStandardError(const std::string& text) {
    const HANDLE error = GetStdHandle(STD_ERROR_HANDLE);
    DWORD written = 0;
    if (error != nullptr && error != INVALID_HANDLE_VALUE) {
        WriteFile(error, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    }
}

std::uint32_t Win32Files::ReadWholeFile(const std::string& path, std::size_t maxBytes,
                                        std::string* bytes) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return GetLastError();
    }
    DWORD high = 0;
    const DWORD size = GetFileSize(file, &high);
    DWORD error = 0;
    if (size == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) {
        error = GetLastError();
    } else if (high != 0 || size > maxBytes) {
        error = ERROR_FILE_TOO_LARGE;
    } else {
        std::string contents(size, '\0');
        DWORD read = 0;
        if (size > 0 && !ReadFile(file, &contents[0], size, &read, nullptr)) {
            error = GetLastError();
        } else if (read != size) {
            error = ERROR_HANDLE_EOF;
        } else {
            *bytes = std::move(contents);
        }
    }
    CloseHandle(file);
    return error;
}

namespace {

// The Open or Save dialog: GetOpenFileNameA or GetSaveFileNameA, looked up when first needed.
std::string FileDialog(HWND owner, bool save, const std::string& title,
                       const std::string& filterName, const std::string& pattern,
                       const std::string& initialDir, const std::string& fileName) {
    // Pairs of NUL-terminated texts, the list ended by an empty one.
    std::string filter = filterName;
    filter += '\0';
    filter += pattern;
    filter += '\0';
    char file[MAX_PATH] = {};
    fileName.copy(file, sizeof file - 1);
    // The size this header gives is the NT 4.0 one, which every later system accepts.
    OPENFILENAMEA ofn = {};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner != nullptr ? owner : GetActiveWindow();
    ofn.lpstrFilter = filter.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = file;
    ofn.nMaxFile = sizeof file;
    ofn.lpstrInitialDir = initialDir.empty() ? nullptr : initialDir.c_str();
    ofn.lpstrTitle = title.c_str();
    ofn.Flags = OFN_EXPLORER | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY |
                (save ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST);
    // The extension the user leaves out: the pattern's, without "*.".
    const std::string extension = pattern.substr(pattern.find('.') + 1);
    ofn.lpstrDefExt = save ? extension.c_str() : nullptr;
    using Dialog = decltype(&::GetOpenFileNameA);
    static const auto getOpenFileName = LookUp<Dialog>("comdlg32.dll", "GetOpenFileNameA");
    static const auto getSaveFileName = LookUp<Dialog>("comdlg32.dll", "GetSaveFileNameA");
    const Dialog dialog = save ? getSaveFileName : getOpenFileName;
    return dialog && dialog(&ofn) ? std::string(file) : std::string();
}

}  // namespace

std::string Win32Files::GetOpenFileNameA(const std::string& title, const std::string& filterName,
                                         const std::string& pattern,
                                         const std::string& initialDir) {
    return FileDialog(owner_, false, title, filterName, pattern, initialDir, {});
}

std::string Win32Files::GetSaveFileNameA(const std::string& title, const std::string& filterName,
                                         const std::string& pattern, const std::string& initialDir,
                                         const std::string& fileName) {
    return FileDialog(owner_, true, title, filterName, pattern, initialDir, fileName);
}

}  // namespace quorvel::platform::win32
