// Where the NVIDIA display driver keeps its settings, under HKEY_LOCAL_MACHINE, and the walk
// over its display keys that the installation and the read-back share.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "registry/mdlRegistry.h"

namespace quorvel::registry {

// The program's own key: its version record, the typed-in monitor limits, the folder of the last
// undo file.
inline constexpr const char* kOwnKey = "SOFTWARE\\Velkora\\Quorvel";
inline constexpr const char* kLastUndoFolderValue = "LastUndoFolder";

// The root every key below lies under, as texts for the user and .reg files name it.
inline constexpr const char* kRootName = "HKEY_LOCAL_MACHINE";
// The driver's service key: its description, the format switch, and one copy of the tables.
inline constexpr const char* kServiceKey = "SYSTEM\\CurrentControlSet\\Services\\nv\\Device0";
// Device classes; each class's "0000" instance carries a driver description and version.
inline constexpr const char* kClassRoot = "SYSTEM\\CurrentControlSet\\Control\\Class";
// Display adapters; each subkey's "0000" key names its display driver.
inline constexpr const char* kVideoRoot = "SYSTEM\\CurrentControlSet\\Control\\Video";
inline constexpr const char* kUseCompressedModeFormat = "UseCompressedModeFormat";
inline constexpr const char* kInstalledDisplayDrivers = "InstalledDisplayDrivers";
inline constexpr const char* kNvidiaDisplayDriver = "nv4_disp";

// One mode-table value per chip family the driver knows, in the order they are written; every
// one is written, whatever the chip.
inline constexpr std::array<const char*, 26> kModesDeltaValues = {
    "CRUSH11_Modes_Delta",  "NV0A_Modes_Delta",   "NV10_Modes_Delta",    "NV10DDR_Modes_Delta",
    "NV10GL_Modes_Delta",   "NV11_Modes_Delta",   "NV11DDR_Modes_Delta", "NV11GL_Modes_Delta",
    "NV11M_Modes_Delta",    "NV15_Modes_Delta",   "NV15BR_Modes_Delta",  "NV15DDR_Modes_Delta",
    "NV15GL_Modes_Delta",   "NV17_Modes_Delta",   "NV17GL_Modes_Delta",  "NV20_1_Modes_Delta",
    "NV20_2_Modes_Delta",   "NV20_3_Modes_Delta", "NV20_Modes_Delta",    "NV25_Modes_Delta",
    "NV25GL_Modes_Delta",   "NV4_Modes_Delta",    "NV5_Modes_Delta",     "NV5M64_Modes_Delta",
    "NV5ULTRA_Modes_Delta", "NVVANTA_Modes_Delta"};

// A subkey name that can be joined into a path. The native API allows names holding a NUL;
// such a name would be cut at the NUL and name another key (the parent, or a sibling).
bool IsJoinableName(const std::string& name);

// The path of every video-root subkey's "0000" key that belongs to the NVIDIA display driver, in
// enumeration order. Keys that do not qualify are passed over without a box.
std::vector<std::string> DisplayKeys(mdlRegistry& registry);

}  // namespace quorvel::registry
