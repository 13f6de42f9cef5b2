// "/confirm FILE": the check after the restart, from the RunOnce entry a change armed.
#include "app/Log.h"
#include "app/Unattended.h"
#include "applied/Applied.h"
#include "backup/Restore.h"
#include "confirm/Confirm.h"
#include "text/Concat.h"
#include "text/Numbers.h"

namespace quorvel::app {

namespace {

constexpr const char* kNothingPending = "No change waits for its check: nothing to do.";
constexpr const char* kNotRestarted =
    "Windows has not restarted since the change: the check waits for the next start.";
constexpr const char* kNotArmedAgain = "The check could not be set up for the next start.";
constexpr const char* kKept = "Kept the new rates.";
constexpr const char* kUndone = "Undo: the old rates come back.";
constexpr const char* kNoAnswer = "No answer within 15 seconds: the old rates come back.";
constexpr const char* kFailedStart = "The check after the restart of ";
constexpr const char* kFailedEnd = " could not put the old rates back: see Quorvel.log.";

}  // namespace

int RunConfirm(const CommandLine& command, platform::Platform& platform, IConfirmView* view) {
    Log log(platform);
    log.Start(command.arguments);
    // The check goes on without its log: the screen matters more. Standard error says why.
    log.Open({});
    int code = kExitApplied;
    const std::string pending = confirm::Pending(platform.registry);
    if (pending.empty()) {
        log.Line(kNothingPending);
    } else if (!confirm::Restarted(platform.registry)) {
        const bool again = confirm::ArmAgain(platform.registry, pending);
        log.Line(again ? kNotRestarted : kNotArmedAgain);
        code = again ? kExitApplied : kExitRefused;
    } else {
        platform::DisplayMode mode;
        frmConfirm form(platform.system.EnumDisplaySettingsA(platform::kEnumCurrentSettings, &mode)
                            ? applied::ScreenText(mode)
                            : "Not found",
                        confirm::kSeconds);
        if (view) {
            view->ShowConfirm(form);
        }
        confirm::Clear(platform.registry);
        if (form.answer == frmConfirm::Answer::Keep) {
            log.Line(kKept);
        } else {
            log.Line(form.answer == frmConfirm::Answer::Undo ? kUndone : kNoAnswer);
            // As "/restore" restores, every box in the log, every question answered Yes.
            LogPrompt prompt(log, platform::kIdYes);
            platform::Platform quiet{platform.registry, prompt,           platform.system,
                                     platform.shell,    platform.restart, platform.files};
            registry::mdlRegistry registry(platform.registry, prompt);
            if (backup::RestoreBackup(command.file, registry, quiet).result !=
                backup::RestoreResult::Done) {
                confirm::SetFailed(
                    platform.registry,
                    text::Concat(
                        {kFailedStart, text::Date(platform.files.GetLocalTime()), kFailedEnd}));
                code = kExitRefused;
            }
        }
    }
    log.Line(text::Concat({"Exit code ", text::Decimal(static_cast<std::uint32_t>(code)), "\r\n"}));
    log.Flush();
    return code;
}

}  // namespace quorvel::app
