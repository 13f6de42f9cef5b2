// Where the NVIDIA display driver keeps its settings, under HKEY_LOCAL_MACHINE.
#pragma once

namespace quorvel::registry {

// The driver's service key: its description, the format switch, and one copy of the tables.
inline constexpr const char* kServiceKey = "SYSTEM\\CurrentControlSet\\Services\\nv\\Device0";
// Device classes; each class's "0000" instance carries a driver description and version.
inline constexpr const char* kClassRoot = "SYSTEM\\CurrentControlSet\\Control\\Class";
// Display adapters; each subkey's "0000" key names its display driver.
inline constexpr const char* kVideoRoot = "SYSTEM\\CurrentControlSet\\Control\\Video";
inline constexpr const char* kUseCompressedModeFormat = "UseCompressedModeFormat";

}  // namespace quorvel::registry
