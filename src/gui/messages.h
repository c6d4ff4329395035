// Every text the user meets, in one place: window captions, labels, tool tips, menu
// entries, the names screen readers speak, and each message box with its style and title.
// They are spelled in messages.cpp, so that editing one rebuilds one file.
#pragma once

#include "core/file_error.h"
#include "core/file_protocol.h"
#include "gui/runtime.h"

#include <QString>
#include <QStringList>

namespace Texts {
// The PIN window.
extern const QString PinCaption;
extern const QString PinLabel;
extern const QString PinTip;
extern const QString ShowPinTip;
extern const QString HidePinTip;
extern const QString PinName;
extern const QString ShowPinName;
extern const QString HidePinName;

// The ledger window.
extern const QString LedgerCaption;
extern const QString DebitCaption;
extern const QString CreditCaption;
extern const QString FileMenu;
extern const QString SaveUcTxtEntry;
extern const QString ChaPassEntry;
extern const QString ExitNoEcEntry;
extern const QString AboutTip;
extern const QString AmountName;
extern const QString LedgerName;
extern const QString DebitName;
extern const QString CreditName;
extern const QString AboutName;

// The Change PIN window.
extern const QString ChangePinCaption;
extern const QString OldPinTip;
extern const QString NewPinTip;
extern const QString OldPinLabel;
extern const QString NewPinLabel;
extern const QString ConfirmPinLabel;
extern const QString OldPinName;
extern const QString NewPinName;
extern const QString ConfirmPinName;
} // namespace Texts

// A message box as the windows show it: prompt, style and title.
struct BoxMessage {
    QString prompt;
    MsgStyle style;
    QString title;
};

// Shows the box through the runtime and answers as the user did.
MsgAnswer ShowBox(const BoxMessage& box);

// The boxes, each with the style and title it is shown with.
namespace Box {
// Why a file could not be used, in words for the user.
QString Why(const FileError& error);

BoxMessage PinEmpty();
BoxMessage PinNotFourDigits();
BoxMessage TooMuchText();

// A deciphered text that is not a ledger: the PIN is not the one that wrote it.
BoxMessage WrongPin();

BoxMessage NumberTooLarge();
BoxMessage IncorrectOldPin();
BoxMessage NewPinMismatch();
BoxMessage PlainCopySaved();
BoxMessage LedgerUnreadable(const QString& path, const FileError& error);
BoxMessage LedgerNotSaved(const QString& path, const FileError& error);
BoxMessage PlainCopyNotSaved(const QString& path, const FileError& error);
BoxMessage AlreadyOpen(const QString& folder);

// A lock that cannot be shown to be alive; host and pid are empty when it does not say.
BoxMessage UncheckableLock(const QString& folder, const QString& host, qint64 pid);

BoxMessage LockNotAFile(const QString& path);
// Another program (a backup, a sync tool) has the lock open; it ended no copy of ours.
BoxMessage LockInUse(const QString& path);
BoxMessage LockLinked(const QString& path);
BoxMessage LockUnopened(const QString& path, const FileError& error);
BoxMessage LockedByOtherAccount(const QString& folder);
BoxMessage ProgramFolderUnknown();
BoxMessage ProgramFolderUnopened(const QString& folder, const FileError& error);

// The file at the ledger's name is not the one this run read or last saved.
BoxMessage LedgerChanged(const QString& path);

// What stands at the ledger's name could not be read to tell whether it changed.
BoxMessage LedgerUncheckable(const QString& path, const FileError& error);

BoxMessage LedgerNotDurable(const QString& path, const FileError& error);
BoxMessage LedgerHasOtherNames(const QString& path);
// Saved, but another program's file that had taken the ledger's name could not be put back.
BoxMessage OtherLedgerKept(const QString& ledger, const QString& kept, const FileError& error);

// Ledgers kept beside the program's files, each with why and how to open it; at most
// MaxKeptShown of them by name.
inline constexpr qsizetype MaxKeptShown = 5;
BoxMessage KeptLedgers(const QList<KeptFile>& kept);
} // namespace Box
