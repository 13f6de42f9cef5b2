// Making a change: compose, plan, ask, back up, write, record, offer the restart.
#include "change/Change.h"

#include "applied/Applied.h"
#include "backup/Backup.h"
#include "confirm/Confirm.h"
#include "modes/Composers.h"
#include "restart/Restart.h"
#include "text/Concat.h"
#include "text/CrLf.h"
#include "text/Numbers.h"

namespace quorvel::change {

void BoxesAsk::SettleFormat(install::InstallPlan& plan) {
    install::SettleFormat(plan, false, platform_.prompt);
}

bool BoxesAsk::Confirm(const install::InstallPlan& plan) {
    return install::ConfirmInstallation(plan, platform_.prompt);
}

bool BoxesAsk::Completed(const install::InstallPlan&, const std::string& undoFile,
                         const std::string& checkLine) {
    const std::string undoLine = backup::UndoFileLine(undoFile);
    return restart::OfferRestart(platform_.prompt, platform_.restart,
                                 checkLine.empty() || undoLine.empty()
                                     ? checkLine + undoLine
                                     : text::Concat({checkLine, text::kCrLf, undoLine}));
}

install::InstallPlan PlanChange(const Request& request, registry::mdlRegistry& registry) {
    const modes::PageSelection page = modes::SelectRates(request.rates, request.detonator40);
    return install::PlanInstallation(request.detonator40 ? modes::BuildHexModes(page.cmb)
                                                         : modes::BuildCompressedModes(page.opt),
                                     registry);
}

Outcome MakeChange(const Request& request, IAsk& ask, platform::Platform& platform) {
    registry::mdlRegistry registry(platform.registry, platform.prompt);
    install::InstallPlan plan = PlanChange(request, registry);
    if (!request.compressedActive) {
        ask.SettleFormat(plan);
    }
    Outcome outcome;
    if (!ask.Confirm(plan)) {
        return outcome;
    }
    // The record too, so that undoing the change puts it back as it was.
    const backup::BackupOutcome saved =
        backup::BackUp(plan.keys, registry, platform, {applied::RecordKey(platform.registry)});
    if (!saved.goOn || !ask.BeforeWriting(saved.undoFile)) {
        return outcome;
    }
    outcome.failed = install::WritePlan(plan, registry);
    std::size_t values = 0;
    for (const registry::PlannedKey& key : plan.keys) {
        values += key.values.size();
    }
    outcome.written = outcome.failed < values;
    std::string checkLine;
    if (outcome.failed == 0) {
        applied::Record record;
        record.detonator40 = request.detonator40;
        record.rates = request.rates;
        record.date = text::Date(platform.files.GetLocalTime());
        record.driverVersion = request.driverVersion.value_or("");
        applied::WriteRecord(platform.registry, record);
        confirm::ClearFailed(platform.registry);
        if (request.armCheck) {
            checkLine = confirm::Arm(platform, saved.undoFile).line;
        }
    }
    outcome.programEnds = ask.Completed(plan, saved.undoFile, checkLine);
    return outcome;
}

}  // namespace quorvel::change
