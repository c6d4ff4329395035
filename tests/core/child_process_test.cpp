// What needs a process of its own: a kill in the middle of a save, and files or folders
// that the user may not touch (root may touch everything, so the child drops to nobody).
#include "core/ledger_files.h"
#include "core/process.h"
#include "support/file_helpers.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

#include <pwd.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int kWaitMs = 10'000;
constexpr int kCannotDropRights = 77;

TEST(KilledSave, LeavesTheOldOrTheNewLedgerWhole) {
    QTemporaryDir folder;
    QTemporaryDir payloads;
    const QByteArray first = Payload(30'000, 1);
    const QByteArray second = Payload(12'000, 2);
    ASSERT_TRUE(WriteBytes(payloads.filePath("first"), first));
    ASSERT_TRUE(WriteBytes(payloads.filePath("second"), second));
    ASSERT_TRUE(OpenFiles(folder.path())->SaveLedgerFile(first).InPlace());

    const unsigned seed = std::random_device{}();
    SCOPED_TRACE(testing::Message() << "seed " << seed);
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> delayMs(0, 30);

    for (int kill = 0; kill < 25; ++kill) {
        QProcess child;
        child.start(STORAGE_CHILD, {"save-loop", folder.path(), payloads.filePath("first"),
                                    payloads.filePath("second")});
        ASSERT_TRUE(child.waitForReadyRead(kWaitMs)) << qPrintable(child.readAllStandardError());
        QThread::msleep(delayMs(random));
        ASSERT_EQ(child.state(), QProcess::Running) << qPrintable(child.readAllStandardError());
        child.kill();
        ASSERT_TRUE(child.waitForFinished(kWaitMs));

        const FileRead loaded = OpenFiles(folder.path())->LoadLedgerFile();
        ASSERT_EQ(loaded.status, FileRead::Status::Loaded) << "kill " << kill;
        ASSERT_TRUE(loaded.bytes == first || loaded.bytes == second)
            << "kill " << kill << ": " << loaded.bytes.size() << " bytes";
    }
}

// Runs the child as nobody and returns its two output lines: outcome, then why.
QStringList AsNobody(const char* operation, const QString& folder) {
    QProcess child;
    child.start(STORAGE_CHILD, {"as-nobody", operation, folder});
    if (!child.waitForFinished(kWaitMs)) {
        child.kill();
        child.waitForFinished(kWaitMs);
        return {"timed out"};
    }
    if (child.exitCode() == kCannotDropRights) return {};
    return QString::fromLocal8Bit(child.readAllStandardOutput()).split('\n');
}

class NoRights : public ::testing::Test {
  protected:
    void SetUp() override {
        // The temporary folder is private to us; the child must be able to look inside.
        ASSERT_TRUE(QFile::setPermissions(folder_.path(), QFile::ReadOwner | QFile::WriteOwner |
                                                              QFile::ExeOwner | QFile::ReadOther |
                                                              QFile::ExeOther));
        ASSERT_TRUE(OpenFiles(folder_.path())->SaveLedgerFile("old").InPlace());
    }
    QString Ledger() const { return LedgerFilePath(folder_.path()); }

    QTemporaryDir folder_;
};

// An unreadable ledger must not pass for a missing one, or the next save would replace it
// with an empty ledger.
TEST_F(NoRights, UnreadableFileIsReportedNotTakenForMissing) {
    ASSERT_TRUE(QFile::setPermissions(Ledger(), {}));
    const QStringList out = AsNobody("load", folder_.path());
    if (out.isEmpty()) GTEST_SKIP() << "cannot drop root's rights here";
    ASSERT_GE(out.size(), 2) << qPrintable(out.join('|'));
    EXPECT_EQ(out[0], "unreadable");
    EXPECT_FALSE(out[1].isEmpty());
}

TEST_F(NoRights, FolderThatCannotBeSearchedIsReportedNotTakenForMissing) {
    const QString inner = folder_.filePath("inner");
    ASSERT_TRUE(QDir().mkdir(inner));
    ASSERT_TRUE(OpenFiles(inner)->SaveLedgerFile("old").InPlace());
    ASSERT_TRUE(QFile::setPermissions(inner, {}));
    const QStringList out = AsNobody("load", inner);
    QFile::setPermissions(inner, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    if (out.isEmpty()) GTEST_SKIP() << "cannot drop root's rights here";
    ASSERT_GE(out.size(), 2) << qPrintable(out.join('|'));
    EXPECT_EQ(out[0], "unreadable");
    EXPECT_FALSE(out[1].isEmpty());
}

// The file itself may be written; only the folder refuses the new file beside it.
TEST_F(NoRights, FolderThatCannotBeWrittenFailsTheSaveAndKeepsTheOldFile) {
    ASSERT_TRUE(QFile::setPermissions(Ledger(), QFile::ReadOwner | QFile::WriteOwner |
                                                    QFile::ReadOther | QFile::WriteOther));
    ASSERT_TRUE(QFile::setPermissions(folder_.path(), QFile::ReadOwner | QFile::ExeOwner |
                                                          QFile::ReadOther | QFile::ExeOther));
    const QStringList out = AsNobody("save", folder_.path());
    QFile::setPermissions(folder_.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    if (out.isEmpty()) GTEST_SKIP() << "cannot drop root's rights here";
    ASSERT_GE(out.size(), 2) << qPrintable(out.join('|'));
    EXPECT_EQ(out[0], "failed");
    EXPECT_FALSE(out[1].isEmpty());
    EXPECT_EQ(ReadBytes(Ledger()), "old");
}

// Where the file system keeps no locks, only the lock's lines tell whether its writer runs: a
// program whose name the system cuts short (to 15 characters) must still be seen running.
TEST(ProcessFacts, AProgramWithALongNameIsSeenRunning) {
    QTemporaryDir folder;
    const QString name = QStringLiteral("quillcount-kept-in-a-long-name");
    ASSERT_TRUE(QFile::copy(STORAGE_CHILD, folder.filePath(name)));
    ASSERT_TRUE(QFile::setPermissions(folder.filePath(name), QFile::ExeOwner | QFile::ReadOwner));
    QProcess copy;
    copy.start(folder.filePath(name), {"hold-lock", folder.path()});
    ASSERT_TRUE(copy.waitForReadyRead(kWaitMs));
    EXPECT_TRUE(ProcessRuns(copy.processId(), name.toUtf8()));
    EXPECT_FALSE(ProcessRuns(copy.processId(), "another-program-of-a-long-name"));
    copy.closeWriteChannel();
    ASSERT_TRUE(copy.waitForFinished(kWaitMs));
    EXPECT_FALSE(ProcessRuns(copy.processId(), name.toUtf8()));
}

// Another account's copy holds the ledger: its lock is live, not one left behind to remove.
// The user's own lock left read-only (restored from read-only media) is the user's to take.
TEST_F(NoRights, AnotherAccountsLockIsToldAsSuchAndTheUsersOwnReadOnlyOneIsTaken) {
    auto files = OpenFiles(folder_.path());
    ASSERT_EQ(files->TakeLock().status, LockOutcome::Status::Held);
    const QStringList out = AsNobody("lock", folder_.path());
    if (out.isEmpty()) GTEST_SKIP() << "cannot drop root's rights here";
    EXPECT_EQ(out[0], "other account");
    files.reset();

    const QByteArray lock = QFile::encodeName(LedgerLockPath(folder_.path()));
    const passwd* nobody = getpwnam("nobody");
    ASSERT_EQ(::chown(lock.constData(), nobody->pw_uid, nobody->pw_gid), 0);
    ASSERT_EQ(::chmod(lock.constData(), 0444), 0);
    EXPECT_EQ(AsNobody("lock", folder_.path())[0], "held");
}

} // namespace
