// Start-up and one installation on any simulated registry, the checks on what changed, and the
// random registry trees of the fuzzers.
#include "Robustness.h"

#include <algorithm>
#include <cctype>

#include "app/frmMainframe.h"
#include "applied/Applied.h"
#include "confirm/Confirm.h"
#include "backup/BackupTexts.h"
#include "backup/UndoFile.h"
#include "detect/Detection.h"
#include "platform/Platform.h"
#include "platform/sim/SimFiles.h"
#include "platform/sim/SimPlatform.h"
#include "registry/DriverKeys.h"
#include "registry/mdlRegistry.h"

namespace quorvel::robustness {

using platform::kHkeyLocalMachine;
using platform::sim::RawValue;
using platform::sim::SimRegistry;

std::string Upper(std::string text) {
    for (char& c : text) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return text;
}

bool IsDisplayKeyPath(const std::string& upperKey) {
    const std::string videoRoot = Upper(registry::kVideoRoot) + "\\";
    return upperKey.rfind(videoRoot, 0) == 0 && upperKey.size() >= videoRoot.size() + 6 &&
           upperKey.compare(upperKey.size() - 5, 5, "\\0000") == 0 &&
           upperKey.find('\\', videoRoot.size()) == upperKey.size() - 5;
}

namespace {

// What GetStringValue makes of a value: its bytes up to the first NUL.
std::string TextOf(const RawValue& value) {
    const auto end = std::find(value.data.begin(), value.data.end(), 0);
    return std::string(value.data.begin(), end);
}

bool IsTableName(const std::string& upperName) {
    for (const char* name : registry::kModesDeltaValues) {
        if (upperName == Upper(name)) {
            return true;
        }
    }
    return false;
}

}  // namespace

bool IsManagedValueName(const std::string& upperName) {
    return IsTableName(upperName) || upperName == Upper(registry::kUseCompressedModeFormat);
}

int AnsweringPrompt::Show(const std::string& text, platform::CStr titleText, std::uint32_t style) {
    const std::string title = titleText.c_str();
    titles.push_back(title);
    if (text.rfind(registry::kRegistryErrorPrompt, 0) == 0) {
        ++registryErrors;
    }
    if (title == "Almost there" || title == "The final frontier" || title == backup::kBackupTitle ||
        title == backup::kRestoreTitle) {
        return platform::kIdYes;
    }
    return (style & 0x0F) == platform::kMbYesNo ? platform::kIdNo : platform::kIdOk;
}

Snapshot TakeSnapshot(const SimRegistry& registry) {
    Snapshot snapshot;
    for (auto& key : registry.Dump(kHkeyLocalMachine)) {
        auto& values = snapshot[Upper(key.path)];
        for (auto& value : key.values) {
            values[Upper(value.first)] = std::move(value.second);
        }
    }
    return snapshot;
}

std::optional<RawValue> ValueIn(const Snapshot& snapshot, const std::string& key,
                                const std::string& name) {
    const auto values = snapshot.find(key);
    if (values == snapshot.end() || values->second.count(name) == 0) {
        return std::nullopt;
    }
    return values->second.at(name);
}

bool SameValue(const std::optional<RawValue>& a, const std::optional<RawValue>& b) {
    return a && b ? a->type == b->type && a->data == b->data : !a && !b;
}

std::vector<std::pair<std::string, std::string>> Changes(const Snapshot& before,
                                                         const Snapshot& after) {
    std::vector<std::pair<std::string, std::string>> changes;
    for (const auto& [key, values] : before) {
        if (after.count(key) == 0) {
            changes.emplace_back(key, "");
            continue;
        }
        for (const auto& [name, value] : values) {
            if (!SameValue(value, ValueIn(after, key, name))) {
                changes.emplace_back(key, name);
            }
        }
    }
    for (const auto& [key, values] : after) {
        if (before.count(key) == 0) {
            changes.emplace_back(key, "");
            continue;
        }
        for (const auto& [name, value] : values) {
            if (before.at(key).count(name) == 0) {
                changes.emplace_back(key, name);
            }
        }
    }
    return changes;
}

void StartAndApply(SimRegistry& registry, RunResult* run) {
    platform::sim::SimSystemInfo system;
    platform::sim::SimShell shell;
    platform::sim::SimRestart restart;
    platform::sim::SimFiles files;
    platform::Platform services{registry, run->prompt, system, shell, restart, files};
    app::frmMainframe form(services);
    form.Form_Load();
    if (form.tbsMain.Count() != 3) {
        return;
    }
    run->detonator40 = form.blnDetonator40;
    if (form.blnDetonator40) {
        form.PickListItem(7, *modes::HexItemOf(75));
        form.PickListItem(9, *modes::HexItemOf(85));
        form.cmdApply40_Click();
    } else {
        form.ClickRateOption(7, 3);
        form.ClickRateOption(9, 4);
        form.cmdApply_Click();
    }
    const auto& titles = run->prompt.titles;
    run->installed = std::find(titles.begin(), titles.end(), "The final frontier") != titles.end();
    if (!files.Written().empty()) {
        run->undoFile = *files.File(files.Written().front());
    }
}

std::string ExpectedTable(bool detonator40) {
    return detonator40 ? "S 800x600=804B; 1024x768=8055;" : "S 800,600,-,-72;1024,768,-,-75";
}

std::vector<std::string> CheckChanges(const Snapshot& before, const Snapshot& after,
                                      const std::string& table) {
    const std::string ownKey = Upper(app::kOwnKeyPath);
    const std::string serviceKey = Upper(registry::kServiceKey);
    std::vector<std::string> broken;
    const auto isDisplayKey = [&](const std::string& key) {
        const auto it = before.find(key);
        if (!IsDisplayKeyPath(key) || it == before.end()) {
            return false;
        }
        const auto driver = it->second.find("INSTALLEDDISPLAYDRIVERS");
        return driver != it->second.end() && TextOf(driver->second) == "nv4_disp";
    };
    for (const auto& [key, values] : before) {
        if (after.count(key) == 0) {
            broken.push_back("key deleted: " + key);
        }
    }
    // The record of applied rates (the fault sweep checks when it is written), and the check
    // after the restart: its volatile key and the RunOnce entry (the keys above it may be made).
    const std::string appliedKey = Upper(applied::kAppliedKey);
    const std::string sinceChange = Upper(confirm::kSinceChangeKey);
    const std::string runOnce = Upper(confirm::kRunOnceKey);
    for (const auto& [key, values] : after) {
        const auto old = before.find(key);
        if (old == before.end() && ownKey.rfind(key, 0) != 0 && key != appliedKey &&
            key != sinceChange && runOnce.rfind(key, 0) != 0) {
            broken.push_back("key created: " + key);
        }
        const bool driverKey = key == serviceKey || isDisplayKey(key);
        for (const auto& [name, value] : values) {
            const RawValue* was = nullptr;
            if (old != before.end() && old->second.count(name) != 0) {
                was = &old->second.at(name);
            }
            if (was && was->type == value.type && was->data == value.data) {
                continue;
            }
            const std::string where = key + " " + name;
            if (key == ownKey && (name == "VERSION" || name == "LASTUNDOFOLDER" ||
                                  name == Upper(confirm::kPendingValue))) {
                continue;
            }
            if (key == runOnce && name == Upper(confirm::kRunOnceValue)) {
                continue;
            }
            if (key == appliedKey) {
                continue;
            }
            if (!driverKey || !IsManagedValueName(name)) {
                broken.push_back("value changed outside the driver's tables: " + where);
            } else if (IsTableName(name) &&
                       (value.type != platform::kRegSz ||
                        value.data != platform::sim::StringValue(table).data)) {
                broken.push_back("table other than \"" + table + "\" written: " + where);
            } else if (name == "USECOMPRESSEDMODEFORMAT" &&
                       value.data != platform::sim::DwordValue(1).data) {
                broken.push_back("format switch other than 1: " + where);
            }
        }
        if (old != before.end()) {
            for (const auto& [name, value] : old->second) {
                if (values.count(name) == 0) {
                    broken.push_back("value deleted: " + key + " " + name);
                }
            }
        }
    }
    return broken;
}

std::vector<std::string> CheckUndoFile(const Snapshot& before, const Snapshot& after,
                                       const RunResult& run) {
    std::vector<std::string> broken;
    const bool told = std::find(run.prompt.titles.begin(), run.prompt.titles.end(),
                                backup::kBackupTitle) != run.prompt.titles.end();
    std::map<std::string, std::optional<RawValue>> saved;
    const std::string undo = Upper(run.undoFile.value_or(""));
    if (run.undoFile) {
        for (const backup::SavedValue& value : backup::ParseUndoFile(*run.undoFile).values) {
            saved[Upper(value.keyPath + "\\" + value.name)] =
                value.data ? std::optional<RawValue>(RawValue{value.data->type, value.data->data})
                           : std::nullopt;
        }
    }
    const std::string notSaved =
        "; " + Upper(std::string(backup::kNotSaved) + registry::kRootName + "\\");
    for (const auto& [key, name] : Changes(before, after)) {
        if (!IsManagedValueName(name)) {
            continue;  // CheckChanges vouches for everything else
        }
        const std::optional<RawValue> was = ValueIn(before, key, name);
        const std::string path = key + "\\" + name;
        const auto entry = saved.find(path);
        if (entry != saved.end()) {
            // Saved as not there: what the registry said, even when a failing call said it.
            const bool same = !entry->second || SameValue(entry->second, was);
            if (!same) {
                broken.push_back("undo file holds other data than before: " + path);
            }
        } else if (!told ||
                   (run.undoFile && undo.find(notSaved + path + "\r\n") == std::string::npos)) {
            broken.push_back("changed, but neither saved nor named as not saved: " + path);
        }
    }
    return broken;
}

namespace {

// Draws choices from the fuzzer's bytes; past their end every choice is 0.
class Choices {
  public:
    Choices(const std::uint8_t* bytes, std::size_t size) : bytes_(bytes), size_(size) {}
    std::size_t Pick(std::size_t count) { return pos_ < size_ ? bytes_[pos_++] % count : 0; }
    template <typename T, std::size_t N>
    const T& From(const T (&pool)[N]) {
        return pool[Pick(N)];
    }

