// The check after the restart: armed at the end of a change, so that the next logon asks whether
// the screen can be read and, without an answer, puts the old rates back. Windows runs each
// command of HKLM's RunOnce key once, at the next logon, and deletes it first; Safe Mode skips
// them. A volatile key, which every restart drops, tells a restart from a logoff.
#pragma once

#include <string>

#include "platform/Platform.h"
#include "registry/mdlRegistry.h"

namespace quorvel::confirm {

inline constexpr const char* kRunOnceKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
inline constexpr const char* kRunOnceValue = "Quorvel";
// Under the program's own key: whether to arm (a DWORD, 1 when missing), the undo file of the
// change that waits for its check, the volatile key, and what a failed check left to say.
inline constexpr const char* kWantedValue = "ConfirmAfterRestart";
inline constexpr const char* kPendingValue = "PendingUndoFile";
inline constexpr const char* kSinceChangeKey = "SOFTWARE\\Velkora\\Quorvel\\SinceChange";
inline constexpr const char* kFailedValue = "CheckFailed";
// The folder under the Windows folder that holds what the entry names: only administrators and
// SYSTEM may change it, since the entry runs with the rights of the next administrator to log on.
inline constexpr const char* kFolderName = "Quorvel";
inline constexpr const char* kProgramName = "quorvel.exe";

inline constexpr int kSeconds = 15;

inline constexpr const char* kArmedLine =
    "After the restart Quorvel asks whether you can read the screen; without an answer it puts "
    "the old rates back within 15 seconds.";
inline constexpr const char* kNotArmedLine = "The check after the restart could not be set up: ";

// "&Confirm rates after restart" in the File menu: read without a box, on unless it was turned off.
bool Wanted(platform::IRegistry& api);
void SetWanted(platform::IRegistry& api, bool wanted);

struct Armed {
    bool armed = false;
    std::string line;  // for the completion box and the log: kArmedLine, or why not
};

// Copies the program and `undoFile` into the administrators' folder and names the copies in the
// RunOnce entry, marks the change as pending and makes the volatile key. A change that is still
// pending (none restarted in between) keeps its undo file: an undo goes back to the state Windows
// last started with. Nothing is armed where the folder cannot be made the administrators' alone.
// Never shows a box.
Armed Arm(platform::Platform& platform, const std::string& undoFile);

// The undo file of the change that waits for its check; empty when none does.
std::string Pending(platform::IRegistry& api);
// Whether Windows has restarted since the check was armed: the volatile key is gone.
bool Restarted(platform::IRegistry& api);
// Writes the RunOnce entry again, for a logon that was no restart; false when it cannot.
bool ArmAgain(platform::IRegistry& api, const std::string& undoFile);
// The check is over: the pending mark goes.
void Clear(platform::IRegistry& api);

// What a check that could not put the old rates back leaves for System information, and reads.
void SetFailed(platform::IRegistry& api, const std::string& text);
std::string Failed(platform::IRegistry& api);
// A new change leaves the failure of an earlier check behind.
void ClearFailed(platform::IRegistry& api);

}  // namespace quorvel::confirm
