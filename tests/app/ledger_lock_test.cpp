// The single-copy lock at start-up: a live copy is refused, a dead one's lock taken over,
// a lock that cannot be shown to be alive is removed only when the user says so, and what
// is not a lock of ours is never opened.
#include "app/ledger_lock.h"
#include "core/ledger_files.h"
#include "support/file_helpers.h"
#include "support/scripted_runtime.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSysInfo>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

struct StaleLock {
    const char* what;
    QByteArray content;
    const char* named; // what the question names besides the folder
};

class LedgerLockTest : public ::testing::Test {
  protected:
    QTemporaryDir folder;
    ScriptedRuntime rt;
    QString Path() const { return LedgerLockPath(folder.path()); }

    void Plant(const QByteArray& content) { ASSERT_TRUE(WriteBytes(Path(), content)); }
    QByteArray OnDisk() const {
        return QFile::exists(Path()) ? ReadBytes(Path()) : QByteArray("(none)");
    }
    LockOutcome Take() {
        files = OpenFiles(folder.path());
        return TakeLedgerLock(*files);
    }
    std::unique_ptr<LedgerFiles> files;
};

TEST_F(LedgerLockTest, ALockThatCannotBeShownAliveAsksAndYesTakesIt) {
    const StaleLock locks[] = {
        {"an empty lock", "", ""},
        {"another host's lock", "4242\nquillcount\nelsewhere.example\n", "elsewhere.example"},
    };
    for (const StaleLock& stale : locks) {
        for (const MsgAnswer answer : {MsgAnswer::No, MsgAnswer::Yes}) {
            Plant(stale.content);
            rt.boxes.clear();
            rt.answers.assign(1, answer);
            const LockOutcome outcome = Take();
            ASSERT_EQ(rt.boxes.size(), 1u) << stale.what;
            EXPECT_EQ(rt.boxes[0].style, MsgStyle::YesNoQuestion) << stale.what;
            EXPECT_EQ(rt.boxes[0].title, QStringLiteral("Query")) << stale.what;
            EXPECT_TRUE(rt.boxes[0].prompt.contains(folder.path())) << stale.what;
            EXPECT_TRUE(rt.boxes[0].prompt.contains(QLatin1String(stale.named))) << stale.what;
            if (answer == MsgAnswer::No) {
                EXPECT_EQ(outcome, LockOutcome::Declined) << stale.what;
                EXPECT_EQ(OnDisk(), stale.content) << stale.what << ": No touches nothing";
            } else {
                EXPECT_EQ(outcome, LockOutcome::Held) << stale.what;
                EXPECT_TRUE(OnDisk().startsWith(QByteArray::number(qint64(::getpid()))));
                files->ReleaseLock();
                EXPECT_FALSE(QFile::exists(Path())) << stale.what;
            }
        }
    }
}

TEST_F(LedgerLockTest, ALiveCopyHereIsRefusedAndADeadOnesLockTakenOverSilently) {
    const std::unique_ptr<LedgerFiles> live = OpenFiles(folder.path());
    ASSERT_EQ(live->TakeLock().status, LockAttempt::Status::Held);
    EXPECT_EQ(Take(), LockOutcome::Refused);
    ASSERT_EQ(rt.boxes.size(), 1u);
    EXPECT_EQ(rt.boxes[0].title, QStringLiteral(" Error "));
    EXPECT_TRUE(rt.boxes[0].prompt.contains(QStringLiteral("already open")));
    live->ReleaseLock();

    // A process that has ended, on this host: pid numbers are not reused this quickly.
    Plant("999999999\nquillcount\n" + QSysInfo::machineHostName().toUtf8() + "\n");
    rt.boxes.clear();
    EXPECT_EQ(Take(), LockOutcome::Held);
    EXPECT_TRUE(rt.boxes.empty());
}

// Opening a pipe would block, reading a device never end: the box comes at once instead.
TEST_F(LedgerLockTest, WhatIsNotALockOfOursIsToldAtOnceAndLeftAsItIs) {
    const struct {
        const char* what;
        std::function<bool(const QString&)> make;
        const char* told;
    } things[] = {
#ifndef _WIN32 // Windows makes no pipe in a folder
        {"a pipe", [](const QString& p) { return ::mkfifo(QFile::encodeName(p), 0600) == 0; },
         "not a regular file"},
#endif
        {"a link to a device", [](const QString& p) { return QFile::link("/dev/zero", p); },
         "not a regular file"},
        {"a folder", [](const QString& p) { return QDir().mkdir(p); }, "not a regular file"},
    };
    for (const auto& thing : things) {
        QTemporaryDir place;
        folder.swap(place);
        ASSERT_TRUE(thing.make(Path())) << thing.what;
        rt.boxes.clear();
        QElapsedTimer timer;
        timer.start();
        EXPECT_EQ(Take(), LockOutcome::Refused) << thing.what;
        EXPECT_LT(timer.elapsed(), 1000) << thing.what;
        ASSERT_EQ(rt.boxes.size(), 1u) << thing.what;
        EXPECT_EQ(rt.boxes[0].style, MsgStyle::Critical) << thing.what;
        EXPECT_TRUE(rt.boxes[0].prompt.contains(QLatin1String(thing.told))) << thing.what;
        EXPECT_TRUE(QFileInfo(Path()).exists() || QFileInfo(Path()).isSymLink()) << thing.what;
    }
}

} // namespace
