// Simulated files and folders in memory, a fixed clock and a scripted Open dialog, for tests.
#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/Files.h"

namespace quorvel::platform::sim {

struct OpenDialogCall {
    std::string title;
    std::string filterName;
    std::string pattern;
    std::string initialDir;
    std::string fileName;
};

// Paths compare case-insensitively, as on Windows. A folder or file can only be made in a folder
// that is there (3 otherwise); the folders of the module, My Documents and the profile are.
class SimFiles : public IFiles {
  public:
    SimFiles();

    std::string GetModuleFileNameA() override { return modulePath; }
    SystemTime GetLocalTime() override { return now; }
    std::string GetFolderPath(KnownFolder folder) override;
    std::uint32_t CreateDirectoryA(const std::string& path) override;
    std::uint32_t GetFileAttributesA(const std::string& path) override;
    std::uint32_t WriteToFile(const std::string& path, const std::string& bytes,
                              WriteMode mode) override;
    std::uint32_t ReadWholeFile(const std::string& path, std::size_t maxBytes,
                                std::string* bytes) override;
    void WriteToStandardError(const std::string& text) override { standardError += text; }
    std::string GetWindowsDirectoryA() override { return windowsDirectory; }
    std::uint32_t CreateAdminOnlyFolder(const std::string& path) override;
    std::uint32_t CopyFileA(const std::string& from, const std::string& to) override;
    // Whether the path lies in a folder made for administrators only.
    bool AdminOnly(const std::string& path) const;
    std::string GetOpenFileNameA(const std::string& title, const std::string& filterName,
                                 const std::string& pattern,
                                 const std::string& initialDir) override;
    std::string GetSaveFileNameA(const std::string& title, const std::string& filterName,
                                 const std::string& pattern, const std::string& initialDir,
                                 const std::string& fileName) override;

    // Adds the folder and every folder above it.
    void PutFolder(const std::string& path);
    void PutFile(const std::string& path, std::string bytes);
    void RemoveFile(const std::string& path);
    // Creating a folder or a file at or below `prefix` fails with `error`.
    void DenyWrites(const std::string& prefix, std::uint32_t error);
    // Call `n` (0-based) of those that make a folder or write a file fails with `error`.
    void FailCallNumber(std::size_t n, std::uint32_t error) {
        failCall_ = n;
        failError_ = error;
    }
    std::size_t WriteCallCount() const { return writeCalls_; }
    // Paths of the files written, in the order they were written.
    const std::vector<std::string>& Written() const { return written_; }
    const std::string* File(const std::string& path) const;

    std::string modulePath = "C:\\Program Files\\Quorvel\\quorvel.exe";
    SystemTime now{2003, 5, 17, 21, 4, 9};
    std::string myDocuments = "C:\\Documents and Settings\\Ann\\My Documents";
    std::string profile = "C:\\Documents and Settings\\Ann";
    // What the Open and Save dialogs return; every call is recorded (a Save dialog's proposed
    // file name in `fileName`).
    std::string openDialogAnswer;
    std::string saveDialogAnswer;
    std::vector<OpenDialogCall> openDialogCalls;
    std::vector<OpenDialogCall> saveDialogCalls;
    std::string standardError;
    std::string windowsDirectory = "C:\\WINDOWS";

  private:
    std::uint32_t Denied(const std::string& path) const;
    std::uint32_t Failing();

    std::set<std::string> folders_;                              // upper-cased
    std::set<std::string> adminOnly_;                            // upper-cased
    std::map<std::string, std::string> files_;                   // upper-cased path to contents
    std::vector<std::pair<std::string, std::uint32_t>> denied_;  // upper-cased prefix
    std::vector<std::string> written_;
    std::size_t writeCalls_ = 0;
    std::size_t failCall_ = static_cast<std::size_t>(-1);
    std::uint32_t failError_ = 0;
};

}  // namespace quorvel::platform::sim
