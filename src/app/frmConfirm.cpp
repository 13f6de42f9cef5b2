// The check after the restart: its texts, its count and its answers.
#include "app/frmConfirm.h"

#include "text/Concat.h"
#include "text/Numbers.h"
#include "text/Text.h"

namespace quorvel::app {

frmConfirm::frmConfirm(const std::string& screenNow, int seconds)
    : lblScreen(text::Concat({kConfirmScreen, screenNow})), secondsLeft(seconds) {
    Count();
}

void frmConfirm::Count() {
    lblCountdown = text::Concat({"The old rates come back in ", text::Decimal(secondsLeft),
                                 text::OneOrMany(secondsLeft, " second.", " seconds.")});
}

void frmConfirm::Close(Answer given) {
    if (answer == Answer::None) {
        answer = given;
    }
}

void frmConfirm::tmrCountdown_Timer() {
    if (answer != Answer::None) {
        return;
    }
    if (--secondsLeft <= 0) {
        secondsLeft = 0;
        Close(Answer::NoAnswer);
    }
    Count();
}

void frmConfirm::cmdKeep_Click() {
    Close(Answer::Keep);
}

void frmConfirm::cmdUndo_Click() {
    Close(Answer::Undo);
}

void frmConfirm::Form_Unload() {
    Close(Answer::Undo);
}

}  // namespace quorvel::app
