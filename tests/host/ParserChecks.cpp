// The parsers' checks for the fuzz targets and the seeded loops: each runs one parser on the
// bytes it is given and compares the outcome with what the parser promises.
#include "ParserChecks.h"

#include <algorithm>
#include <iterator>
#include <map>
#include <memory>
#include <optional>
#include <tuple>
#include <utility>

#include "Robustness.h"
#include "app/CommandLine.h"
#include "applied/Applied.h"
#include "backup/BackupTexts.h"
#include "backup/Restore.h"
#include "backup/UndoFile.h"
#include "modes/Composers.h"
#include "modes/Decoders.h"
#include "monitor/Edid.h"
#include "platform/sim/SimFiles.h"
#include "platform/sim/SimPlatform.h"
#include "registry/DriverKeys.h"

namespace quorvel::robustness {

using platform::sim::RawValue;
using platform::sim::SimRegistry;

namespace {

constexpr const char* kUndoFilePath = "C:\\Quorvel-undo-20030517-210409.reg";

// The installation every restore starts from, loaded once.
const SimRegistry* Installation() {
    static const std::unique_ptr<SimRegistry> loaded = [] {
        auto registry = std::make_unique<SimRegistry>();
        if (!registry->ImportRegFile(std::string(QUORVEL_FIXTURES_DIR) + "/xp-dualhead.reg")) {
            registry.reset();
        }
        return registry;
    }();
    return loaded.get();
}

std::string Text(const std::uint8_t* bytes, std::size_t size) {
    return std::string(reinterpret_cast<const char*>(bytes), size);
}

// The writer's values read back: each the same key, name, type and bytes.
void CheckRewritten(const std::vector<backup::SavedValue>& values,
                    std::vector<std::string>& broken) {
    const std::vector<std::string> comments(std::begin(backup::kCommentLines),
                                            std::end(backup::kCommentLines));
    const backup::ParsedUndoFile reread =
        backup::ParseUndoFile(backup::FormatUndoFile(comments, values));
    if (reread.refusal) {
        broken.push_back("the reader refuses what the writer wrote, at line " +
                         std::to_string(reread.refusal->line) + ": " + reread.refusal->text);
        return;
    }
    if (reread.values.size() != values.size()) {
        broken.push_back("the reader reads another number of values than the writer wrote");
        return;
    }
    for (std::size_t i = 0; i < values.size(); ++i) {
        const backup::SavedValue& a = values[i];
        const backup::SavedValue& b = reread.values[i];
        if (a.keyPath != b.keyPath || a.name != b.name || a.data != b.data) {
            broken.push_back("written and read back otherwise: " + a.keyPath + "\\" + a.name);
        }
    }
}

}  // namespace

std::vector<std::string> CheckRestore(const std::uint8_t* bytes, std::size_t size) {
    const SimRegistry* installation = Installation();
    if (installation == nullptr) {
        return {"the fixture xp-dualhead.reg could not be loaded"};
    }
    SimRegistry registry;
    registry.CopyKeysFrom(*installation);
    const std::string text = Text(bytes, size);
    platform::sim::SimFiles files;
    files.PutFile(kUndoFilePath, text);
    platform::sim::SimSystemInfo system;
    platform::sim::SimShell shell;
    platform::sim::SimRestart restart;
    RunResult run;
    platform::Platform services{registry, run.prompt, system, shell, restart, files};
    registry::mdlRegistry api(registry, run.prompt);
    // This machine's NVIDIA display keys: a file naming any other display key is refused whole.
    platform::QuietPrompt quiet;
    registry::mdlRegistry quietApi(registry, quiet);
    std::vector<std::string> machineKeys;
    for (const std::string& key : registry::DisplayKeys(quietApi)) {
        machineKeys.push_back(Upper(key));
    }
    machineKeys.push_back(Upper(registry::kServiceKey));
    registry.ClearCalls();
    const Snapshot before = TakeSnapshot(registry);
    const backup::RestoreResult result = backup::RestoreBackup(kUndoFilePath, api, services).result;
    const Snapshot after = TakeSnapshot(registry);
    if (!files.Written().empty()) {
        run.undoFile = *files.File(files.Written().front());
    }

    std::vector<std::string> broken;
    if (registry.OpenHandleCount() != 0) {
        broken.push_back("a key was left open");
    }
    const backup::ParsedUndoFile parsed = backup::ParseUndoFile(text);
    const bool foreign = std::any_of(
        parsed.values.begin(), parsed.values.end(), [&](const backup::SavedValue& value) {
            return std::find(machineKeys.begin(), machineKeys.end(), Upper(value.keyPath)) ==
                   machineKeys.end();
        });
    if (parsed.refusal || foreign) {
        if (result != backup::RestoreResult::Failed) {
            broken.push_back("a refused file did not fail the restore");
        }
        if (run.prompt.titles != std::vector<std::string>{backup::kRestoreTitle}) {
            broken.push_back("a refused file showed more boxes than its refusal");
        }
        if (!Changes(before, after).empty() || !files.Written().empty()) {
            broken.push_back("a refused file changed something");
        }
        return broken;
    }

    // What each value is now: what the file's last line for it says, where its key is.
    std::map<std::pair<std::string, std::string>, std::optional<RawValue>> restored;
    bool everyKeyThere = true;
    const std::string serviceKey = Upper(registry::kServiceKey);
    const std::string appliedKey = Upper(applied::kAppliedKey);
    const auto recordValues = applied::RecordKey().values;
    for (const backup::SavedValue& value : parsed.values) {
        const std::string key = Upper(value.keyPath);
        const std::string name = Upper(value.name);
        const bool recordValue =
            key == appliedKey &&
            std::any_of(recordValues.begin(), recordValues.end(),
                        [&](const registry::PlannedValue& v) { return Upper(v.name) == name; });
        if (!recordValue &&
            ((key != serviceKey && !IsDisplayKeyPath(key)) || !IsManagedValueName(name))) {
            broken.push_back("the reader took a value the program does not manage: " + key + "\\" +
                             name);
        }
        restored[{key, name}] =
            value.data ? std::optional<RawValue>(RawValue{value.data->type, value.data->data})
                       : std::nullopt;
        everyKeyThere &= !value.data || before.count(key) != 0;
    }
    for (const auto& [where, value] : restored) {
        if (before.count(where.first) != 0 &&
            !SameValue(ValueIn(after, where.first, where.second), value)) {
            broken.push_back("not restored: " + where.first + "\\" + where.second);
        }
    }
    for (const auto& change : Changes(before, after)) {
        if (restored.count(change) == 0) {
            broken.push_back("changed, but not by the file: " + change.first + "\\" +
                             change.second);
        }
    }
    // A value whose key is not there cannot be written, and the restore says so.
    if (result != (everyKeyThere ? backup::RestoreResult::Done : backup::RestoreResult::Failed)) {
        broken.push_back(everyKeyThere ? "the restore failed" : "an unwritten value went unsaid");
    }
    for (const std::string& undo : CheckUndoFile(before, after, run)) {
        broken.push_back("the restore's own backup: " + undo);
    }
    CheckRewritten(parsed.values, broken);
    return broken;
}

namespace {

constexpr std::uint8_t kEdidHeader[8] = {0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00};

bool SameLimits(const std::optional<monitor::RangeLimits>& a,
                const std::optional<monitor::RangeLimits>& b) {
    const auto fields = [](const monitor::RangeLimits& r) {
        return std::make_tuple(r.minVerticalHz, r.maxVerticalHz, r.minHorizontalKHz,
                               r.maxHorizontalKHz, r.maxPixelClockMHz);
    };
    return a && b ? fields(*a) == fields(*b) : !a && !b;
}

void CheckEdidBlock(const std::vector<std::uint8_t>& bytes, const std::string& which,
                    std::vector<std::string>& broken) {
    const auto fail = [&](const std::string& what) { broken.push_back(which + ": " + what); };
    const std::size_t n = monitor::kEdidBlockSize;
    unsigned sum = 0;
    for (std::size_t i = 0; i < n && i < bytes.size(); ++i) {
        sum += bytes[i];
    }
    const bool sound = bytes.size() >= n &&
                       std::equal(std::begin(kEdidHeader), std::end(kEdidHeader), bytes.begin()) &&
                       sum % 256 == 0;
    const std::optional<monitor::EdidInfo> info = monitor::ParseEdid(bytes);
    if (info.has_value() != sound) {
        return fail(sound ? "a sound block was refused" : "a damaged block was taken");
    }
    if (!info) {
        return;
    }
    const auto base = monitor::ParseEdid({bytes.begin(), bytes.begin() + n});
    if (!base || base->name != info->name || !SameLimits(base->limits, info->limits)) {
        fail("what follows the base block changed what it gives");
    }
    const auto hasDescriptor = [&](std::uint8_t tag) {
        for (std::size_t at : {54, 72, 90, 108}) {
            if (bytes[at] == 0 && bytes[at + 1] == 0 && bytes[at + 2] == 0 &&
                bytes[at + 3] == tag) {
                return true;
            }
        }
        return false;
    };
    const std::string& name = info->name;
    if (name.size() > 13 || (!name.empty() && (name.back() == ' ' || !hasDescriptor(0xFC))) ||
        std::any_of(name.begin(), name.end(),
                    [](char c) { return static_cast<unsigned char>(c) < 0x20; })) {
        fail("a name no name descriptor gives: \"" + name + "\"");
    }
    if (info->limits) {
        const monitor::RangeLimits& r = *info->limits;
        const int rates[] = {r.minVerticalHz, r.maxVerticalHz, r.minHorizontalKHz,
                             r.maxHorizontalKHz};
        // At most 255, and 255 more with EDID 1.4's flags; the clock in steps of 10 MHz.
        if (!hasDescriptor(0xFD) ||
            std::any_of(std::begin(rates), std::end(rates),
                        [](int rate) { return rate < 0 || rate > 510; }) ||
            r.maxPixelClockMHz < 0 || r.maxPixelClockMHz > 2550 || r.maxPixelClockMHz % 10 != 0) {
            fail("limits no limits descriptor gives");
        }
    }
}

}  // namespace

std::vector<std::string> CheckEdid(const std::uint8_t* bytes, std::size_t size) {
    std::vector<std::string> broken;
    std::vector<std::uint8_t> block(bytes, bytes + size);
    CheckEdidBlock(block, "as given", broken);
    if (block.size() < monitor::kEdidBlockSize) {
        block.resize(monitor::kEdidBlockSize);
    }
    std::copy(std::begin(kEdidHeader), std::end(kEdidHeader), block.begin());
    unsigned sum = 0;
    for (std::size_t i = 0; i + 1 < monitor::kEdidBlockSize; ++i) {
        sum += block[i];
    }
    block[monitor::kEdidBlockSize - 1] = static_cast<std::uint8_t>(256 - sum % 256);
    CheckEdidBlock(block, "mended", broken);
    return broken;
}

namespace {

template <typename Selection, typename Compose, typename Decode>
void CheckRoundTrip(const Selection& selection, Compose compose, Decode decode,
                    std::vector<std::string>& broken) {
    const std::string table = compose(selection);
    const auto back = decode(modes::DecodeModes(table));
    if (back.selection != selection || !back.unshown.empty()) {
        broken.push_back("a composed table does not give its selection back: " + table);
    }
}

}  // namespace

std::vector<std::string> CheckModeTables(const std::uint8_t* bytes, std::size_t size) {
    std::vector<std::string> broken;
    const modes::DecodedTable decoded = modes::DecodeModes(Text(bytes, size));
    const modes::CompressedDecoding opt = modes::CompressedSelectionOf(decoded);
    const modes::HexDecoding cmb = modes::HexSelectionOf(decoded);
    for (std::size_t row = 0; row < modes::kResolutionCount; ++row) {
        const std::string where = modes::ResolutionText(modes::kCatalogue[row]);
        const int rate = decoded.rates[row];
        if (rate != 0 && !modes::HexItemOf(rate)) {
            broken.push_back("decoded a rate no page offers at " + where);
        }
        const auto& options = opt.selection[row];
        const auto set = std::find(options.begin(), options.end(), true);
        if (std::count(options.begin(), options.end(), true) > 1 ||
            (set != options.end() &&
             modes::kCompressedRates[static_cast<std::size_t>(set - options.begin())] != rate)) {
            broken.push_back("the compressed page shows another rate at " + where);
        }
        if (cmb.selection[row] < 0 || cmb.selection[row] > static_cast<int>(modes::kHexRateCount) ||
            modes::HexItemRate(cmb.selection[row]) != rate) {
            broken.push_back("the hexadecimal page shows another rate at " + where);
        }
    }

    // The selections the text gives, and one drawn from its bytes: a rate or none per row.
    modes::CompressedSelection drawnOpt{};
    modes::HexSelection drawnCmb{};
    for (std::size_t row = 0; row < modes::kResolutionCount && row < size; ++row) {
        const std::size_t option = bytes[row] % (modes::kCompressedRateCount + 1);
        if (option != 0) {
            drawnOpt[row][option - 1] = true;
        }
        drawnCmb[row] = static_cast<int>(bytes[size - 1 - row] % (modes::kHexRateCount + 1));
    }
    for (const modes::CompressedSelection& selection : {opt.selection, drawnOpt}) {
        CheckRoundTrip(selection, modes::BuildCompressedModes, modes::CompressedSelectionOf,
                       broken);
    }
    for (const modes::HexSelection& selection : {cmb.selection, drawnCmb}) {
        CheckRoundTrip(selection, modes::BuildHexModes, modes::HexSelectionOf, broken);
    }
    return broken;
}

namespace {

bool SameCommand(const app::CommandLine& a, const app::CommandLine& b) {
    const auto same = [](const app::ModeChoice& x, const app::ModeChoice& y) {
        return x.width == y.width && x.height == y.height && x.rate == y.rate;
    };
    return a.action == b.action && a.file == b.file && a.text == b.text &&
           std::equal(a.modes.begin(), a.modes.end(), b.modes.begin(), b.modes.end(), same) &&
           a.detonator40 == b.detonator40 && a.formatOn == b.formatOn && a.reboot == b.reboot &&
           a.force == b.force;
}

// An accepted /apply written out as a user would type it.
std::string ApplyLine(const app::CommandLine& command) {
    std::string line = "/apply ";
    for (const app::ModeChoice& mode : command.modes) {
        line += (&mode == &command.modes.front() ? "" : ",") + std::to_string(mode.width) + "x" +
                std::to_string(mode.height) + "@" + std::to_string(mode.rate);
    }
    if (command.detonator40) {
        line += *command.detonator40 ? " /generation 40" : " /generation 28";
    }
    if (command.formatOn) {
        line += *command.formatOn ? " /format on" : " /format off";
    }
    line += std::string(command.reboot ? " /reboot" : "") + (command.force ? " /force" : "");
    if (!command.file.empty()) {
        line += " /log \"" + command.file + "\"";
    }
    return line;
}

}  // namespace

std::vector<std::string> CheckCommandLine(const std::uint8_t* bytes, std::size_t size) {
    std::vector<std::string> broken;
    const app::CommandLine command = app::ParseCommandLine(Text(bytes, size));
    using Action = app::CommandLine::Action;
    if (command.action == Action::Restore &&
        !SameCommand(app::ParseCommandLine("/restore \"" + command.file + "\""), command)) {
        broken.push_back("the file of a /restore reads otherwise written out again: " +
                         command.file);
    }
    if (command.action != Action::Apply || !command.text.empty()) {
        return broken;
    }
    if (command.modes.empty()) {
        broken.push_back("an /apply without modes was accepted");
    }
    for (auto mode = command.modes.begin(); mode != command.modes.end(); ++mode) {
        if (std::any_of(command.modes.begin(), mode, [&](const app::ModeChoice& earlier) {
                return earlier.width == mode->width && earlier.height == mode->height;
            })) {
            broken.push_back("an /apply with a resolution twice was accepted");
        }
    }
    const std::string line = ApplyLine(command);
    if (!SameCommand(app::ParseCommandLine(line), command)) {
        broken.push_back("an /apply reads otherwise written out again: " + line);
    }
    return broken;
}

}  // namespace quorvel::robustness
