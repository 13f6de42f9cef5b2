// The simulated file system, clock and Open dialog.
#include "platform/sim/SimFiles.h"

#include "text/Text.h"

#include <cctype>

#include "platform/Registry.h"

namespace quorvel::platform::sim {

namespace {

std::string Upper(const std::string& text) {
    return text::UpperAscii(text);
}

std::string Parent(const std::string& path) {
    const auto slash = path.rfind('\\');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

}  // namespace

SimFiles::SimFiles() {
    PutFolder(Parent(modulePath));
    PutFile(modulePath, "MZ");
    PutFolder(myDocuments);
    PutFolder(profile);
    PutFolder(windowsDirectory);
}

std::string SimFiles::GetFolderPath(KnownFolder folder) {
    return folder == KnownFolder::MyDocuments ? myDocuments : profile;
}

std::uint32_t SimFiles::Denied(const std::string& path) const {
    const std::string upper = Upper(path);
    for (const auto& [prefix, error] : denied_) {
        if (upper.compare(0, prefix.size(), prefix) == 0 &&
            (upper.size() == prefix.size() || upper[prefix.size()] == '\\')) {
            return error;
        }
    }
    return 0;
}

std::uint32_t SimFiles::Failing() {
    return writeCalls_++ == failCall_ ? failError_ : 0;
}

std::uint32_t SimFiles::CreateDirectoryA(const std::string& path) {
    if (const std::uint32_t error = Failing()) {
        return error;
    }
    const std::string upper = Upper(path);
    if (folders_.count(upper) || files_.count(upper)) {
        return kErrorAlreadyExists;
    }
    if (const std::uint32_t error = Denied(path)) {
        return error;
    }
    if (!folders_.count(Upper(Parent(path)))) {
        return kErrorPathNotFound;
    }
    folders_.insert(upper);
    return 0;
}

std::uint32_t SimFiles::CreateAdminOnlyFolder(const std::string& path) {
    const std::uint32_t error = CreateDirectoryA(path);
    if (error != 0 && error != kErrorAlreadyExists) {
        return error;
    }
    adminOnly_.insert(Upper(path));
    return 0;
}

std::uint32_t SimFiles::CopyFileA(const std::string& from, const std::string& to) {
    const auto source = files_.find(Upper(from));
    if (source == files_.end()) {
        return static_cast<std::uint32_t>(kErrorFileNotFound);
    }
    const std::string bytes = source->second;  // `to` may be `from`
    return WriteToFile(to, bytes, WriteMode::Replace);
}

bool SimFiles::AdminOnly(const std::string& path) const {
    return adminOnly_.count(Upper(Parent(path))) != 0;
}

std::uint32_t SimFiles::GetFileAttributesA(const std::string& path) {
    const std::string upper = Upper(path);
    if (folders_.count(upper)) {
        return kFileAttributeDirectory;
    }
    return files_.count(upper) ? 0x20 : kInvalidFileAttributes;  // FILE_ATTRIBUTE_ARCHIVE
}

std::uint32_t SimFiles::WriteToFile(const std::string& path, const std::string& bytes,
                                    WriteMode mode) {
    if (const std::uint32_t error = Failing()) {
        return error;
    }
    const std::string upper = Upper(path);
    if (folders_.count(upper) || (mode == WriteMode::New && files_.count(upper))) {
        return kErrorFileExists;
    }
    if (const std::uint32_t error = Denied(path)) {
        return error;
    }
    if (!folders_.count(Upper(Parent(path)))) {
        return kErrorPathNotFound;
    }
    files_[upper] = mode == WriteMode::Append ? files_[upper] + bytes : bytes;
    written_.push_back(path);
    return 0;
}

std::uint32_t SimFiles::ReadWholeFile(const std::string& path, std::size_t maxBytes,
                                      std::string* bytes) {
    const auto found = files_.find(Upper(path));
    if (found == files_.end()) {
        return static_cast<std::uint32_t>(kErrorFileNotFound);
    }
    if (found->second.size() > maxBytes) {
        return kErrorFileTooLarge;
    }
    *bytes = found->second;
    return 0;
}

std::string SimFiles::GetOpenFileNameA(const std::string& title, const std::string& filterName,
                                       const std::string& pattern, const std::string& initialDir) {
    openDialogCalls.push_back(OpenDialogCall{title, filterName, pattern, initialDir, {}});
    return openDialogAnswer;
}

std::string SimFiles::GetSaveFileNameA(const std::string& title, const std::string& filterName,
                                       const std::string& pattern, const std::string& initialDir,
                                       const std::string& fileName) {
    saveDialogCalls.push_back(OpenDialogCall{title, filterName, pattern, initialDir, fileName});
    return saveDialogAnswer;
}

void SimFiles::PutFolder(const std::string& path) {
    for (std::string folder = path; !folder.empty(); folder = Parent(folder)) {
        folders_.insert(Upper(folder));
    }
}

void SimFiles::RemoveFile(const std::string& path) {
    files_.erase(Upper(path));
}

void SimFiles::PutFile(const std::string& path, std::string bytes) {
    PutFolder(Parent(path));
    files_[Upper(path)] = std::move(bytes);
}

void SimFiles::DenyWrites(const std::string& prefix, std::uint32_t error) {
    denied_.emplace_back(Upper(prefix), error);
}

const std::string* SimFiles::File(const std::string& path) const {
    const auto found = files_.find(Upper(path));
    return found == files_.end() ? nullptr : &found->second;
}

}  // namespace quorvel::platform::sim
