#include "core/ledger_file_format.h"
#include "core/ledger_files.h"
#include "core/win1252.h"
#include "support/file_helpers.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct StoredFile {
    const char* name;
    SaveMethod save;
    QString (*path)(const QString&);
};

const StoredFile kLedgerFile{"QcEcV3.1.Txt", &LedgerFiles::SaveLedgerFile, LedgerFilePath};
const StoredFile kPlainCopy{"QcUcV3.1.Txt", &LedgerFiles::SavePlainCopy, PlainCopyPath};

class BothFiles : public ::testing::TestWithParam<StoredFile> {
  protected:
    QTemporaryDir folder_;
    QString Path() const { return GetParam().path(folder_.path()); }
    SaveResult Save(const QByteArray& bytes) const {
        return SaveIn(folder_.path(), GetParam().save, bytes);
    }
};

INSTANTIATE_TEST_SUITE_P(Storage, BothFiles, ::testing::Values(kLedgerFile, kPlainCopy),
                         [](const auto& info) {
                             return std::string(info.param.save == &LedgerFiles::SaveLedgerFile ? "LedgerFile"
                                                                                  : "PlainCopy");
                         });

// The caller's L+1 enciphered bytes (or L plain ones) come back as L+3 (or L+2): the
// bytes untranslated, lone CR and LF and all 256 values included, then 13 10.
TEST_P(BothFiles, HoldsTheBytesThenCrLfUnderItsOwnName) {
    const QByteArray bytes = Payload(1000, 3) + "line\r\nlone\rcr\nlf";
    ASSERT_TRUE(Save(bytes).ok);

    EXPECT_EQ(QDir(folder_.path()).entryList(QDir::Files), QStringList{GetParam().name});
    const QByteArray stored = ReadBytes(Path());
    EXPECT_EQ(stored.size(), bytes.size() + 2);
    EXPECT_EQ(stored, bytes + "\r\n");
}

TEST_P(BothFiles, SecondSaveReplacesTheFirstWhole) {
    ASSERT_TRUE(Save(Payload(5000, 1)).ok);
    ASSERT_TRUE(Save("short").ok);
    EXPECT_EQ(ReadBytes(Path()), "short\r\n");
}

// The ledger is private, whatever the umask or the mode of a file saved before.
TEST_P(BothFiles, IsReadableAndWritableByItsOwnerOnly) {
    ASSERT_TRUE(Save("first").ok);
    EXPECT_EQ(FileMode(Path()), 0600);

    ASSERT_TRUE(QFile::setPermissions(Path(), QFile::ReadOwner | QFile::WriteOwner |
                                                  QFile::ReadGroup | QFile::ReadOther));
    ASSERT_TRUE(Save("second").ok);
    EXPECT_EQ(FileMode(Path()), 0600);
}

TEST_P(BothFiles, FolderInTheFilesPlaceFailsTheSaveAndStaysAsItWas) {
    ASSERT_TRUE(QDir(folder_.path()).mkdir(GetParam().name));
    ASSERT_TRUE(WriteBytes(Path() + "/inside", "kept"));

    const SaveResult result = Save("new");
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.error.kind, FileError::Kind::None);
    EXPECT_TRUE(QFileInfo(Path()).isDir());
    EXPECT_EQ(ReadBytes(Path() + "/inside"), "kept");
}

TEST(PlainCopy, StoresThePoundSignAsByte163) {
    QTemporaryDir folder;
    ASSERT_TRUE(OpenFiles(folder.path())->SavePlainCopy(ToWin1252(QStringLiteral("£12.50\r\n"))).ok);
    EXPECT_EQ(ReadBytes(PlainCopyPath(folder.path())), "\xA3"
                                                       "12.50\r\n\r\n");
}

// The unlock check drops the last two bytes whatever they are, so a load must return
// exactly what was saved, line end included.
TEST(LedgerFile, LoadsExactlyWhatWasSaved) {
    QTemporaryDir folder;
    const QByteArray bytes = Payload(MaxLedgerFileLength - 2, 9); // the longest, with CR LF
    ASSERT_TRUE(OpenFiles(folder.path())->SaveLedgerFile(bytes).ok);

    const LoadResult loaded = OpenFiles(folder.path())->LoadLedgerFile();
    EXPECT_EQ(loaded.status, LoadResult::Status::Loaded);
    EXPECT_EQ(loaded.bytes, bytes + "\r\n");
}

TEST(LedgerFile, MissingFileIsANewLedgerWithoutAnError) {
    QTemporaryDir folder;
    const LoadResult loaded = OpenFiles(folder.path())->LoadLedgerFile();
    EXPECT_EQ(loaded.status, LoadResult::Status::Missing);
    EXPECT_TRUE(loaded.bytes.isEmpty());
    EXPECT_EQ(loaded.error.kind, FileError::Kind::None);
}

TEST(LedgerFile, EmptyFileLoadsAsEmptyText) {
    QTemporaryDir folder;
    ASSERT_TRUE(WriteBytes(LedgerFilePath(folder.path()), {}));
    const LoadResult loaded = OpenFiles(folder.path())->LoadLedgerFile();
    EXPECT_EQ(loaded.status, LoadResult::Status::Loaded);
    EXPECT_TRUE(loaded.bytes.isEmpty());
}

} // namespace
