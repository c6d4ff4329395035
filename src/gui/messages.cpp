#include "gui/messages.h"

#include "core/file_names.h"

#include <QDir>

namespace Texts {
// The PIN window.
const QString PinCaption = QStringLiteral("Enter Pin");
const QString PinLabel = QStringLiteral("Enter Your 4 Digit Pin And Press Return");
const QString PinTip = QStringLiteral("Enter Pin & Press Enter ");
const QString ShowPinTip = QStringLiteral(" Show PassWord ");
const QString HidePinTip = QStringLiteral(" Hide PassWord ");
const QString PinName = QStringLiteral("PIN");
const QString ShowPinName = QStringLiteral("Show PIN");
const QString HidePinName = QStringLiteral("Hide PIN");

// The ledger window.
const QString LedgerCaption = QStringLiteral(u"\u00A3 Quillcount V3 \u00A3");
const QString DebitCaption = QStringLiteral("-----");
const QString CreditCaption = QStringLiteral("++++");
const QString FileMenu = QStringLiteral("&File");
const QString SaveUcTxtEntry =
    QStringLiteral("&Save %1 (UnEncrypted)").arg(QLatin1String(PlainCopyFileName));
const QString ChaPassEntry = QStringLiteral("&Change PassWord");
const QString ExitNoEcEntry = QStringLiteral("&Exit No Enctypt");
const QString AboutTip = QStringLiteral("Quillcount ledger, written by its own developers");
const QString AmountName = QStringLiteral("Amount");
const QString LedgerName = QStringLiteral("Ledger");
const QString DebitName = QStringLiteral("Debit");
const QString CreditName = QStringLiteral("Credit");
const QString AboutName = QStringLiteral("About");

// The Change PIN window.
const QString ChangePinCaption = QStringLiteral("Change Pin");
const QString OldPinTip = QStringLiteral(" Enter Old Pin & Press Return ");
const QString NewPinTip = QStringLiteral(" Enter New Pin & Press Return ");
const QString OldPinLabel = QStringLiteral("Old Pin");
const QString NewPinLabel = QStringLiteral("New Pin");
const QString ConfirmPinLabel = QStringLiteral("Confirm Pin");
const QString OldPinName = QStringLiteral("Old PIN");
const QString NewPinName = QStringLiteral("New PIN");
const QString ConfirmPinName = QStringLiteral("Confirm PIN");
} // namespace Texts

MsgAnswer ShowBox(const BoxMessage& box) {
    return Rt().MsgBox(box.prompt, box.style, box.title);
}

