#include "core/ledger_file_format.h"
#include "core/ledger_files.h"
#include "core/process.h"
#include "core/win1252.h"
#include "support/file_helpers.h"

#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <atomic>
#include <gtest/gtest.h>
#include <thread>

namespace {

struct StoredFile {
    const char* name;
    SaveMethod save;
    QString (*path)(const QString&);
};

const StoredFile kLedgerFile{LedgerFileName, &LedgerFiles::SaveLedgerFile, LedgerFilePath};
const StoredFile kPlainCopy{PlainCopyFileName, &LedgerFiles::SavePlainCopy, PlainCopyPath};

class BothFiles : public ::testing::TestWithParam<StoredFile> {
  protected:
    QTemporaryDir folder_;
    QString Path() const { return GetParam().path(folder_.path()); }
    FileWrite Save(const QByteArray& bytes) const {
        return SaveIn(folder_.path(), GetParam().save, bytes);
    }
};

INSTANTIATE_TEST_SUITE_P(Storage, BothFiles, ::testing::Values(kLedgerFile, kPlainCopy),
                         [](const auto& info) {
                             return std::string(info.param.save == &LedgerFiles::SaveLedgerFile
                                                    ? "LedgerFile"
                                                    : "PlainCopy");
                         });

// The bytes untranslated, lone CR and LF and all 256 values included.
TEST_P(BothFiles, HoldsTheBytesUnderItsOwnName) {
    const QByteArray bytes = Payload(1000, 3) + "line\r\nlone\rcr\nlf";
    ASSERT_TRUE(Save(bytes).InPlace());

    EXPECT_EQ(QDir(folder_.path()).entryList(QDir::Files), QStringList{GetParam().name});
    EXPECT_EQ(ReadBytes(Path()), bytes);
}

TEST_P(BothFiles, SecondSaveReplacesTheFirstWhole) {
    ASSERT_TRUE(Save(Payload(5000, 1)).InPlace());
    ASSERT_TRUE(Save("short").InPlace());
    EXPECT_EQ(ReadBytes(Path()), "short");
}

TEST_P(BothFiles, FolderInTheFilesPlaceFailsTheSaveAndStaysAsItWas) {
    ASSERT_TRUE(QDir(folder_.path()).mkdir(GetParam().name));
    ASSERT_TRUE(WriteBytes(Path() + "/inside", "kept"));

    const FileWrite result = Save("new");
    EXPECT_FALSE(result.InPlace());
    EXPECT_NE(result.error.kind, FileError::Kind::None);
    EXPECT_TRUE(QFileInfo(Path()).isDir());
    EXPECT_EQ(ReadBytes(Path() + "/inside"), "kept");
}

#ifdef _WIN32
// Windows replaces no read-only file: the save says so at once, and leaves nothing beside it.
TEST_P(BothFiles, AReadOnlyFileIsSaidToBeSoAtOnceAndStaysAsItWas) {
    ASSERT_TRUE(WriteBytes(Path(), "old") && QFile::setPermissions(Path(), QFile::ReadOwner));
    const auto files = OpenFiles(folder_.path());
    files->LoadLedgerFile(); // a save of the ledger then checks what it replaces
    QElapsedTimer timer;
    timer.start();
    EXPECT_EQ((*files.*GetParam().save)("new").error.kind, FileError::Kind::ReadOnly);
    EXPECT_LT(timer.elapsed(), 250) << "tried again";
    EXPECT_EQ(ReadBytes(Path()), "old");
    EXPECT_EQ(QDir(folder_.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList{GetParam().name});
}

// A program started by its long path (\\?\...) is handed that form, and one at a drive's
// root the bare drive, which Windows reads as that drive's current folder.
TEST(LedgerFile, PathsAreShownAsPeopleWriteThem) {
    const struct {
        QByteArray given;
        QString shown;
    } paths[] = {
        {QStringLiteral("C:/Kassenbücher Ωμέγα").toUtf8(), QStringLiteral("C:/Kassenbücher Ωμέγα")},
        {"\\\\?\\C:\\Users\\ann", "C:/Users/ann"},
        {"//?/UNC/server/share/ann", "//server/share/ann"},
        {"E:", "E:/"},
    };
    for (const auto& path : paths)
        EXPECT_EQ(ShownPath(path.given), path.shown) << path.given.constData();
}
#endif

// A second copy, or a sync tool, that wrote the file since it was read keeps its file: the
// check is made as the new file takes the name, so two saves at the same moment cannot both
// replace the one they read.
TEST(LedgerFile, OnlyTheFileAsReadIsReplacedEvenBySavesAtTheSameMoment) {
    QTemporaryDir folder;
    ASSERT_TRUE(WriteBytes(LedgerFilePath(folder.path()), "read\r\n"));
    for (int round = 0; round < 200; ++round) {
        ASSERT_TRUE(WriteBytes(LedgerFilePath(folder.path()), "read\r\n"));
        const auto one = OpenFiles(folder.path()), two = OpenFiles(folder.path());
        one->LoadLedgerFile();
        two->LoadLedgerFile();
        std::atomic<int> ready = 0;
        FileWrite first, second;
        const auto save = [&ready](LedgerFiles& files, const char* bytes, FileWrite& result) {
            for (++ready; ready < 2;) {
            }
            result = files.SaveLedgerFile(bytes);
        };
        std::thread racing(save, std::ref(*two), "two", std::ref(second));
        save(*one, "one", first);
        racing.join();
        ASSERT_NE(first.InPlace(), second.InPlace()) << "round " << round;
        EXPECT_EQ((first.InPlace() ? second : first).status, FileWrite::Status::Changed) << round;
        EXPECT_EQ(ReadBytes(LedgerFilePath(folder.path())), first.InPlace() ? "one" : "two");
        EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
    }
}

// What a run that cannot ask keeps beside a changed file never takes another file's place.
TEST(LedgerFile, KeptLedgersNeverReplaceAnother) {
    QTemporaryDir folder;
    const QString earlier = LedgerFilePath(folder.path()) + ".kept-1";
    ASSERT_TRUE(WriteBytes(earlier, "an earlier run's"));
    // Dated copies the user made, one of a number past any integer: no ceiling to run into.
    for (const char* dated : {".kept-20241201", ".kept-99999999999999999999999"})
        ASSERT_TRUE(WriteBytes(LedgerFilePath(folder.path()) + dated, "the user's"));
    const auto run = OpenFiles(folder.path()), other = OpenFiles(folder.path());
    ASSERT_TRUE(run->SaveLedgerBeside("first", KeptFile::Why::Changed).InPlace());
    const QString otherKept = other->SaveLedgerBeside("other", KeptFile::Why::Unwritten).kept;
    const QString kept = run->SaveLedgerBeside("later", KeptFile::Why::Changed).kept;
    ASSERT_FALSE(kept.isEmpty() || otherKept.isEmpty()) << "a run's own is brought up to date";
    EXPECT_EQ(ReadBytes(earlier), "an earlier run's");
    EXPECT_EQ(ReadBytes(kept), "later");
    EXPECT_EQ(ReadBytes(otherKept), "other");
    QStringList listed;
    for (const KeptFile& file : run->KeptFiles())
        listed.append(file.path);
    EXPECT_EQ(listed, (QStringList{earlier, kept, LedgerFilePath(folder.path()) + ".kept-20241201",
                                   otherKept}));
    EXPECT_TRUE(otherKept.endsWith(".kept-3.unwritten")) << qPrintable(otherKept);
}

// The unlock check reads the line end too, so a load must return exactly what was saved.
TEST(LedgerFile, LoadsExactlyWhatWasSaved) {
    QTemporaryDir folder;
    const QByteArray bytes = Payload(MaxLedgerFileLength, 9); // the longest
    ASSERT_TRUE(OpenFiles(folder.path())->SaveLedgerFile(bytes).InPlace());

    const FileRead loaded = OpenFiles(folder.path())->LoadLedgerFile();
    EXPECT_EQ(loaded.status, FileRead::Status::Loaded);
    EXPECT_EQ(loaded.bytes, bytes);
}

TEST(LedgerFile, MissingFileIsANewLedgerWithoutAnError) {
    QTemporaryDir folder;
    const FileRead loaded = OpenFiles(folder.path())->LoadLedgerFile();
    EXPECT_EQ(loaded.status, FileRead::Status::Missing);
    EXPECT_TRUE(loaded.bytes.isEmpty());
    EXPECT_EQ(loaded.error.kind, FileError::Kind::None);
}

TEST(LedgerFile, EmptyFileLoadsAsEmptyText) {
    QTemporaryDir folder;
    ASSERT_TRUE(WriteBytes(LedgerFilePath(folder.path()), {}));
    const FileRead loaded = OpenFiles(folder.path())->LoadLedgerFile();
    EXPECT_EQ(loaded.status, FileRead::Status::Loaded);
    EXPECT_TRUE(loaded.bytes.isEmpty());
}

} // namespace
