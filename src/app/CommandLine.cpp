// Parsing the command line and running what needs no main window.
#include "app/CommandLine.h"

#include <algorithm>

#include "app/frmMainframe.h"
#include "backup/Restore.h"

namespace quorvel::app {

namespace {

std::string Trim(const std::string& text) {
    const std::size_t first = text.find_first_not_of(" \t");
    const std::size_t last = text.find_last_not_of(" \t");
    return first == std::string::npos ? std::string() : text.substr(first, last - first + 1);
}

bool IsSwitch(const std::string& part, const std::string& name) {
    if (part.size() != name.size() + 1 || (part[0] != '/' && part[0] != '-')) {
        return false;
    }
    for (std::size_t i = 0; i < name.size(); ++i) {
        const char c = part[i + 1];
        if ((c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c) != name[i]) {
            return false;
        }
    }
    return true;
}

}  // namespace

CommandLine ParseCommandLine(const std::string& arguments) {
    const std::string line = Trim(arguments);
    const std::size_t blank = line.find_first_of(" \t");
    const std::string first = line.substr(0, blank);
    std::string rest = blank == std::string::npos ? std::string() : Trim(line.substr(blank));
    // No path holds a double quote: a file named with or without quotes is the same file.
    rest.erase(std::remove(rest.begin(), rest.end(), '"'), rest.end());
    CommandLine command;
    if (line.empty()) {
        command.action = CommandLine::Action::Window;
    } else if ((IsSwitch(first, "?") || IsSwitch(first, "help")) && rest.empty()) {
        command.action = CommandLine::Action::Help;
    } else if (IsSwitch(first, "restore") && !rest.empty()) {
        command.action = CommandLine::Action::Restore;
        command.file = rest;
    } else {
        command.action = CommandLine::Action::Invalid;
        command.text = line;
    }
    return command;
}

int RunCommandLine(const CommandLine& command, platform::Platform& platform) {
    switch (command.action) {
        case CommandLine::Action::Restore: {
            registry::mdlRegistry registry(platform.registry, platform.prompt);
            return backup::ExitCode(backup::RestoreBackup(command.file, registry, platform).result);
        }
        case CommandLine::Action::Help:
            platform.prompt.Show(kUsage, kMainCaption,
                                 platform::kMbOk | platform::kMbIconInformation);
            return 0;
        case CommandLine::Action::Window:
            return 0;
        case CommandLine::Action::Invalid:
            break;
    }
    platform.prompt.Show(kUnknownCommandLine + command.text + "\r\n\r\n" + kUsage, kMainCaption,
                         platform::kMbOk | platform::kMbIconExclamation);
    return kExitBadCommandLine;
}

}  // namespace quorvel::app