namespace Box {
namespace {
const QString ErrorTitle = QStringLiteral(" Error ");
const QString QueryTitle = QStringLiteral("Query");

BoxMessage Error(const QString& prompt) {
    return {prompt, MsgStyle::Critical, ErrorTitle};
}
BoxMessage Question(const QString& prompt) {
    return {prompt, MsgStyle::YesNoQuestion, QueryTitle};
}
} // namespace

QString Why(const FileError& error) {
    switch (error.kind) {
    case FileError::Kind::None:
        return error.system;
    case FileError::Kind::System: {
        // The boxes end the sentence themselves.
        QString why = error.system.trimmed();
        if (why.endsWith(QLatin1Char('.'))) why.chop(1);
        return why.isEmpty() ? QStringLiteral("Error %1").arg(error.code) : why;
    }
    case FileError::Kind::Folder:
        return QStringLiteral("A folder has its name");
    case FileError::Kind::NotRegular:
        return QStringLiteral("It is not a regular file");
    case FileError::Kind::ForeignLink:
        return QStringLiteral("It is a link made by another account, which is not followed");
    case FileError::Kind::DanglingLink:
        return QStringLiteral("It is a link to something that is not there (a drive or share "
                              "not connected?)");
    case FileError::Kind::ReadOnly:
        return QStringLiteral("It is marked read-only: clear its read-only attribute and try "
                              "again");
    case FileError::Kind::FolderGone:
        return QStringLiteral("Its folder has been deleted or moved away, and no folder has its "
                              "name now");
    }
    return error.system;
}

BoxMessage PinEmpty() {
    return Error(QStringLiteral("Enter Pin"));
}

BoxMessage PinNotFourDigits() {
    return Error(QStringLiteral("Enter Pin 4 Numbers"));
}

BoxMessage TooMuchText() {
    return {QStringLiteral(" To Much TeX To Encode "), MsgStyle::Information, ErrorTitle};
}

// A deciphered text that is not a ledger: the PIN is not the one that wrote it.
BoxMessage WrongPin() {
    return Error(QStringLiteral(" Opps Wrong Password "));
}

BoxMessage NumberTooLarge() {
    return Error(QStringLiteral(" Number Too Large To Book "));
}

BoxMessage IncorrectOldPin() {
    return Error(QStringLiteral("Incorrect Pin"));
}

BoxMessage NewPinMismatch() {
    return Error(QStringLiteral("New Pin Does Not Match"));
}

BoxMessage PlainCopySaved() {
    return Question(QStringLiteral("%1 File Saved Do you wish to Exit  Yes No?")
                        .arg(QLatin1String(PlainCopyFileName)));
}

BoxMessage LedgerUnreadable(const QString& path, const FileError& error) {
    return Error(QStringLiteral("The ledger file %1 cannot be read: %2.")
                     .arg(QDir::toNativeSeparators(path), Why(error)));
}

BoxMessage LedgerNotSaved(const QString& path, const FileError& error) {
    return Error(QStringLiteral("The ledger could not be saved to %1: %2.\n\nYour bookings are "
                                "still here. Save a plain copy, or close the window to try "
                                "again.")
                     .arg(QDir::toNativeSeparators(path), Why(error)));
}

BoxMessage PlainCopyNotSaved(const QString& path, const FileError& error) {
    return Error(QStringLiteral("The plain copy could not be saved to %1: %2.")
                     .arg(QDir::toNativeSeparators(path), Why(error)));
}

BoxMessage AlreadyOpen(const QString& folder) {
    return Error(QStringLiteral("The ledger in %1 is already open in another copy of this program.")
                     .arg(QDir::toNativeSeparators(folder)));
}

// A lock that cannot be shown to be alive; host and pid are empty when it does not say.
BoxMessage UncheckableLock(const QString& folder, const QString& host, qint64 pid) {
    const QString where = QDir::toNativeSeparators(folder);
    const QString whose =
        host.isEmpty()
            ? QStringLiteral("The ledger in %1 is locked, but the lock does not say by which "
                             "copy of this program.")
                  .arg(where)
            : QStringLiteral("The ledger in %1 is locked by a copy of this program on %2 "
                             "(process %3), which cannot be checked from here.")
                  .arg(where, host, QString::number(pid));
    return Question(whose + QStringLiteral("\n\nIf no other copy is using this ledger, the lock "
                                           "was left behind by one that ended abruptly. Remove "
                                           "the lock and open the ledger?"));
}

BoxMessage LockNotAFile(const QString& path) {
    return Error(QStringLiteral("The ledger's lock %1 is not a regular file, so the ledger cannot "
                                "be kept from a second copy of this program. Remove what stands "
                                "there and start again.")
                     .arg(QDir::toNativeSeparators(path)));
}

BoxMessage LockInUse(const QString& path) {
    return Error(QStringLiteral("The ledger's lock %1 is open in another program (a backup or a "
                                "sync tool, perhaps), so it cannot be taken. Wait for that "
                                "program to finish and start again.")
                     .arg(QDir::toNativeSeparators(path)));
}

BoxMessage LockLinked(const QString& path) {
    return Error(QStringLiteral("The ledger's lock %1 is another name (a hard link) of a file, "
                                "which taking the lock would overwrite. Remove that name and "
                                "start again.")
                     .arg(QDir::toNativeSeparators(path)));
}

BoxMessage LockUnopened(const QString& path, const FileError& error) {
    return Error(QStringLiteral("The ledger's lock %1 cannot be opened: %2. Start again in a "
                                "moment.")
                     .arg(QDir::toNativeSeparators(path), Why(error)));
}

BoxMessage LockedByOtherAccount(const QString& folder) {
    return Error(QStringLiteral("The ledger in %1 is open or locked by another account.")
                     .arg(QDir::toNativeSeparators(folder)));
}

BoxMessage ProgramFolderUnknown() {
    return Error(QStringLiteral("The folder this program is in cannot be found, so there is "
                                "nowhere to keep the ledger."));
}

BoxMessage ProgramFolderUnopened(const QString& folder, const FileError& error) {
    return Error(QStringLiteral("The folder %1 cannot be opened: %2.")
                     .arg(QDir::toNativeSeparators(folder), Why(error)));
}

// The file at the ledger's name is not the one this run read or last saved.
BoxMessage LedgerChanged(const QString& path) {
    return Question(QStringLiteral("The ledger file %1 has been changed since it was opened, by "
                                   "another program or another copy of this one.\n\nReplace it "
                                   "with the ledger in this window?")
                        .arg(QDir::toNativeSeparators(path)));
}

// What stands at the ledger's name could not be read to tell whether it changed.
BoxMessage LedgerUncheckable(const QString& path, const FileError& error) {
    return Question(QStringLiteral("The ledger file %1 cannot be read to check that it is the one "
                                   "this window opened: %2.\n\nReplace it with the ledger in "
                                   "this window?")
                        .arg(QDir::toNativeSeparators(path), Why(error)));
}

BoxMessage LedgerNotDurable(const QString& path, const FileError& error) {
    return Error(QStringLiteral("The ledger was saved to %1, but the system could not confirm that "
                                "it is on the disk: %2.\n\nIt may not survive a power cut.")
                     .arg(QDir::toNativeSeparators(path), Why(error)));
}

BoxMessage LedgerHasOtherNames(const QString& path) {
    return {QStringLiteral("The ledger file %1 also has another name (a hard link). That other "
                           "name keeps the ledger as it is now: it will not follow the saves of "
                           "this ledger.")
                .arg(QDir::toNativeSeparators(path)),
            MsgStyle::Information, ErrorTitle};
}

BoxMessage OtherLedgerKept(const QString& ledger, const QString& kept, const FileError& error) {
    return {QStringLiteral("The ledger was saved to %1. Another program had put a file of its own "
                           "there, which could not be put back (%3), so it was kept as %2.")
                .arg(QDir::toNativeSeparators(ledger), QDir::toNativeSeparators(kept), Why(error)),
            MsgStyle::Information, ErrorTitle};
}

BoxMessage KeptLedgers(const QList<KeptFile>& kept) {
    const auto why = [](KeptFile::Why why) {
        switch (why) {
        case KeptFile::Why::Changed:
            return QStringLiteral("a run's ledger, kept because the ledger file had been changed "
                                  "by another program");
        case KeptFile::Why::Unchecked:
            return QStringLiteral("a run's ledger, kept because the ledger file could not be read "
                                  "to check it");
        case KeptFile::Why::Unwritten:
            return QStringLiteral("a run's ledger, kept because the ledger file could not be "
                                  "written");
        case KeptFile::Why::Other:
            return QStringLiteral("another program's file, kept because a save could not put it "
                                  "back");
        case KeptFile::Why::Found:
            return QStringLiteral("found after a save was cut short: an earlier ledger, or "
                                  "another program's");
        }
        return QString();
    };
    QStringList shown;
    const KeptFile* group = nullptr; // the folder and name the lines below are kept for
    for (const KeptFile& file : kept.first(qMin(kept.size(), MaxKeptShown))) {
        if (!group || group->folder != file.folder || group->name != file.name) {
            shown.append(
                QStringLiteral("\nIn %1, to be renamed to %2 to open:")
                    .arg(QDir::toNativeSeparators(file.folder), QString::fromUtf8(file.name)));
            group = &file;
        }
        shown.append(
            QStringLiteral("%1: %2.").arg(file.path.section(QLatin1Char('/'), -1), why(file.why)));
    }
    if (kept.size() > MaxKeptShown)
        shown.append(QStringLiteral("And %1 more.").arg(kept.size() - MaxKeptShown));
    return {QStringLiteral("Ledgers were kept beside the program's files.\n%1\n\nBefore "
                           "renaming one, move the file of that name aside; then start the "
                           "program with the PIN that ledger had.")
                .arg(shown.join(QLatin1Char('\n'))),
            MsgStyle::Information, ErrorTitle};
}
} // namespace Box
