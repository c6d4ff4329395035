// The single-copy lock at start-up: a live copy is refused, a dead one's lock taken over,
// and a lock that cannot be shown to be alive is removed only when the user says so.
#include "app/ledger_lock.h"
#include "core/ledger_files.h"
#include "support/scripted_runtime.h"

#include <QCoreApplication>
#include <QFile>
#include <QLockFile>
#include <QSysInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>
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

    void Plant(const QByteArray& content) {
        QFile file(Path());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    QByteArray OnDisk() const {
        QFile file(Path());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(none)");
    }
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
            QLockFile lock(Path());
            const LockOutcome outcome = TakeLedgerLock(lock, folder.path());
            ASSERT_EQ(rt.boxes.size(), 1u) << stale.what;
            EXPECT_EQ(rt.boxes[0].style, 36) << stale.what;
            EXPECT_EQ(rt.boxes[0].title, QStringLiteral("Query")) << stale.what;
            EXPECT_TRUE(rt.boxes[0].prompt.contains(folder.path())) << stale.what;
            EXPECT_TRUE(rt.boxes[0].prompt.contains(QLatin1String(stale.named))) << stale.what;
            if (answer == MsgAnswer::No) {
                EXPECT_EQ(outcome, LockOutcome::Declined) << stale.what;
                EXPECT_EQ(OnDisk(), stale.content) << stale.what << ": No touches nothing";
            } else {
                EXPECT_EQ(outcome, LockOutcome::Held) << stale.what;
                EXPECT_TRUE(OnDisk().startsWith(QByteArray::number(qint64(::getpid()))));
            }
        }
    }
}

TEST_F(LedgerLockTest, ALiveCopyHereIsRefusedAndADeadOnesLockTakenOverSilently) {
    QLockFile live(Path());
    ASSERT_TRUE(live.tryLock(0));
    QLockFile second(Path());
    EXPECT_EQ(TakeLedgerLock(second, folder.path()), LockOutcome::Refused);
    ASSERT_EQ(rt.boxes.size(), 1u);
    EXPECT_EQ(rt.boxes[0].title, QStringLiteral(" Error "));
    EXPECT_TRUE(rt.boxes[0].prompt.contains(QStringLiteral("already open")));
    live.unlock();

    // A process that has ended, on this host: pid numbers are not reused this quickly.
    Plant("999999999\nquillcount\n" + QSysInfo::machineHostName().toUtf8() + "\n");
    rt.boxes.clear();
    QLockFile third(Path());
    EXPECT_EQ(TakeLedgerLock(third, folder.path()), LockOutcome::Held);
    EXPECT_TRUE(rt.boxes.empty());
}

} // namespace
