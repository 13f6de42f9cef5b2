// The typed-in monitor limits: the fields' check and the dialog's two buttons.
#include "app/frmMonitorLimits.h"

#include <string_view>

#include "text/Numbers.h"
#include "text/Text.h"

namespace quorvel::app {

namespace {

std::string FieldText(const std::optional<int>& value) {
    return value ? text::Decimal(*value) : std::string();
}

}  // namespace

frmMonitorLimits::frmMonitorLimits(platform::IPrompt& prompt, const monitor::TypedLimits& current)
    : txtMaxHorizontalKHz(FieldText(current.maxHorizontalKHz)),
      txtMaxRefreshHz(FieldText(current.maxRefreshHz)),
      prompt_(prompt) {}

void frmMonitorLimits::cmdOK_Click() {
    struct Check {
        Field field;
        const std::string& text;
        const char* name;
        int min;
        int max;
        const char* unit;
        std::optional<int>& result;
    };
    monitor::TypedLimits typed;
    const Check checks[] = {
        {Field::MaxHorizontalKHz, txtMaxHorizontalKHz, kLimitsKHzName, monitor::kMinTypedKHz,
         monitor::kMaxTypedKHz, monitor::kUnitKHz, typed.maxHorizontalKHz},
        {Field::MaxRefreshHz, txtMaxRefreshHz, kLimitsHzName, monitor::kMinTypedHz,
         monitor::kMaxTypedHz, monitor::kUnitHz, typed.maxRefreshHz},
    };
    for (const Check& c : checks) {
        const std::string_view typed = text::Trim(c.text);
        if (typed.empty()) {
            continue;
        }
        const auto value = text::ParseDecimal(typed);
        if (!value || *value < static_cast<std::uint32_t>(c.min) ||
            *value > static_cast<std::uint32_t>(c.max)) {
            prompt_.Show(std::string(kLimitsErrorStart) + c.name + kLimitsErrorRange +
                             text::Decimal(c.min) + kLimitsErrorTo + text::Decimal(c.max) + c.unit +
                             kLimitsErrorEnd,
                         kLimitsDialogCaption, platform::kMbOk | platform::kMbIconExclamation);
            focus = c.field;
            return;
        }
        c.result = static_cast<int>(*value);
    }
    typedLimits = typed;
    accepted = true;
    closed = true;
}

void frmMonitorLimits::cmdCancel_Click() {
    closed = true;
}

}  // namespace quorvel::app
