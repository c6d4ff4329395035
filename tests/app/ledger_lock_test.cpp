// The single-copy lock at start-up: a copy that holds it is refused, in whatever pid
// namespace; a lock nobody holds is taken over without a word; one written on another host
// is removed only when the user says so; and what is not a lock of ours is never opened.
#include "app/ledger_lock.h"
#include "core/ledger_files.h"
#include "support/file_helpers.h"
#include "support/scripted_runtime.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSysInfo>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace {

constexpr int kWaitMs = 10'000;

class LedgerLockTest : public ::testing::Test {
  protected:
    QTemporaryDir folder;
    ScriptedRuntime rt;
    QString Path() const { return LedgerLockPath(folder.path()); }

    void Plant(const QByteArray& content) { ASSERT_TRUE(WriteBytes(Path(), content)); }
    QByteArray OnDisk() const {
        return QFile::exists(Path()) ? ReadBytes(Path()) : QByteArray("(none)");
    }
    // What a held lock says; Windows lets nobody else open a held lock, its lines included.
    bool HeldLockReads(const QByteArray& start) const {
#ifdef _WIN32
        return !QFile(Path()).open(QIODevice::ReadOnly) || start.isEmpty();
#else
        return OnDisk().startsWith(start);
#endif
    }
    LockOutcome Take() {
        store = OpenStore(folder.path());
        return TakeLedgerLock(*store);
    }
#ifdef STORAGE_CHILD
    // Another copy of the program, holding the lock until its input closes; "held <pid>".
    QString StartCopy(QProcess& copy, QStringList more = {}) {
        copy.start(STORAGE_CHILD, QStringList{"hold-lock", folder.path()} + more);
        if (!copy.waitForReadyRead(kWaitMs))
            return QString::fromLocal8Bit(copy.readAllStandardError());
        return QString::fromLatin1(copy.readAllStandardOutput()).trimmed();
    }
#endif
    std::unique_ptr<LedgerStore> store;
};

TEST_F(LedgerLockTest, AHeldLockIsRefusedAndOneNobodyHoldsIsTakenOverWithoutAWord) {
    const QByteArray here = QSysInfo::machineHostName().toUtf8();
    const QByteArray ours = QByteArray::number(QCoreApplication::applicationPid());
    const struct {
        const char* what;
        QByteArray content;
        bool readOnly = false;
    } abandoned[] = {
        {"an empty lock, as a power cut leaves one", ""},
        {"a dead copy's lock", "999999999\nquillcount\n" + here + "\n"},
        // A copy in a pid namespace of its own left its small pid, alive here as another.
        {"a lock naming a live pid of this host", ours + "\nquillcount\n" + here + "\n"},
        {"a read-only lock, as restored from read-only media", "", true},
    };
    for (const auto& lock : abandoned) {
        Plant(lock.content);
        ASSERT_TRUE(!lock.readOnly || QFile::setPermissions(Path(), QFile::ReadOwner));
        rt.boxes.clear();
        EXPECT_EQ(Take().status, LockOutcome::Status::Held) << lock.what;
        EXPECT_TRUE(rt.boxes.empty()) << lock.what;
        EXPECT_TRUE(HeldLockReads(ours + "\n")) << lock.what;
        store->Close();
        EXPECT_FALSE(QFile::exists(Path())) << lock.what;
    }

    // A copy in this process, another process, and one killed outright.
    const auto live = OpenFiles(folder.path());
    ASSERT_EQ(live->TakeLock().status, LockOutcome::Status::Held);
    EXPECT_EQ(Take().status, LockOutcome::Status::Open);
    ASSERT_EQ(rt.boxes.size(), 1u);
    EXPECT_EQ(rt.boxes[0], Box::AlreadyOpen(folder.path()));
    live->ReleaseLock();
#ifdef _WIN32
    // A backup or sync tool that has an ended copy's lock open shares it, as no copy does.
    Plant("");
    QFile reader(Path());
    ASSERT_TRUE(reader.open(QIODevice::ReadOnly));
    EXPECT_EQ(Take().status, LockOutcome::Status::InUse);
    EXPECT_EQ(rt.boxes.back(), Box::LockInUse(Path()));
    reader.close();
#endif
#ifdef STORAGE_CHILD
    QProcess copy;
    ASSERT_TRUE(StartCopy(copy).startsWith("held")) << qPrintable(copy.errorString());
    EXPECT_EQ(Take().status, LockOutcome::Status::Open);
    copy.kill();
    ASSERT_TRUE(copy.waitForFinished(kWaitMs));
    EXPECT_TRUE(QFile::exists(Path())) << "a killed copy leaves its lock";
#endif
    rt.boxes.clear();
    EXPECT_EQ(Take().status, LockOutcome::Status::Held);
    EXPECT_TRUE(rt.boxes.empty());

#ifndef _WIN32 // where a held lock cannot be removed behind the holder's back at all
    // Ours removed behind our back and taken by another copy: our end leaves theirs.
    ASSERT_TRUE(QFile::remove(Path()));
    const auto other = OpenFiles(folder.path());
    ASSERT_EQ(other->TakeLock().status, LockOutcome::Status::Held);
    const QByteArray theirs = OnDisk();
    store->Close();
    EXPECT_EQ(OnDisk(), theirs);
    other->ReleaseLock();
#endif
}

