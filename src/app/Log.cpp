// The log of the runs without a window.
#include "app/Log.h"

#include "backup/Backup.h"
#include "text/Concat.h"
#include "text/CrLf.h"
#include "text/Numbers.h"

namespace quorvel::app {

using text::Concat;
using text::kCrLf;

namespace {
constexpr const char* kLogNotWritten = "Quorvel changed nothing: its log could not be written:";
constexpr const char* kLogNotFinished = "Quorvel could not finish its log ";
}  // namespace

void Log::Start(const std::string& arguments) {
    // One file on a share may hold the runs of many machines: each tells where and as whom.
    Line(Concat({text::DateAndTime(platform_.files.GetLocalTime()), "  ",
                 platform_.system.GetComputerNameA(), " (", platform_.system.GetUserNameA(),
                 ")  quorvel.exe ", arguments}));
}

void Log::Line(platform::CStr text) {
    pending_ += text.c_str();
    pending_ += kCrLf;
}

bool Log::Open(const std::string& file) {
    std::string failures;
    if (file.empty()) {
        const backup::FolderWrite written = backup::WriteInBackupFolder(
            platform_, "Quorvel", ".log", pending_, platform::WriteMode::Append);
        path_ = written.path;
        failures = written.failures;
    } else if (const std::uint32_t error = Write(file)) {
        failures =
            Concat({kCrLf, kCrLf, file, kCrLf, backup::SystemText(platform_.registry, error)});
    } else {
        path_ = file;
    }
    if (path_.empty()) {
        platform_.files.WriteToStandardError(Concat({kLogNotWritten, failures, kCrLf}));
        return false;
    }
    pending_.clear();
    return true;
}

bool Log::Flush() {
    const std::uint32_t error = Write(path_);
    if (error == 0) {
        pending_.clear();
    } else {
        platform_.files.WriteToStandardError(Concat(
            {kLogNotFinished, path_, ": ", backup::SystemText(platform_.registry, error), kCrLf}));
    }
    return error == 0;
}

std::uint32_t Log::Write(const std::string& path) {
    return platform_.files.WriteToFile(path, pending_, platform::WriteMode::Append);
}

int LogPrompt::Show(const std::string& text, platform::CStr title, std::uint32_t style) {
    std::string flat = text;
    for (std::size_t at = flat.find(kCrLf); at != std::string::npos; at = flat.find(kCrLf)) {
        flat.replace(at, 2, " ");
    }
    log_.Line(Concat({"Box \"", title.c_str(), "\": ", flat}));
    log_.Flush();
    if ((style & 0xF0) == platform::kMbIconHand) {
        ++failures;
    }
    return (style & 0x0F) == platform::kMbYesNo ? questionAnswer_ : platform::kIdOk;
}

}  // namespace quorvel::app
