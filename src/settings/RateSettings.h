// The settings pages' rate selection and the Apply sequence both pages share.
#pragma once

#include <cstddef>
#include <string>

#include "modes/Catalogue.h"
#include "platform/Prompt.h"

namespace quorvel::settings {

// The three questions the Apply sequence asks a page, each answered from the page's controls.
class IRatePage {
  public:
    virtual ~IRatePage() = default;
    virtual bool AnyRateSelected() const = 0;
    virtual bool HighAreaRateAbove85() const = 0;
    virtual bool LowAreaRateAbove75() const = 0;
};

// The compressed-format page answers from its option buttons, by index.
class CompressedPage : public IRatePage {
  public:
    explicit CompressedPage(const modes::CompressedSelection& opt) : opt_(opt) {}
    bool AnyRateSelected() const override;
    bool HighAreaRateAbove85() const override;
    bool LowAreaRateAbove75() const override;

  private:
    const modes::CompressedSelection& opt_;
};

// The hexadecimal-format page answers from its lists' items.
class HexPage : public IRatePage {
  public:
    explicit HexPage(const modes::HexSelection& cmb) : cmb_(cmb) {}
    bool AnyRateSelected() const override;
    bool HighAreaRateAbove85() const override;
    bool LowAreaRateAbove75() const override;

  private:
    const modes::HexSelection& cmb_;
};

// The first step of "Apply": refuses an empty selection and warns about high rates. True when
// the installation is to go on: something is selected and the user answered Yes to every
// warning shown.
bool ConfirmSelection(const IRatePage& page, platform::IPrompt& prompt);

// A click on option button `index` of row `row`: the row's selection moves there.
void ClickRate(modes::CompressedSelection& opt, std::size_t row, std::size_t index);
// "Deselect all" of each page.
void DeselectAll(modes::CompressedSelection& opt);
void DeselectAll(modes::HexSelection& cmb);

// Message texts.
inline constexpr const char* kNothingSelectedText = "You did not specify any refresh rate to set.";
inline constexpr const char* kErrorTitle = "Error";
std::string HighAreaWarningText();
std::string LowAreaWarningText();

}  // namespace quorvel::settings
