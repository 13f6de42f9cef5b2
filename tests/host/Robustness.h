// What must hold however the registry looks or fails: start-up, detection and one installation
// run against a simulated registry, and the checks the fault sweep and the fuzzers share. Free
// of GoogleTest, so that a libFuzzer target can use it too.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/Prompt.h"
#include "platform/sim/SimRegistry.h"

namespace quorvel::robustness {

// Answers every box the way a user who wants the fix would, and records what it was shown.
class AnsweringPrompt : public platform::IPrompt {
  public:
    int Show(const std::string& text, platform::CStr titleText, std::uint32_t style) override;
    std::size_t registryErrors = 0;  // "Unknown Registry-error occured..." boxes
    std::vector<std::string> titles;
};

std::string Upper(std::string text);
// The 26 tables and UseCompressedModeFormat, by upper-cased name.
bool IsManagedValueName(const std::string& upperName);
// The shape of a display key: the video root, one subkey, "0000" (upper-cased).
bool IsDisplayKeyPath(const std::string& upperKey);

// Every key and value under HKEY_LOCAL_MACHINE, by upper-cased path and value name.
using Snapshot = std::map<std::string, std::map<std::string, platform::sim::RawValue>>;
Snapshot TakeSnapshot(const platform::sim::SimRegistry& registry);
std::optional<platform::sim::RawValue> ValueIn(const Snapshot& snapshot, const std::string& key,
                                               const std::string& name);
bool SameValue(const std::optional<platform::sim::RawValue>& a,
               const std::optional<platform::sim::RawValue>& b);
// Every key created or deleted (key, "") and every value created, changed or deleted (key, name).
std::vector<std::pair<std::string, std::string>> Changes(const Snapshot& before,
                                                         const Snapshot& after);

struct RunResult {
    AnsweringPrompt prompt;
    bool installed = false;  // the user was asked to confirm a table
    std::optional<bool> detonator40;
    std::optional<std::string> undoFile;  // the undo file the run wrote
};

// Form_Load, then, when a settings tab exists, 75 Hz at 800x600 and 85 Hz at 1024x768 on the
// page of the generation in use and "Apply", answering Yes to every question but the restart.
void StartAndApply(platform::sim::SimRegistry& registry, RunResult* run);

// The table StartAndApply's choice gives for a generation.
std::string ExpectedTable(bool detonator40);

// What may change: the 26 tables and UseCompressedModeFormat in the service key and in display
// keys whose driver is the NVIDIA one (as stored in `before`), and Version in the program's own
// key, which alone may be created. Every table written must be `table`. Returns what broke.
std::vector<std::string> CheckChanges(const Snapshot& before, const Snapshot& after,
                                      const std::string& table);

// Whatever changed in the driver's values (deleted ones too) is in the undo file with its data from
// before (or as not there), or named there as not saved, or the user was told that no undo file
// could be written. Returns what broke.
std::vector<std::string> CheckUndoFile(const Snapshot& before, const Snapshot& after,
                                       const RunResult& run);

// A registry tree drawn from `bytes`: driver keys, device classes and display keys with names,
// types and texts that real, damaged and hostile registries hold, and some refused keys.
struct RandomTree {
    bool known = false;               // no refusal stands in the way of telling what follows
    std::optional<bool> detonator40;  // the generation detection must find; none: no settings
};
RandomTree BuildRandomTree(platform::sim::SimRegistry& registry, const std::uint8_t* bytes,
                           std::size_t size);

// One fuzz case: builds the tree, runs, checks. Returns what broke (empty when all held).
std::vector<std::string> CheckRandomTree(const std::uint8_t* bytes, std::size_t size);

}  // namespace quorvel::robustness
