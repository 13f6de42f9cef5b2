// Parsing the command line and running what needs no main window.
#include "app/CommandLine.h"

#include <algorithm>

#include "app/Unattended.h"
#include "app/frmMainframe.h"
#include "backup/Restore.h"
#include "text/Numbers.h"
#include "text/Text.h"

namespace quorvel::app {

namespace {

std::string Trim(const std::string& text) {
    return std::string(text::Trim(text));
}

bool IsSwitch(const std::string& part, const std::string& name) {
    return !part.empty() && (part[0] == '/' || part[0] == '-') &&
           text::SameNoCase(std::string_view(part).substr(1), name);
}

bool IsSwitchLike(const std::string& word) {
    return !word.empty() && (word[0] == '/' || word[0] == '-');
}

// Blank-separated words; a double quote starts or ends a run in which blanks belong to the word.
std::vector<std::string> Words(const std::string& text) {
    std::vector<std::string> words;
    std::string word;
    bool quoted = false;
    bool inWord = false;
    for (char c : text) {
        if (c == '"') {
            quoted = !quoted;
            inWord = true;
        } else if ((c == ' ' || c == '\t') && !quoted) {
            if (inWord) {
                words.push_back(word);
            }
            word.clear();
            inWord = false;
        } else {
            word += c;
            inWord = true;
        }
    }
    if (inWord) {
        words.push_back(word);
    }
    return words;
}

// Keeps the first refusal only: it names what went wrong first.
void Refuse(CommandLine& command, const std::string& why) {
    if (command.text.empty()) {
        command.text = why;
    }
}

// "1024x768@85": each number whole, in decimal digits only.
std::optional<ModeChoice> ParseMode(const std::string& text) {
    const std::size_t x = text.find_first_of("xX");
    const std::size_t at = text.find('@');
    if (x == std::string::npos || at == std::string::npos || at < x) {
        return std::nullopt;
    }
    const auto width = text::ParseDecimal(std::string_view(text).substr(0, x));
    const auto height = text::ParseDecimal(std::string_view(text).substr(x + 1, at - x - 1));
    const auto rate = text::ParseDecimal(std::string_view(text).substr(at + 1));
    constexpr std::uint32_t kLargest = 100000;
    if (!width || !height || !rate || *width > kLargest || *height > kLargest || *rate > kLargest) {
        return std::nullopt;
    }
    return ModeChoice{static_cast<int>(*width), static_cast<int>(*height), static_cast<int>(*rate)};
}

// The value after a switch: the next word, unless there is none or it is a switch itself.
std::optional<std::string> ValueAfter(const std::vector<std::string>& words, std::size_t& i) {
    if (i + 1 >= words.size() || IsSwitchLike(words[i + 1])) {
        return std::nullopt;
    }
    return words[++i];
}

// The modes of one word, comma-separated; the first refusal goes into command.text.
void ParseModes(const std::string& word, CommandLine& command) {
    std::size_t start = 0;
    while (start <= word.size()) {
        std::size_t comma = word.find(',', start);
        comma = comma == std::string::npos ? word.size() : comma;
        const std::string piece = word.substr(start, comma - start);
        start = comma + 1;
        if (piece.empty()) {
            continue;  // blanks after the commas leave empty pieces
        }
        const std::optional<ModeChoice> mode = ParseMode(piece);
        if (!mode) {
            Refuse(command, kApplyBadMode + piece);
            continue;
        }
        for (const ModeChoice& earlier : command.modes) {
            if (earlier.width == mode->width && earlier.height == mode->height) {
                Refuse(command, kApplyTwice + piece);
            }
        }
        command.modes.push_back(*mode);
    }
}

// /apply's and /reapply's arguments; the first refusal goes into command.text.
void ParseApply(const std::vector<std::string>& words, CommandLine& command) {
    std::optional<bool> reboot;
    for (std::size_t i = 1; i < words.size(); ++i) {
        const std::string& word = words[i];
        if (IsSwitch(word, "generation")) {
            const std::optional<std::string> value = ValueAfter(words, i);
            if (value == "28" || value == "40") {
                command.detonator40 = value == "40";
            } else {
                Refuse(command, kApplyBadGeneration);
            }
        } else if (IsSwitch(word, "format")) {
            const std::optional<std::string> value = ValueAfter(words, i);
            if (value && (text::SameNoCase(*value, "on") || text::SameNoCase(*value, "off"))) {
                command.formatOn = text::SameNoCase(*value, "on");
            } else {
                Refuse(command, kApplyBadFormat);
            }
        } else if (IsSwitch(word, "log")) {
            const std::optional<std::string> value = ValueAfter(words, i);
            if (value && !value->empty()) {
                command.file = *value;
            } else {
                Refuse(command, kApplyNoLogFile);
            }
        } else if (IsSwitch(word, "reboot") || IsSwitch(word, "noreboot")) {
            const bool wanted = IsSwitch(word, "reboot");
            if (reboot && *reboot != wanted) {
                Refuse(command, kApplyRebootBoth);
            }
            reboot = wanted;
        } else if (IsSwitch(word, "force")) {
            command.force = true;
        } else if (IsSwitch(word, "confirm")) {
            command.confirm = true;
        } else if (IsSwitchLike(word) || command.action == CommandLine::Action::Reapply) {
            Refuse(command, kApplyUnknown + word);  // /reapply takes its modes from the record
        } else {
            ParseModes(word, command);
        }
    }
    if (command.modes.empty() && command.action == CommandLine::Action::Apply) {
        Refuse(command, kApplyNeedsModes);
    }
    command.reboot = reboot.value_or(false);
}

}  // namespace

CommandLine ParseCommandLine(const std::string& arguments) {
    const std::string line = Trim(arguments);
    const std::size_t blank = line.find_first_of(" \t");
    const std::string first = line.substr(0, blank);
    std::string rest = blank == std::string::npos ? std::string() : Trim(line.substr(blank));
    CommandLine command;
    command.arguments = line;
    if (IsSwitch(first, "apply") || IsSwitch(first, "reapply")) {
        command.action =
            IsSwitch(first, "apply") ? CommandLine::Action::Apply : CommandLine::Action::Reapply;
        ParseApply(Words(line), command);
        return command;
    }
    // No path holds a double quote: a file named with or without quotes is the same file.
    rest.erase(std::remove(rest.begin(), rest.end(), '"'), rest.end());
    if (line.empty()) {
        command.action = CommandLine::Action::Window;
    } else if ((IsSwitch(first, "?") || IsSwitch(first, "help")) && rest.empty()) {
        command.action = CommandLine::Action::Help;
    } else if ((IsSwitch(first, "restore") || IsSwitch(first, "confirm")) && !rest.empty()) {
        command.action = IsSwitch(first, "restore") ? CommandLine::Action::Restore
                                                    : CommandLine::Action::Confirm;
        command.file = rest;
    } else {
        command.action = CommandLine::Action::Invalid;
        command.text = line;
    }
    return command;
}

int RunCommandLine(const CommandLine& command, platform::Platform& platform, IConfirmView* view) {
    switch (command.action) {
        case CommandLine::Action::Restore: {
            registry::mdlRegistry registry(platform.registry, platform.prompt);
            return backup::ExitCode(backup::RestoreBackup(command.file, registry, platform).result);
        }
        case CommandLine::Action::Apply:
        case CommandLine::Action::Reapply:
            return RunApply(command, platform);
        case CommandLine::Action::Confirm:
            return RunConfirm(command, platform, view);
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
