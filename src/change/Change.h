// The one way a change of the driver's tables is made, for the window and the command line: the
// rates in, the plan, the format question, the confirmation, the backup, the writes, the record
// of the rates and the restart offer. The two callers differ only in how they are asked.
#pragma once

#include <optional>
#include <string>

#include "install/Install.h"
#include "modes/Catalogue.h"
#include "platform/Platform.h"

namespace quorvel::change {

struct Request {
    modes::Rates rates{};           // a rate per resolution (0: none), each one the page offers
    bool detonator40 = false;       // the generation in effect: the table's format
    bool compressedActive = false;  // the format is on already: no format question
    std::optional<std::string> driverVersion;  // as detection found it, for the record
    bool armCheck = false;  // arm the check after the restart when every value was written
};

// What a change asks, and what it tells before it writes and when it is done. The window shows
// its boxes; the command line answers from its switches and writes a log. Every other box of the
// steps (a registry error, the backup's questions) goes to the platform's prompt.
class IAsk {
  public:
    // Asked only when the driver does not use the compressed mode format yet.
    virtual void SettleFormat(install::InstallPlan& plan) = 0;
    virtual bool Confirm(const install::InstallPlan& plan) = 0;
    // The undo file is written (empty: there is none); false stops before the first write.
    virtual bool BeforeWriting(const std::string& undoFile) = 0;
    // Every value has been tried (each failure marked in the plan): the restart offer, with what
    // became of the check after the restart (empty when none was asked for). True when the
    // program is to end.
    virtual bool Completed(const install::InstallPlan& plan, const std::string& undoFile,
                           const std::string& checkLine) = 0;

  protected:
    ~IAsk() = default;
};

// The window's way: the installation's boxes and the completion box with its restart.
class BoxesAsk : public IAsk {
  public:
    explicit BoxesAsk(platform::Platform& platform) : platform_(platform) {}
    void SettleFormat(install::InstallPlan& plan) override;
    bool Confirm(const install::InstallPlan& plan) override;
    bool BeforeWriting(const std::string&) override { return true; }
    bool Completed(const install::InstallPlan& plan, const std::string& undoFile,
                   const std::string& checkLine) override;

  private:
    platform::Platform& platform_;
};

struct Outcome {
    bool written = false;    // at least one value was written
    std::size_t failed = 0;  // values that could not be written
    bool programEnds = false;
};

// The rates as the page of the generation holds them, composed into its table and planned into
// every driver key (the format switch is settled later): what the preview shows.
install::InstallPlan PlanChange(const Request& request, registry::mdlRegistry& registry);

// The change: planned, asked, backed up and written. The record of applied rates is written only
// when every value was.
Outcome MakeChange(const Request& request, IAsk& ask, platform::Platform& platform);

}  // namespace quorvel::change
