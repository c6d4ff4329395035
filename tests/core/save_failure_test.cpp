// A save that fails while writing leaves the old file byte for byte, for contents that fit
// Qt's 16 KiB write buffer (where Qt 6.4 can report a failed flush as success) and larger.
#include "core/ledger_files.h"
#include "support/file_helpers.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <memory>
#include <optional>
#include <sys/mount.h>
#include <sys/resource.h>

namespace {

constexpr qint64 kPage = 4096;

// A small tmpfs filled up to its last page, unmounted again whatever the test's outcome.
class FullFilesystem {
  public:
    FullFilesystem() {
        const QByteArray path = QFile::encodeName(mountPoint_.path());
        if (::mount("qc-full", path.constData(), "tmpfs", 0, "size=256k") != 0) {
            why_ = QStringLiteral("cannot mount a tmpfs (%1)").arg(std::strerror(errno));
            return;
        }
        mounted_ = true;
    }
    ~FullFilesystem() {
        if (mounted_) ::umount2(QFile::encodeName(mountPoint_.path()).constData(), MNT_DETACH);
    }
    QString Folder() const { return mountPoint_.path(); }
    QString WhyNot() const { return why_; }

    // Leaves one page free, so that the save can create its file and then runs out of room.
    bool Fill() {
        QFile filler(Folder() + "/filler");
        if (!filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) return false;
        const QByteArray chunk(kPage, 'f');
        while (filler.write(chunk) == chunk.size()) {
        }
        return filler.resize((filler.size() / kPage - 1) * kPage);
    }
    void Free() { QFile::remove(Folder() + "/filler"); }

  private:
    QTemporaryDir mountPoint_;
    bool mounted_ = false;
    QString why_;
};

// Files of this process may not grow past a few bytes: the kernel fails the write as a full
// disk would, with no mount needed.
class FileSizeLimit {
  public:
    FileSizeLimit() {
        ::getrlimit(RLIMIT_FSIZE, &saved_);
        oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        const rlimit tight{rlim_t(kPage), saved_.rlim_max};
        ::setrlimit(RLIMIT_FSIZE, &tight);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, oldHandler_);
    }

  private:
    rlimit saved_{};
    void (*oldHandler_)(int) = nullptr;
};

enum class Cause { FullFilesystem, FileSizeLimit };

struct FailingSave {
    Cause cause;
    int size;
};

class WriteFailure : public ::testing::TestWithParam<FailingSave> {};

INSTANTIATE_TEST_SUITE_P(Storage, WriteFailure,
                         ::testing::Values(FailingSave{Cause::FullFilesystem, 10'000},
                                           FailingSave{Cause::FullFilesystem, 16'382},
                                           FailingSave{Cause::FullFilesystem, 30'000},
                                           FailingSave{Cause::FileSizeLimit, 10'000},
                                           FailingSave{Cause::FileSizeLimit, 16'382},
                                           FailingSave{Cause::FileSizeLimit, 30'000}),
                         [](const auto& info) {
                             return std::string(info.param.cause == Cause::FullFilesystem
                                                    ? "FullDisk"
                                                    : "SizeLimit") +
                                    std::to_string(info.param.size);
                         });

TEST_P(WriteFailure, KeepsTheOldFileAndSaysWhy) {
    const bool onDisk = GetParam().cause == Cause::FullFilesystem;
    std::optional<FullFilesystem> disk;
    QTemporaryDir plainFolder;
    if (onDisk) {
        disk.emplace();
        if (!disk->WhyNot().isEmpty()) GTEST_SKIP() << qPrintable(disk->WhyNot());
    }
    const QString folder = onDisk ? disk->Folder() : plainFolder.path();

    const QByteArray old = Payload(3000, 1);
    for (SaveMethod save : {&LedgerFiles::SaveLedgerFile, &LedgerFiles::SavePlainCopy})
        ASSERT_TRUE(SaveIn(folder, save, old).InPlace());
    if (onDisk) {
        ASSERT_TRUE(disk->Fill());
    }
    const QStringList filesBefore = QDir(folder).entryList(QDir::Files);

    for (SaveMethod save : {&LedgerFiles::SaveLedgerFile, &LedgerFiles::SavePlainCopy}) {
        FileWrite result;
        {
            std::unique_ptr<FileSizeLimit> limit;
            if (!onDisk) limit = std::make_unique<FileSizeLimit>();
            result = SaveIn(folder, save, Payload(GetParam().size, 2));
        }
        EXPECT_FALSE(result.InPlace());
        EXPECT_TRUE(
            result.error.system.contains(onDisk ? "No space left on device" : "File too large"))
            << qPrintable(result.error.system);
    }
    EXPECT_EQ(ReadBytes(LedgerFilePath(folder)), old);
    EXPECT_EQ(ReadBytes(PlainCopyPath(folder)), old);
    EXPECT_EQ(QDir(folder).entryList(QDir::Files), filesBefore) << "nothing left behind";

    // Once the cause is gone the same save goes through.
    if (onDisk) disk->Free();
    EXPECT_TRUE(OpenFiles(folder)->SaveLedgerFile(Payload(GetParam().size, 2)).InPlace());
    EXPECT_EQ(ReadBytes(LedgerFilePath(folder)), Payload(GetParam().size, 2));
}

// After the rename only the folder's sync is left: a file system that offers none has the
// save done as durably as it can; any other failure is told, with the new file in place.
TEST(FolderSync, IsNoFailedSaveWhereUnsupportedAndToldTruthfullyElse) {
    const struct {
        int error;
        const char* says;
    } failures[] = {{EINVAL, "written"}, {ENOTSUP, "written"}, {EIO, "not durable"}};
    for (const auto& failure : failures) {
        QTemporaryDir folder;
        ASSERT_TRUE(OpenFiles(folder.path())->SaveLedgerFile("old").InPlace());
        QProcess child;
        child.start(STORAGE_CHILD,
                    {"folder-sync-fails", QString::number(failure.error), folder.path()});
        ASSERT_TRUE(child.waitForFinished(10'000));
        if (child.exitCode() == 77) GTEST_SKIP() << "no system call filter can be set here";
        const QStringList out = QString::fromLocal8Bit(child.readAllStandardOutput()).split('\n');
        EXPECT_EQ(out[0], failure.says) << std::strerror(failure.error);
        EXPECT_EQ(ReadBytes(LedgerFilePath(folder.path())), "new") << std::strerror(failure.error);
    }
}

} // namespace
