// What may stand at the ledger's and the plain copy's names besides a file of ours: things
// that are not files, files far too long, and links, the user's own or another account's.
#include "core/ledger_file_format.h"
#include "core/ledger_files.h"
#include "support/file_helpers.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <grp.h>
#include <map>
#include <pwd.h>
#include <sys/mount.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/xattr.h>
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
        {"a socket",
         [](const QString& p) {
             sockaddr_un address{};
             address.sun_family = AF_UNIX;
             const QByteArray path = QFile::encodeName(p);
             if (size_t(path.size()) >= sizeof address.sun_path) return false;
             std::memcpy(address.sun_path, path.constData(), size_t(path.size()));
             const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
             const bool bound =
                 ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
             ::close(fd);
             return bound;
         }},
        {"a link to a device", [](const QString& p) { return QFile::link("/dev/zero", p); }},
        // A drive not mounted yet: its ledger would be replaced by this run's bookings alone.
        {"a link to a missing file", [](const QString& p) { return QFile::link(p + "-gone", p); }},
        {"a link into a missing folder",
         [](const QString& p) { return QFile::link(p + "-gone/QcEcV3.1.Txt", p); }},
    };
    for (const OddThing& thing : things) {
        QTemporaryDir folder;
        ASSERT_TRUE(thing.make(LedgerFilePath(folder.path()))) << thing.what;
        const FileRead loaded = OpenFiles(folder.path())->LoadLedgerFile();
        EXPECT_EQ(loaded.status, FileRead::Status::Unreadable) << thing.what;
        EXPECT_NE(loaded.error.kind, FileError::Kind::None) << thing.what;
        EXPECT_NE(loaded.error.kind, FileError::Kind::System)
            << thing.what << ": said in its own words";
    }
}

TEST(OddFiles, AnOverlongFileIsReadOnlyFarEnoughToKnow) {
    QTemporaryDir folder;
    ASSERT_TRUE(WriteBytes(LedgerFilePath(folder.path()), {}));
    ASSERT_EQ(::truncate(QFile::encodeName(LedgerFilePath(folder.path())), 1LL << 32), 0);
    const FileRead loaded = OpenFiles(folder.path())->LoadLedgerFile();
    EXPECT_EQ(loaded.status, FileRead::Status::Loaded);
    EXPECT_EQ(loaded.bytes.size(), MaxLedgerFileLength + 1);
}

// The user may keep the ledger elsewhere (a synced folder) through a link of his own.
TEST(OddFiles, TheUsersOwnLinkIsFollowedBothWays) {
    QTemporaryDir folder, elsewhere;
    const QString target = elsewhere.filePath("ledger");
    ASSERT_TRUE(WriteBytes(target, "old\r\n"));
    ASSERT_TRUE(QFile::link(target, LedgerFilePath(folder.path())));
    EXPECT_EQ(OpenFiles(folder.path())->LoadLedgerFile().bytes, "old\r\n");
    ASSERT_TRUE(OpenFiles(folder.path())->SaveLedgerFile("new").InPlace());
    EXPECT_EQ(ReadBytes(target), "new");
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
    EXPECT_EQ(OpenFiles(folder.path())->LoadLedgerFile().status, FileRead::Status::Unreadable);
    EXPECT_FALSE(OpenFiles(folder.path())->SaveLedgerFile("ledger").InPlace());
    const FileWrite copy = OpenFiles(folder.path())->SavePlainCopy("plain");
    EXPECT_FALSE(copy.InPlace());
    EXPECT_EQ(copy.error.kind, FileError::Kind::ForeignLink);
    EXPECT_EQ(ReadBytes(target), "precious");
}

