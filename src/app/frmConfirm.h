// frmConfirm: the check after the restart as a portable form. It asks whether the screen can be
// read and counts down; Keep keeps the new rates, and Undo, Esc, the close box or the end of the
// count put the old ones back.
#pragma once

#include <string>

namespace quorvel::app {

inline constexpr const char* kConfirmChanged =
    "Quorvel changed the refresh rates before this restart.";
inline constexpr const char* kConfirmScreen = "Screen now: ";
inline constexpr const char* kConfirmQuestion = "Can you read this?";
inline constexpr const char* kConfirmKeep = "&Keep the new rates";
inline constexpr const char* kConfirmUndo = "&Undo the change";

class frmConfirm {
  public:
    enum class Answer { None, Keep, Undo, NoAnswer };

    // `screenNow`: the mode in use, as "Screen now:" tells it ("Not found" when unknown).
    frmConfirm(const std::string& screenNow, int seconds);

    void tmrCountdown_Timer();  // once a second
    void cmdKeep_Click();
    void cmdUndo_Click();
    void Form_Unload();  // Esc or the close box: Undo

    std::string lblScreen;
    std::string lblCountdown;  // "The old rates come back in 15 seconds."
    int secondsLeft;
    Answer answer = Answer::None;  // set once: the form is then closed

  private:
    void Count();
    void Close(Answer given);
};

// Shows the form until it is answered: the Win32 view, or a test's.
class IConfirmView {
  public:
    virtual void ShowConfirm(frmConfirm& form) = 0;

  protected:
    ~IConfirmView() = default;
};

}  // namespace quorvel::app
