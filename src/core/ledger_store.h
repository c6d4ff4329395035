// The run's ledger in one place, from the start of the run to its end: the program's files
// with their lock, then the ledger text once a PIN opens it, the PIN it is saved under and the
// cipher. The windows show it and pass on the user's requests; the ledger lives here.
#pragma once

#include "core/cipher.h"
#include "core/ledger.h"
#include "core/ledger_files.h"
#include "core/pin.h"

#include <QDate>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

class LedgerStore {
  public:
    // files: the program's folder, opened once; the store holds it for the run.
    explicit LedgerStore(std::unique_ptr<LedgerFiles> files);

    // Paths for messages.
    QString LedgerShown() const { return files->LedgerShown(); }
    QString PlainCopyShown() const { return files->PlainCopyShown(); }
    QString LockShown() const { return files->LockShown(); }
    QString FolderShown() const { return files->FolderShown(); }

    // The lock that keeps a second copy of the program off the ledger, taken before the PIN
    // is asked for. Once it is held, no other copy can be saving here, so what saves cut
    // short left behind is swept away.
    LockOutcome TakeLock();
    // An Uncheckable lock, once the user says it may be taken over.
    void TakeOverLock();
    // What earlier runs kept beside the ledger file and the plain copy.
    QList<KeptFile> KeptFiles() const { return files->KeptFiles(); }

    struct Opened {
        enum class Status { Opened, WrongPin, TooLong, Unreadable };
        Status status = Status::Opened;
        FileError error{};       // why, when Unreadable
        bool otherNames = false; // the file has another name (a hard link) a save leaves behind
    };
    // Reads and deciphers the ledger file under pin, which then saves it until ChangePin. A
    // missing file is a new, empty ledger; an unreadable one is never taken for one.
    Opened Open(const Pin& pin);
    const QString& Text() const { return ledger.Text(); }

    BookingOutcome Book(Booking kind, const QString& amountText,
                        const std::function<QDate()>& today);

    // Whether old is the PIN the ledger was opened with: a PIN change starts from that one
    // alone, however often the PIN has changed since.
    bool IsOldPin(const QString& old) const;
    // The PIN the next save enciphers under.
    void ChangePin(const Pin& chosen) { pin = chosen; }

    // What to do when the ledger file is not the one read or last saved.
    enum class IfChanged { Keep, Replace, KeepBoth };
    struct Saved {
        enum class Status {
            NothingToSave, // not open, or empty
            Written,       // the ledger file is whole at its name
            Changed,       // Keep: another file stands at the ledger's name and stays
            Unchecked,     // Keep: what stands there could not be read to tell (`error`)
            Kept,          // KeepBoth: another file stood there and stays; this run's ledger
                           // is whole at `keptAt`
            KeptUnchecked, // KeepBoth: what stood there could not be read (`error`) and stays;
                           // this run's ledger is whole at `keptAt`
            KeptUnwritten, // KeepBoth: the ledger file could not be written (`error`); this
                           // run's ledger is whole at `keptAt`
            Failed,        // nothing written, the old file untouched: `error` says why
        };
        Status status = Status::NothingToSave;
        FileError error{};
        // Written, Kept or KeptUnchecked where the folder could not be synced: the file is in
        // place but may not survive a power cut, for this reason.
        std::optional<FileError> notDurable{};
        QString keptAt{};
        // Written, where another program's file that had taken the ledger's name could not be
        // put back (`error` says why): where it was kept instead.
        QString otherKept{};
        // Written: the file's enciphered text, as the ledger field shows it while the window
        // goes.
        QString enciphered{};
    };
    // Enciphers an open, non-empty ledger under its PIN and writes the ledger file.
    Saved Save(IfChanged ifChanged);
    FileWrite SavePlainCopy();
    // The run is ending: nothing is saved from here on, so the lock is let go at once.
    void Close();

  private:
    std::unique_ptr<LedgerFiles> files;
    std::optional<Pin> openedWith; // from a successful Open
    std::optional<Pin> pin;        // what the next save enciphers under
    // Built by the first Open, so that the start-up before the PIN window does without it.
    std::optional<Cipher> cipher;
    Ledger ledger;
    bool open = false; // from a successful Open until Close
};
