// The run's ledger in one place: its text, the PIN it is saved under, the cipher and the
// program's files. The windows show it and pass on the user's requests; the ledger lives here.
#pragma once

#include "core/cipher.h"
#include "core/ledger.h"
#include "core/ledger_files.h"
#include "core/pin.h"

#include <QDate>
#include <QString>
#include <functional>
#include <optional>

class LedgerStore {
  public:
    // files: the program's folder, held for the run. The cipher's tables are built here, once.
    explicit LedgerStore(LedgerFiles& files);

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
    // The PIN the next save enciphers under.
    void ChangePin(const Pin& pin) { this->pin = pin; }

    // What to do when the ledger file is not the one read or last saved.
    enum class IfChanged { Keep, Replace, KeepBoth };
    struct Saved {
        bool nothingToSave = false; // not open, or empty
        SaveResult written{};
        QByteArray bytes{};       // the file's bytes, when written
        QString keptAt{};         // where they went instead, when the ledger file could not take them
        SaveResult keptBecause{}; // what the ledger file was found to be, when keptAt
    };
    // Enciphers an open, non-empty ledger under its PIN and writes the ledger file.
    Saved Save(IfChanged ifChanged);
    SaveResult SavePlainCopy();
    // The user chose a way out: nothing is saved from here on.
    void Close() { open = false; }

  private:
    LedgerFiles& files;
    std::optional<Pin> pin; // from a successful Open
    Cipher cipher;
    Ledger ledger;
    bool open = false; // from a successful Open until Close
};
