// Every text of the backup and the restore: the undo file's name, its comments, the boxes.
#pragma once

namespace quorvel::backup {

// Where undo files go and what they are called: Quorvel-undo-YYYYMMDD-HHMMSS.reg.
inline constexpr const char* kFolderBesideProgram = "Backups";
inline constexpr const char* kFolderInDocuments = "Quorvel backups";
inline constexpr const char* kFilePrefix = "Quorvel-undo-";
inline constexpr const char* kFileExtension = ".reg";

// The undo file itself. Every line but the first and the keys and values is a comment for
// regedit; the last one tells the program's own reader that nothing was cut off.
inline constexpr const char* kRegHeader = "REGEDIT4";
inline constexpr const char* kEndLine = "; End of the Quorvel undo file.";
inline constexpr const char* kMadeOn = "Quorvel undo file, made on ";  // then the date and time
inline constexpr const char* kCommentLines[] = {
    "It holds the NVIDIA driver's refresh rate settings as they were just before Quorvel changed",
    "them. Importing it puts every value below back as it was, and removes those marked =-.",
    "",
    "If the screen stays dark after the change:",
    "1. Restart the computer and press F8 before the Windows logo appears.",
    // One line, joined from two literals on purpose: the brackets tell clang's
    // -Wstring-concatenation that no comma is missing.
    ("2. Choose \"Safe Mode\" or \"Enable VGA Mode\" (Windows NT 4.0: \"[VGA mode]\" in the boot "
     "menu)."),
    "3. Double-click this file and answer Yes; or run: quorvel.exe /restore \"this file\"",
    "4. Restart Windows.",
};
inline constexpr const char* kNotSaved = "Not saved, could not be read: ";

// The backup's boxes.
inline constexpr const char* kBackupTitle = "Backup";
inline constexpr const char* kNotWrittenIntro = "The undo file could not be written:";
inline constexpr const char* kNotWrittenQuestion =
    "Without it this change cannot be undone by Quorvel or by double-clicking a file. Go on "
    "without a backup?";
// "3 of the values ... put them back:", "1 of the values ... put it back:".
inline constexpr const char* kIncompleteIntro =
    " of the values about to be changed could not be read (the error boxes before this one said "
    "why), so the undo file cannot put ";
inline constexpr const char* kIncompleteIntroOne = "it back:";
inline constexpr const char* kIncompleteIntroMany = "them back:";
inline constexpr const char* kIncompleteQuestion = "Go on all the same?";
inline constexpr const char* kNoFolderKnown =
    "The program's folder, My Documents and the profile folder are all unknown.";
// A last-error code the system has no text for: "System error 5."
inline constexpr const char* kSystemError = "System error ";
// The lines the completion box gains: this one, then the undo file's path on a line of its own,
// so that a box too narrow for the path breaks it only at its backslashes.
inline constexpr const char* kUndoFileLine = "Undo file:";

// The restore.
inline constexpr const char* kRestoreTitle = "Restore a backup";
inline constexpr const char* kFilterName = "Quorvel undo files (*.reg)";
inline constexpr const char* kFilterPattern = "*.reg";
inline constexpr const char* kReadFailed = "The undo file could not be read:";
inline constexpr const char* kRefusedIntro = "Quorvel cannot restore this file:";
inline constexpr const char* kRefusedLine = "Line ";  // then the number
inline constexpr const char* kRefusedLineEnd = " is not acceptable:";
inline constexpr const char* kNothingChanged = "Nothing was changed.";
inline constexpr const char* kConfirmIntro = "Put back the settings saved in this undo file?";
// "54 values will be put back as they were, in these registry keys:", or for one value and key
// "1 value will be put back as it was, in this registry key:".
inline constexpr const char* kConfirmOneValue = " will be put back as it was, in ";
inline constexpr const char* kConfirmManyValues = " will be put back as they were, in ";
inline constexpr const char* kConfirmOneKey = "this registry key:";
inline constexpr const char* kConfirmManyKeys = "these registry keys:";
inline constexpr const char* kConfirmBackupNote =
    "The present values are saved in a new undo file first.";
inline constexpr const char* kTooLarge = "The file is larger than any undo file Quorvel writes.";
// When not every value could be written: "52 of 54 values were put back. These keys could not
// be written:", the keys with the system's reason, then the restart question (or, when nothing
// was written, that nothing was changed).
inline constexpr const char* kPutBackOf = " of ";
inline constexpr const char* kPutBackOne = " was put back.";
inline constexpr const char* kPutBackMany = " were put back.";
inline constexpr const char* kKeysFailed = "These keys could not be written:";
inline constexpr const char* kRestartAfterPartial =
    "Restart Windows now, so that the driver reads the values that were put back?";

// Why the reader refuses a line.
inline constexpr const char* kEndOfFile = "(end of file)";
inline constexpr const char* kNotAnUndoFile =
    "The file does not begin with REGEDIT4: it is not an undo file of Quorvel.";
inline constexpr const char* kForeignKey =
    "Quorvel restores values only in the NVIDIA driver's service key and display keys, and its "
    "own record of the rates applied.";
inline constexpr const char* kNotThisMachinesKey =
    "This computer has no NVIDIA display key of that name.";
inline constexpr const char* kForeignValue =
    "Quorvel restores only the 26 _Modes_Delta values and UseCompressedModeFormat, and the values "
    "of its record of the rates applied.";
inline constexpr const char* kValueBeforeKey = "The value does not follow a key.";
inline constexpr const char* kDamagedLine = "The line is damaged.";
inline constexpr const char* kCutOff = "The file ends too early: it is incomplete or damaged.";
inline constexpr const char* kAfterTheEnd = "The line follows the end of the undo file.";
inline constexpr const char* kNoValues = "The file holds no values to restore.";
// A preview saved as .reg holds new rates, not the old ones: its first comment marks it, and the
// restore refuses it, since its rates have not been through the checks of "Apply".
inline constexpr const char* kPreviewFileComment =
    "The values \"Apply\" in Quorvel would write, as planned on ";  // then the date and time
inline constexpr const char* kSavedPreview =
    "This is a saved preview of new rates, not an undo file: its rates have not been checked "
    "against the monitor's limits. Set new rates with \"Apply\", which checks them first.";

}  // namespace quorvel::backup