// What saves cut short left: only our own temporaries go, and only once the lock is ours.
TEST(OddFiles, TheUsersOwnTemporariesAreRemovedAndNothingElse) {
    QTemporaryDir folder;
    const auto at = [&folder](const char* name) { return folder.filePath(QLatin1String(name)); };
    const QStringList ours = {".QcEcV3.1.Txt.4242.1", ".QcUcV3.1.Txt.17.30"};
    const QStringList others = {".QcEcV3.1.Txt.4242", ".QcEcV3.1.Txt.12.x", "QcEcV3.1.Txt.1.2",
                                ".notes.Txt.1.2"};
    for (const QString& name : ours + others)
        ASSERT_TRUE(WriteBytes(folder.filePath(name), "left"));
    ASSERT_TRUE(QFile::link(at("elsewhere"), at(".QcEcV3.1.Txt.5.5")));
    const passwd* nobody = getpwnam("nobody");
    const bool giveAway = ::geteuid() == 0 && nobody;
    if (giveAway) {
        ASSERT_TRUE(WriteBytes(at(".QcUcV3.1.Txt.6.6"), "theirs"));
        ASSERT_EQ(::chown(QFile::encodeName(at(".QcUcV3.1.Txt.6.6")), nobody->pw_uid, 0), 0);
    }
    const auto files = OpenFiles(folder.path());
    ASSERT_EQ(files->TakeLock().status, LockOutcome::Status::Held);
    files->RemoveStaleTemporaries();
    for (const QString& name : ours)
        EXPECT_FALSE(QFile::exists(folder.filePath(name))) << qPrintable(name);
    for (const QString& name : others)
        EXPECT_EQ(ReadBytes(folder.filePath(name)), "left") << qPrintable(name);
    EXPECT_TRUE(QFileInfo(at(".QcEcV3.1.Txt.5.5")).isSymLink());
    if (giveAway) {
        EXPECT_TRUE(QFile::exists(at(".QcUcV3.1.Txt.6.6")));
    }
}

// The folder a link at the ledger's name leads into is followed by its path at each save, as
// the program's own folder is; a link replaced by the file itself is that file from then on.
TEST(OddFiles, TheLinksTargetFolderIsFollowedAtEachSave) {
    const struct {
        const char* what;
        std::function<bool(const QString& target, const QString& link)> change;
        const char* savedAt; // beside the link when its folder is gone for good
    } changes[] = {
        {"put aside for a copy",
         [](const QString& t, const QString&) {
             return QDir().rename(t, t + "-old") && QDir().mkdir(t) &&
                    QFile::copy(t + "-old/ledger", t + "/ledger");
         },
         "target/ledger"},
        {"deleted and made again",
         [](const QString& t, const QString&) {
             return QDir(t).removeRecursively() && QDir().mkdir(t);
         },
         "target/ledger"},
        {"the link replaced by the file",
         [](const QString& t, const QString& l) {
             return QFile::remove(l) && QFile::copy(t + "/ledger", l);
         },
         "program/QcEcV3.1.Txt"},
        {"deleted for good",
         [](const QString& t, const QString&) { return QDir(t).removeRecursively(); },
         "program/QcEcV3.1.Txt.kept-1.unwritten"},
    };
    for (const auto& change : changes) {
        QTemporaryDir parent;
        const QString program = parent.filePath("program"), target = parent.filePath("target");
        ASSERT_TRUE(QDir().mkdir(program) && QDir().mkdir(target));
        ASSERT_TRUE(WriteBytes(target + "/ledger", "old"));
        ASSERT_TRUE(QFile::link(target + "/ledger", LedgerFilePath(program)));
        const auto files = OpenFiles(program);
        ASSERT_EQ(files->LoadLedgerFile().bytes, "old");
        ASSERT_TRUE(change.change(target, LedgerFilePath(program))) << change.what;
        const FileWrite saved = files->SaveLedgerFile("new");
        if (!saved.InPlace()) {
            ASSERT_TRUE(files->SaveLedgerBeside("new", KeptFile::Why::Unwritten).InPlace());
        }
        EXPECT_EQ(ReadBytes(parent.filePath(change.savedAt)), "new") << change.what;
    }
}

// The program's folder deleted, or put aside, while the ledger is open: the save goes to the
// folder at its path once there is one, and is refused (nothing lost) while there is none.
TEST(OddFiles, AFolderDeletedOrReplacedWhileHeldIsLeftForTheOneAtItsPath) {
    const struct {
        const char* what;
        std::function<bool(const QString& path)> change;
        bool savedThere;
    } changes[] = {
        {"deleted and made again",
         [](const QString& p) { return QDir(p).removeRecursively() && QDir().mkdir(p); }, true},
        {"put aside for a new one",
         [](const QString& p) { return QDir().rename(p, p + "-old") && QDir().mkdir(p); }, true},
        {"deleted for good", [](const QString& p) { return QDir(p).removeRecursively(); }, false},
    };
    for (const auto& change : changes) {
        QTemporaryDir parent;
        const QString folder = parent.filePath("program");
        ASSERT_TRUE(QDir().mkdir(folder));
        const auto files = OpenFiles(folder);
        ASSERT_TRUE(change.change(folder)) << change.what;
        const FileWrite saved = files->SaveLedgerFile("ledger");
        const FileWrite copy = files->SavePlainCopy("plain");
        EXPECT_EQ(saved.InPlace(), change.savedThere) << change.what;
        EXPECT_EQ(copy.InPlace(), change.savedThere) << change.what;
        if (change.savedThere) {
            EXPECT_EQ(ReadBytes(LedgerFilePath(folder)), "ledger") << change.what;
            EXPECT_EQ(ReadBytes(PlainCopyPath(folder)), "plain") << change.what;
        } else {
            EXPECT_EQ(saved.error.kind, FileError::Kind::FolderGone) << change.what;
            ASSERT_TRUE(QDir().mkdir(folder));
            EXPECT_TRUE(files->SaveLedgerFile("ledger").InPlace()) << "once it is back";
        }
    }
}