#ifdef STORAGE_CHILD
// Every copy started in a pid namespace of its own has the same pid, 1.
TEST_F(LedgerLockTest, CopiesWithTheSamePidInTheirOwnNamespacesAreToldApart) {
    QProcess first, second;
    const QString one = StartCopy(first, {"own-pids"});
    if (first.state() != QProcess::Running) GTEST_SKIP() << "no pid namespace can be made here";
    ASSERT_EQ(one, "held 1");
    EXPECT_EQ(StartCopy(second, {"own-pids"}), "open 1");
    first.closeWriteChannel();
    second.closeWriteChannel();
    ASSERT_TRUE(first.waitForFinished(kWaitMs));
    ASSERT_TRUE(second.waitForFinished(kWaitMs));
    EXPECT_EQ(Take().status, LockOutcome::Status::Held);
}
#endif

TEST_F(LedgerLockTest, AnotherHostsLockAsksAndYesTakesIt) {
    const QByteArray lock = "4242\nquillcount\nelsewhere.example\n";
    for (const MsgAnswer answer : {MsgAnswer::No, MsgAnswer::Yes}) {
        Plant(lock);
        rt.boxes.clear();
        rt.answers.assign(1, answer);
        const LockOutcome::Status outcome = Take().status;
        ASSERT_EQ(rt.boxes.size(), 1u);
        EXPECT_EQ(rt.boxes[0], Box::UncheckableLock(folder.path(), "elsewhere.example", 4242));
        if (answer == MsgAnswer::No) {
            EXPECT_EQ(outcome, LockOutcome::Status::Declined);
            store.reset();
            EXPECT_EQ(OnDisk(), lock) << "No touches nothing";
        } else {
            EXPECT_EQ(outcome, LockOutcome::Status::Held);
            EXPECT_TRUE(HeldLockReads(QByteArray::number(QCoreApplication::applicationPid())));
            store->Close();
            EXPECT_FALSE(QFile::exists(Path()));
        }
    }
}

// Opening a pipe would block, reading a device never end, writing through a second name
// overwrite the file it names: the box comes at once instead.
TEST_F(LedgerLockTest, WhatIsNotALockOfOursIsToldAtOnceAndLeftAsItIs) {
    const struct {
        const char* what;
        std::function<bool(const QString&)> make;
        const char* told;
        LockOutcome::Status status = LockOutcome::Status::NotAFile;
    } things[] = {
#ifndef _WIN32 // Windows has no pipe in a folder, and Qt's links there are shortcut files
        {"a pipe", [](const QString& p) { return ::mkfifo(QFile::encodeName(p), 0600) == 0; },
         "not a regular file"},
        {"a link to a device", [](const QString& p) { return QFile::link("/dev/zero", p); },
         "not a regular file"},
#endif
        {"a folder", [](const QString& p) { return QDir().mkdir(p); }, "not a regular file"},
        // As a restore or a copy that keeps hard links leaves it: writing it writes the ledger.
        {"a second name of the ledger",
         [](const QString& p) {
             const QString ledger = QFileInfo(p).path() + "/" + LedgerFileName;
             return WriteBytes(ledger, "the ledger") && HardLink(ledger, p);
         },
         "hard link", LockOutcome::Status::Linked},
    };
    for (const auto& thing : things) {
        QTemporaryDir place;
        folder.swap(place);
        ASSERT_TRUE(thing.make(Path())) << thing.what;
        rt.boxes.clear();
        QElapsedTimer timer;
        timer.start();
        EXPECT_EQ(Take().status, thing.status) << thing.what;
        EXPECT_LT(timer.elapsed(), 1000) << thing.what;
        ASSERT_EQ(rt.boxes.size(), 1u) << thing.what;
        EXPECT_EQ(rt.boxes[0].style, MsgStyle::Critical) << thing.what;
        EXPECT_TRUE(rt.boxes[0].prompt.contains(QLatin1String(thing.told))) << thing.what;
        EXPECT_TRUE(QFileInfo(Path()).exists() || QFileInfo(Path()).isSymLink()) << thing.what;
        EXPECT_NE(ReadBytes(LedgerFilePath(folder.path())),
                  QByteArray::number(QCoreApplication::applicationPid()) + "\n")
            << thing.what;
    }
}

} // namespace
