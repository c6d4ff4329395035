// What may stand at the ledger's and the plain copy's names besides a file of ours: things
// that are not files, files far too long, and links, the user's own or another account's.
#include "core/ledger_file_format.h"
#include "core/ledger_files.h"
#include "support/file_helpers.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <functional>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

struct OddThing {
    const char* what;
    std::function<bool(const QString& path)> make;
};

// Taking any of these for a missing file would start an empty ledger and overwrite the real
// one at close; reading them as a file would block for ever or never end.
TEST(OddFiles, WhatIsNotARegularFileIsUnreadableAtOnce) {
    const OddThing things[] = {
        {"a folder", [](const QString& p) { return QDir().mkdir(p); }},
        {"a pipe", [](const QString& p) { return ::mkfifo(QFile::encodeName(p), 0600) == 0; }},
        {"a link to a device", [](const QString& p) { return QFile::link("/dev/zero", p); }},
    };
    for (const OddThing& thing : things) {
        QTemporaryDir folder;
        ASSERT_TRUE(thing.make(LedgerFilePath(folder.path()))) << thing.what;
        const LoadResult loaded = OpenFiles(folder.path())->LoadLedgerFile();
        EXPECT_EQ(loaded.status, LoadResult::Status::Unreadable) << thing.what;
        EXPECT_NE(loaded.error.kind, FileError::Kind::None) << thing.what;
    }
}

TEST(OddFiles, AnOverlongFileIsReadOnlyFarEnoughToKnow) {
    QTemporaryDir folder;
    ASSERT_TRUE(WriteBytes(LedgerFilePath(folder.path()), {}));
    ASSERT_EQ(::truncate(QFile::encodeName(LedgerFilePath(folder.path())), 1LL << 32), 0);
    const LoadResult loaded = OpenFiles(folder.path())->LoadLedgerFile();
    EXPECT_EQ(loaded.status, LoadResult::Status::Loaded);
    EXPECT_EQ(loaded.bytes.size(), MaxLedgerFileLength + 1);
}

// The user may keep the ledger elsewhere (a synced folder) through a link of his own.
TEST(OddFiles, TheUsersOwnLinkIsFollowedBothWays) {
    QTemporaryDir folder, elsewhere;
    const QString target = elsewhere.filePath("ledger");
    ASSERT_TRUE(WriteBytes(target, "old\r\n"));
    ASSERT_TRUE(QFile::link(target, LedgerFilePath(folder.path())));
    EXPECT_EQ(OpenFiles(folder.path())->LoadLedgerFile().bytes, "old\r\n");
    ASSERT_TRUE(OpenFiles(folder.path())->SaveLedgerFile("new").ok);
    EXPECT_EQ(ReadBytes(target), "new\r\n");
    EXPECT_TRUE(QFileInfo(LedgerFilePath(folder.path())).isSymLink());
}

// In a folder other accounts can write, their links at our names lead nowhere.
TEST(OddFiles, AnotherAccountsLinkIsNeitherReadNorWrittenThrough) {
    const passwd* nobody = getpwnam("nobody");
    if (::geteuid() != 0 || !nobody) GTEST_SKIP() << "needs root to give a link away";
    QTemporaryDir folder, elsewhere;
    const QString target = elsewhere.filePath("precious");
    ASSERT_TRUE(WriteBytes(target, "precious"));
    for (const QString& path : {LedgerFilePath(folder.path()), PlainCopyPath(folder.path())}) {
        ASSERT_TRUE(QFile::link(target, path));
        ASSERT_EQ(::lchown(QFile::encodeName(path), nobody->pw_uid, nobody->pw_gid), 0);
    }
    EXPECT_EQ(OpenFiles(folder.path())->LoadLedgerFile().status, LoadResult::Status::Unreadable);
    EXPECT_FALSE(OpenFiles(folder.path())->SaveLedgerFile("ledger").ok);
    const SaveResult copy = OpenFiles(folder.path())->SavePlainCopy("plain");
    EXPECT_FALSE(copy.ok);
    EXPECT_EQ(copy.error.kind, FileError::Kind::ForeignLink);
    EXPECT_EQ(ReadBytes(target), "precious");
}

} // namespace