// Every extended attribute, an ACL included, by name.
std::map<QByteArray, QByteArray> Attributes(const QString& path) {
    const QByteArray file = QFile::encodeName(path);
    QByteArray names(1 << 16, '\0');
    const ssize_t length = ::listxattr(file.constData(), names.data(), size_t(names.size()));
    std::map<QByteArray, QByteArray> attributes;
    for (const QByteArray& name : names.left(qMax<ssize_t>(length, 0)).split('\0')) {
        if (name.isEmpty()) continue;
        QByteArray value(1 << 16, '\0');
        value.truncate(qMax<ssize_t>(
            ::getxattr(file.constData(), name.constData(), value.data(), size_t(value.size())), 0));
        attributes[name] = value;
    }
    return attributes;
}

// A file the program creates is its owner's alone; what the user set on it since stays.
TEST(OddFiles, BothFilesAreOwnerOnlyUntilTheUserSetsOtherwise) {
    for (const SaveMethod save : {&LedgerFiles::SaveLedgerFile, &LedgerFiles::SavePlainCopy}) {
        QTemporaryDir folder;
        const QByteArray mountPoint = QFile::encodeName(folder.path());
        const bool tmpfs =
            ::mount("qc-attributes", mountPoint.constData(), "tmpfs", 0, "mode=0700") == 0;
        const auto unmount = qScopeGuard([&] {
            if (tmpfs) ::umount2(mountPoint.constData(), MNT_DETACH);
        });
        const QString path = save == &LedgerFiles::SaveLedgerFile ? LedgerFilePath(folder.path())
                                                                  : PlainCopyPath(folder.path());
        ASSERT_TRUE(SaveIn(folder.path(), save, "first").InPlace());
        EXPECT_EQ(FileMode(path), 0600);

        // The mode and the group first, alone: an ACL copied later would give the mode back.
        ASSERT_TRUE(
            QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup));
        const QByteArray file = QFile::encodeName(path);
        const group* shared = getgrnam("nogroup");
        const bool regroup = shared && ::chown(file.constData(), uid_t(-1), shared->gr_gid) == 0;
        ASSERT_TRUE(SaveIn(folder.path(), save, "second").InPlace());
        EXPECT_EQ(FileMode(path), 0640);
        struct stat info {};
        ASSERT_EQ(::stat(file.constData(), &info), 0);
        EXPECT_TRUE(!regroup || info.st_gid == shared->gr_gid);

        // An ACL, and more attributes than their names fit in 4 KiB where the file system
        // holds that many (tmpfs does; ext4 keeps them all in one block).
        const bool acl = QProcess::execute("setfacl", {"-m", "u:nobody:r", path}) == 0;
        int extended = 0;
        while (extended < 300 &&
               ::setxattr(file.constData(),
                          "user.origin-of-this-ledger-" + QByteArray::number(extended), "bank", 4,
                          0) == 0)
            ++extended;
        const auto before = Attributes(path);
        ASSERT_TRUE(SaveIn(folder.path(), save, "third").InPlace());
        EXPECT_EQ(Attributes(path), before);
        if (extended == 0 || !acl) GTEST_SKIP() << "this file system keeps no attributes or ACLs";
    }
}

// A folder name that is not valid text (an old disk's) is held as the bytes it is.
TEST(OddFiles, AFolderNamedInBytesThatAreNotTextHoldsTheLedger) {
    QTemporaryDir parent;
    const QByteArray folder = QFile::encodeName(parent.path()) + "/caf\xe9";
    ASSERT_EQ(::mkdir(folder.constData(), 0700), 0);
    auto files = LedgerFiles::Open(folder).value;
    ASSERT_NE(files, nullptr);
    ASSERT_TRUE(files->SaveLedgerFile("ledger").InPlace());
    files = LedgerFiles::Open(folder).value;
    EXPECT_EQ(files->LoadLedgerFile().bytes, "ledger");
    struct stat info;
    EXPECT_EQ(::stat((folder + "/QcEcV3.1.Txt").constData(), &info), 0);
}

} // namespace