  private:
    const std::uint8_t* bytes_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

const char* const kDescriptions[] = {"NVIDIA GeForce4 Ti 4200", "", "nvidia geforce4 ti 4200",
                                     "NVIDIA GeForce4 Ti 4200 ", "Wine Adapter"};
const std::string kVersions[] = {"40.41",
                                 "28.32",
                                 "6.14.10.4523",
                                 "5.13.01.2832",
                                 "",
                                 "4",
                                 " 40.41",
                                 "6.14.10.3999",
                                 "6.14.10.45230",
                                 "4.14.10.0712",
                                 {"45.23\0x", 7},
                                 "6.14.10.4000"};
const std::string kDriverNames[] = {"nv4_disp", "NV4_DISP", "vga", {"nv4_disp\0x", 10}, "nv4"};

// A value of one of the types the registry holds, carrying `text` the way that type would.
RawValue Typed(Choices& c, const std::string& text) {
    switch (c.Pick(8)) {
        case 0:
            return platform::sim::MultiStringValue({text, "vga"});
        case 1:
            return RawValue{platform::kRegBinary,
                            std::vector<std::uint8_t>(text.begin(), text.end())};
        case 2:
            return platform::sim::DwordValue(static_cast<std::uint32_t>(c.Pick(3)));
        default:
            return platform::sim::StringValue(text);
    }
}

// A subkey name: plain, holding a NUL (first or inside), or too long for the name buffer.
std::string Name(Choices& c, char tag, std::size_t index) {
    const std::string plain = std::string("{") + tag + std::to_string(index) + "}";
    switch (c.Pick(12)) {
        case 0:
            return plain + std::string("\0x", 2);
        case 1:
            return std::string("\0", 1) + plain;
        case 2:
            return std::string(256, tag);
        default:
            return plain;
    }
}

}  // namespace

RandomTree BuildRandomTree(SimRegistry& reg, const std::uint8_t* bytes, std::size_t size) {
    Choices c(bytes, size);
    RandomTree tree;
    bool reliable = true;
    const std::string service = registry::kServiceKey;
    const bool hasService = c.Pick(8) != 0;
    std::string description = c.From(kDescriptions);
    if (hasService) {
        reg.PutKey(kHkeyLocalMachine, service);
        if (c.Pick(6) != 0) {
            const RawValue value = Typed(c, description);
            description = TextOf(value);
            reg.PutValue(kHkeyLocalMachine, service, "Device Description", value);
        } else {
            description.clear();
        }
        if (c.Pick(5) != 0) {
            reg.PutValue(kHkeyLocalMachine, service, registry::kUseCompressedModeFormat,
                         c.Pick(4) == 0
                             ? Typed(c, "1")
                             : platform::sim::DwordValue(static_cast<std::uint32_t>(c.Pick(3))));
        }
        if (c.Pick(16) == 0) {
            reg.DenyAccess(kHkeyLocalMachine, service, platform::kKeyQueryValue);
            reliable = false;
        }
    }
    // Device classes, in enumeration order once the names are sorted.
    const std::size_t classCount = c.Pick(10);
    for (std::size_t i = 0; i < classCount; ++i) {
        const std::string key = std::string(registry::kClassRoot) + "\\" + Name(c, 'C', i);
        reg.PutKey(kHkeyLocalMachine, key);
        if (c.Pick(4) == 0) {
            continue;
        }
        const std::string instance = key + "\\0000";
        reg.PutKey(kHkeyLocalMachine, instance);
        if (c.Pick(5) != 0) {
            reg.PutValue(kHkeyLocalMachine, instance, "DriverDesc",
                         Typed(c, c.Pick(2) ? description : c.From(kDescriptions)));
        }
        if (c.Pick(6) != 0) {
            reg.PutValue(kHkeyLocalMachine, instance, "DriverVersion", Typed(c, c.From(kVersions)));
        }
        if (c.Pick(16) == 0) {
            reg.DenyAccess(kHkeyLocalMachine, instance,
                           c.Pick(2) ? platform::kKeyQueryValue : platform::kKeyEnumerateSubKeys);
            reliable = false;
        }
    }
    // Display keys, their siblings and the video root itself.
    const std::string videoRoot = registry::kVideoRoot;
    if (c.Pick(6) != 0) {
        reg.PutKey(kHkeyLocalMachine, videoRoot);
        const std::size_t count = c.Pick(6);
        for (std::size_t i = 0; i < count; ++i) {
            const std::string name = Name(c, 'V', i);
            const std::size_t nul = name.find('\0');
            std::string key = videoRoot + "\\" + name;
            // Where a name with a NUL would lead once cut: a sibling or the root itself.
            const std::string cutTarget =
                nul == std::string::npos ? key : videoRoot + "\\" + name.substr(0, nul);
            if (c.Pick(4) != 0) {
                key += "\\0000";
            }
            for (const std::string& target : {key, cutTarget}) {
                if (c.Pick(3) != 0) {
                    reg.PutValue(kHkeyLocalMachine, target, registry::kInstalledDisplayDrivers,
                                 Typed(c, c.From(kDriverNames)));
                }
            }
            if (c.Pick(3) == 0) {
                reg.PutValue(kHkeyLocalMachine, key, "NV25_Modes_Delta",
                             platform::sim::StringValue("S 640,480,-,-60"));
            }
            if (c.Pick(12) == 0) {
                reg.DenyAccess(kHkeyLocalMachine, key,
                               c.Pick(2) ? platform::kKeySetValue : platform::kKeyQueryValue);
            }
        }
    }
    if (c.Pick(4) == 0) {
        reg.PutValue(kHkeyLocalMachine, app::kOwnKeyPath, "Version",
                     platform::sim::StringValue("1.0"));
    }

    // The generation detection must find: the last device class, in enumeration order, whose
    // "0000" instance has the service key's description and a version text.
    tree.known = reliable;
    if (!reliable || !hasService) {
        return tree;
    }
    std::optional<std::string> version;
    for (const std::string& name : reg.SubKeyNames(kHkeyLocalMachine, registry::kClassRoot)) {
        if (name.size() > 255) {
            break;  // the name buffer cannot hold it: the walk ends with a box
        }
        const std::string instance = std::string(registry::kClassRoot) + "\\" + name + "\\0000";
        const auto desc = reg.GetValue(kHkeyLocalMachine, instance, "DriverDesc");
        const auto ver = reg.GetValue(kHkeyLocalMachine, instance, "DriverVersion");
        if (name.find('\0') == std::string::npos && desc && ver && TextOf(*desc) == description &&
            !TextOf(*ver).empty()) {
            version = TextOf(*ver);
        }
    }
    const bool hasFormat =
        reg.GetValue(kHkeyLocalMachine, service, registry::kUseCompressedModeFormat).has_value();
    if (version && hasFormat) {
        tree.detonator40 = detect::IsGeneration40(*version);
    }
    return tree;
}

std::vector<std::string> CheckRandomTree(const std::uint8_t* bytes, std::size_t size) {
    SimRegistry registry;
    const RandomTree tree = BuildRandomTree(registry, bytes, size);
    const Snapshot before = TakeSnapshot(registry);
    RunResult run;
    StartAndApply(registry, &run);
    const Snapshot after = TakeSnapshot(registry);
    std::vector<std::string> broken =
        CheckChanges(before, after, ExpectedTable(run.detonator40.value_or(false)));
    for (const std::string& undo : CheckUndoFile(before, after, run)) {
        broken.push_back(undo);
    }
    if (tree.known && run.detonator40 != tree.detonator40) {
        broken.push_back("detection found the wrong generation");
    }
    if (registry.OpenHandleCount() != 0) {
        broken.push_back("a key was left open");
    }
    for (const std::string& title : run.prompt.titles) {
        if (title != "Error" && title != "Almost there" && title != "The final frontier" &&
            title != backup::kBackupTitle && title != "Completion") {
            broken.push_back("unexpected box: " + title);
        }
    }
    return broken;
}

}  // namespace quorvel::robustness
