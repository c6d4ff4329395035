// Every call the save and lock protocol makes, failed in turn with each error a file system
// gives, and the run stopped right after each; then the next start on what is left. Whatever
// happens, no ledger is lost, nothing of ours is left lying about, and no failure is silent.
#include "core/file_names.h"
#include "core/ledger_files.h"
#include "support/file_helpers.h"

#include <QDir>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#else
#include <cerrno>
#endif

namespace {

#ifdef _WIN32
const SysCode kErrors[] = {ERROR_IO_DEVICE,     ERROR_DISK_FULL,        ERROR_HANDLE_DISK_FULL,
                           ERROR_WRITE_PROTECT, ERROR_ACCESS_DENIED,    ERROR_INVALID_PARAMETER,
                           ERROR_NOT_SUPPORTED, ERROR_SHARING_VIOLATION};
#else
const SysCode kErrors[] = {EIO, ENOSPC, EDQUOT, EROFS, EPERM, EINVAL, ENOTSUP};
#endif

// The system's calls, with one of them failed, or every one after a point not made at all,
// as when the process is killed there.
class FaultyCalls final : public FileCalls {
  public:
    int made = 0;     // calls so far
    int failing = -1; // the call that fails, with `error`
    SysCode error = 0;
    int lastMade = -1;                           // the call after which the run is stopped
    std::function<void(const char* call)> after; // runs after each call made
    QByteArray failed;                           // the name of the call that failed
    int failedBefore = 0;                        // how many calls of that name came before it
    QList<QByteArray> names;                     // of every call made
    bool unsynced = false; // a file took a name of the program's since the folder's last sync
    bool kernelLocks = true;

// Forwarded as made, failed with `error`, or not made at all once the run is stopped.
#define FORWARD(Name, Params, ...)                                                                 \
    SysCode Name Params override {                                                                 \
        return Step(#Name, [&] { return real.Name(__VA_ARGS__); });                                \
    }
    FORWARD(Create, (const Folder& at, const QByteArray& name, Handle* file), at, name, file)
    FORWARD(CopyAttributes, (const Folder& at, const QByteArray& from, Handle file), at, from, file)
    FORWARD(Write, (Handle file, const QByteArray& bytes), file, bytes)
    FORWARD(Sync, (Handle file), file)
    FORWARD(Remove, (const Folder& at, const QByteArray& name), at, name)
    FORWARD(SyncFolder, (const Folder& at), at)
    FORWARD(OpenLock, (const Folder& at, const QByteArray& name, Handle* file), at, name, file)
    FORWARD(OpenShared, (const Folder& at, const QByteArray& name), at, name)
    FORWARD(ReadAll, (Handle file, qsizetype maxBytes, QByteArray* bytes), file, maxBytes, bytes)
    FORWARD(Rewrite, (Handle file, const QByteArray& bytes), file, bytes)
    FORWARD(Leads, (const Folder& at, const QByteArray& name, Handle file), at, name, file)
    FORWARD(MakeWritable, (const Folder& at, const QByteArray& name), at, name)
#undef FORWARD
    void Close(Handle file) override {
        real.Close(file);
    } // as the system does for the dead
    SysCode HoldLock(Handle file) override {
        return Step("HoldLock", [&] { return kernelLocks ? real.HoldLock(file) : kErrors[6]; });
    }
    SysCode Rename(const Folder& at, const QByteArray& from, const QByteArray& to,
                   bool replace) override {
        const SysCode code = Step("Rename", [&] { return real.Rename(at, from, to, replace); });
        unsynced = unsynced || (code == 0 && !to.startsWith('.'));
        return code;
    }
    SysCode Exchange(const Folder& at, const QByteArray& one, const QByteArray& other) override {
        const SysCode code = Step("Exchange", [&] { return real.Exchange(at, one, other); });
        unsynced = unsynced || code == 0;
        return code;
    }
    FileRead Read(const Folder& at, const QByteArray& name, qsizetype maxBytes) override {
        return Value("Read", FileRead{FileRead::Status::Unreadable, {}, SystemError(error)},
                     [&] { return real.Read(at, name, maxBytes); });
    }
    Entry Look(const Folder& at, const QByteArray& name) override {
        return Value("Look", Entry{}, [&] { return real.Look(at, name); });
    }
    QList<QByteArray> Names(const Folder& at) override {
        return Value("Names", QList<QByteArray>{}, [&] { return real.Names(at); });
    }
    void RemoveHeld(const Folder& at, const QByteArray& name, Handle file) override {
        if (Step("RemoveHeld", [] { return SysCode(0); }) == 0) {
            real.RemoveHeld(at, name, file);
        } else {
            real.Close(file);
        }
    }

  private:
    template <typename T, typename Call> T Value(const char* name, T failed, Call call) {
        Step(name, [&] {
            failed = call();
            return SysCode(0);
        });
        return failed;
    }
    template <typename Call> SysCode Step(const char* name, Call call) {
        const int number = made++;
        names.append(name);
        if (lastMade >= 0 && number > lastMade) return error ? error : kErrors[0];
        if (number == failing) {
            failed = name;
            failedBefore = int(names.count(failed)) - 1;
            return error;
        }
        const SysCode code = call();
        if (QByteArray(name) == "SyncFolder") unsynced = false;
        if (after) after(name);
        return code;
    }
    FileCalls& real = SystemCalls();
};

const QByteArray kOld = "the ledger as read\r\n";
const QByteArray kNew = "this run's ledger, a little longer\r\n";
const QByteArray kTheirs = "another program's ledger\r\n";

// What another program does between the run's read of the ledger and its save.
enum class Meanwhile { Nothing, Replaces, Deletes };

struct Scenario {
    const char* what;
    QList<std::pair<const char*, QByteArray>> found; // the folder as the run finds it
    Meanwhile meanwhile;
    FileWrite (*run)(LedgerFiles& files);
    bool theirs; // another program's ledger is in the folder, never to be lost
    bool saves;  // a save, whose ledger said saved is never lost
};

// A lock refused because another has it needs no why: its box names who.
FileWrite Locked(const LockOutcome& lock) {
    if (lock.status == LockOutcome::Status::Held) return {};
    if (lock.error.kind == FileError::Kind::None) return {FileWrite::Status::Changed, {}};
    return {FileWrite::Status::Failed, lock.error};
}

FileWrite Save(LedgerFiles& files) {
    return files.SaveLedgerFile(kNew);
}

const QByteArray kLock = QByteArray(LedgerFileName) + LockSuffix;
const Scenario kScenarios[] = {
    {"a save over the ledger as read",
     {{LedgerFileName, kOld}},
     Meanwhile::Nothing,
     Save,
     false,
     true},
    {"a save over a ledger another program replaced",
     {{LedgerFileName, kOld}},
     Meanwhile::Replaces,
     Save,
     true,
     true},
    {"a quiet save beside a ledger another program replaced",
     {{LedgerFileName, kOld}},
     Meanwhile::Replaces,
     [](LedgerFiles& files) {
         const FileWrite saved = files.SaveLedgerFile(kNew);
         return saved.InPlace() ? saved : files.SaveLedgerBeside(kNew, KeptFile::Why::Changed);
     },
     true,
     true},
    {"a save where the ledger was deleted",
     {{LedgerFileName, kOld}},
     Meanwhile::Deletes,
     Save,
     false,
     true},
    {"the first save", {}, Meanwhile::Nothing, Save, false, true},
    {"a save the user said may replace anything",
     {{LedgerFileName, kOld}},
     Meanwhile::Nothing,
     [](LedgerFiles& files) { return files.ReplaceLedgerFile(kNew); },
     false,
     true},
    {"the plain copy",
     {{PlainCopyFileName, kOld}},
     Meanwhile::Nothing,
     [](LedgerFiles& files) { return files.SavePlainCopy(kNew); },
     false,
     true},
    {"taking and releasing the lock",
     {},
     Meanwhile::Nothing,
     [](LedgerFiles& files) {
         const FileWrite taken = Locked(files.TakeLock());
         files.ReleaseLock();
         return taken;
     },
     false,
     false},
    {"taking over a lock nobody holds",
     {{kLock.constData(), ""}},
     Meanwhile::Nothing,
     [](LedgerFiles& files) { return Locked(files.TakeLock()); },
     false,
     false},
    // What saves cut short left: one while writing, one after its exchange, one with a copy.
    {"the start's sweep",
     {{LedgerFileName, kOld},
      {".QcEcV3.1.Txt.77.1", kNew.left(5)},
      {".QcEcV3.1.Txt.77.2.aside", kTheirs},
      {".QcEcV3.1.Txt.78.1.aside", kOld}},
     Meanwhile::Nothing,
     [](LedgerFiles& files) {
         const FileWrite taken = Locked(files.TakeLock());
         if (taken.InPlace()) files.RemoveStaleTemporaries();
         return taken;
     },
     true,
     false},
};

// What may be in the folder once the next start is done: the program's own files and kept
// ledgers, each whole.
void ExpectOnlyOwnFilesAndNoLedgerLost(const QString& folder, const Scenario& scenario,
                                       const std::string& where, bool saved = false) {
    const QStringList entries =
        QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    bool theirsFound = false, newFound = false;
    for (const QString& entry : entries) {
        const QByteArray bytes = ReadBytes(QDir(folder).filePath(entry));
        theirsFound = theirsFound || bytes == kTheirs;
        newFound = newFound || bytes == kNew;
        if (entry == LedgerFileName || entry == PlainCopyFileName ||
            entry.startsWith(QLatin1String(LedgerFileName) + KeptSuffix) ||
            entry.startsWith(QLatin1String(PlainCopyFileName) + KeptSuffix)) {
            EXPECT_TRUE(bytes == kOld || bytes == kNew || bytes == kTheirs)
                << where << ": " << qPrintable(entry) << " holds " << bytes.constData();
            continue;
        }
        ADD_FAILURE() << where << ": left behind " << qPrintable(entry);
    }
    EXPECT_TRUE(theirsFound || !scenario.theirs) << where << ": another program's ledger lost";
    EXPECT_TRUE(newFound || !saved) << where << ": said saved, but not there";
}

// The next start: its lock, its sweep, the kept files it tells of.
void NextStart(const QString& folder, const std::string& where) {
    const auto files = OpenFiles(folder);
    ASSERT_NE(files, nullptr) << where;
    ASSERT_EQ(files->TakeLock().status, LockOutcome::Status::Held) << where;
    files->RemoveStaleTemporaries();
    files->ReleaseLock();
}

// A failure says why; another program's file found at the name needs no why.
void ExpectToldWithItsReason(const FileWrite& result, const std::string& where) {
    if (result.status == FileWrite::Status::Written || result.status == FileWrite::Status::Changed)
        return;
    EXPECT_NE(result.error.kind, FileError::Kind::None) << where;
    EXPECT_FALSE(result.error.kind == FileError::Kind::System && result.error.system.isEmpty() &&
                 result.error.code == 0)
        << where;
}

class FileProtocolSteps : public ::testing::TestWithParam<Scenario> {
  protected:
    // One run of the scenario with calls as set up; the folder is left as the run left it.
    FileWrite Run(FaultyCalls& calls, QTemporaryDir& folder) {
        const QDir at(folder.path());
        for (const auto& [name, bytes] : GetParam().found) {
            EXPECT_TRUE(WriteBytes(at.filePath(QLatin1String(name)), bytes));
        }
        auto files = LedgerFiles::Open(QFile::encodeName(folder.path()), calls).value;
        files->LoadLedgerFile();
        if (GetParam().meanwhile == Meanwhile::Replaces) {
            EXPECT_TRUE(WriteBytes(LedgerFilePath(folder.path()), kTheirs));
        }
        if (GetParam().meanwhile == Meanwhile::Deletes)
            QFile::remove(LedgerFilePath(folder.path()));
        return GetParam().run(*files);
    }
};

INSTANTIATE_TEST_SUITE_P(Everywhere, FileProtocolSteps, ::testing::ValuesIn(kScenarios),
                         [](const auto& info) { return "Scenario" + std::to_string(info.index); });

// Answers that tell only that the file system does not offer the call: no save fails for them
// (a put-back, the second exchange, is another matter).
bool OnlyUnsupported(const FaultyCalls& calls, SysCode error) {
    const Means means = Meaning(error);
    const QByteArray& call = calls.failed;
    if (call == "CopyAttributes") return true;
    if (call == "Exchange" && calls.failedBefore == 0)
        return means == Means::Unsupported || means == Means::Denied;
    return (call == "Sync" || call == "SyncFolder") && means == Means::Unsupported;
}

TEST_P(FileProtocolSteps, NoFailedCallAndNoStopLosesALedgerOrLeavesAnythingBehind) {
    FaultyCalls clean;
    QTemporaryDir cleanFolder;
    const FileWrite done = Run(clean, cleanFolder);
    ExpectToldWithItsReason(done, GetParam().what);
    ASSERT_GT(clean.made, 0);

    for (int call = 0; call < clean.made; ++call) {
        for (const SysCode error : kErrors) {
            const std::string where = std::string(GetParam().what) + ", call " +
                                      std::to_string(call) + " failing with " +
                                      std::to_string(error);
            FaultyCalls calls;
            calls.failing = call;
            calls.error = error;
            QTemporaryDir folder;
            const FileWrite result = Run(calls, folder);
            ExpectToldWithItsReason(result, where);
            // What a save reports, a power cut does not take back.
            EXPECT_FALSE(GetParam().saves && calls.unsynced && calls.failed != "SyncFolder")
                << where;
            if (OnlyUnsupported(calls, error) && done.status == FileWrite::Status::Written) {
                EXPECT_EQ(result.status, done.status)
                    << where << " (" << calls.failed.constData() << ")";
            }
            NextStart(folder.path(), where);
            ExpectOnlyOwnFilesAndNoLedgerLost(folder.path(), GetParam(), where,
                                              result.InPlace() && GetParam().saves);
        }
        const std::string where =
            std::string(GetParam().what) + ", stopped after call " + std::to_string(call);
        FaultyCalls calls;
        calls.lastMade = call;
        QTemporaryDir folder;
        Run(calls, folder);
        NextStart(folder.path(), where);
        ExpectOnlyOwnFilesAndNoLedgerLost(folder.path(), GetParam(), where);
    }
}

#ifndef _WIN32 // a held lock's name cannot be removed under its holder there
// The copy before ends, removing its lock, between this copy's open and its lock, and a third
// copy takes a new one: the lock this copy then holds is a file nobody will look at again.
TEST(FileProtocolRaces, ALockWhoseNameWentToAnotherFileMeanwhileIsNotTaken) {
    QTemporaryDir folder;
    ASSERT_TRUE(WriteBytes(LedgerLockPath(folder.path()), ""));
    std::unique_ptr<LedgerFiles> third;
    FaultyCalls calls;
    calls.after = [&](const char* call) {
        if (third || QByteArray(call) != "OpenLock") return;
        QFile::remove(LedgerLockPath(folder.path()));
        third = OpenFiles(folder.path());
        ASSERT_EQ(third->TakeLock().status, LockOutcome::Status::Held);
    };
    const auto files = LedgerFiles::Open(QFile::encodeName(folder.path()), calls).value;
    EXPECT_EQ(files->TakeLock().status, LockOutcome::Status::Open);
}
#endif

// Where the file system keeps no locks, a lock that has just taken its name already says
// whose it is: a second copy starting that moment is refused, not let in by an empty lock.
TEST(FileProtocolRaces, WithoutTheKernelsLocksANewLockIsNeverEmpty) {
    QTemporaryDir folder;
    LockOutcome second;
    FaultyCalls calls, secondCalls;
    calls.kernelLocks = secondCalls.kernelLocks = false;
    calls.after = [&](const char* call) {
        if (QByteArray(call) != "Rename" || second.status != LockOutcome::Status::NotCreated)
            return;
        second = LedgerFiles::Open(QFile::encodeName(folder.path()), secondCalls).value->TakeLock();
    };
    const auto files = LedgerFiles::Open(QFile::encodeName(folder.path()), calls).value;
    EXPECT_EQ(files->TakeLock().status, LockOutcome::Status::Held);
    EXPECT_EQ(second.status, LockOutcome::Status::Open);
}

} // namespace
