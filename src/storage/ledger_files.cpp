#include "ledger_files.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <filesystem>
#include <system_error>

namespace {

LoadResult Unreadable(const QString& why) {
    return {LoadResult::Status::Unreadable, {}, why};
}

// The one writer of both files: the old file is replaced only by a complete new one.
SaveResult WriteWithLineEnd(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    // Unbuffered, so that a disk filling up fails the write itself: Qt 6.4 can lose a failed
    // flush of its own buffer inside commit() and then replace the old file with an empty one.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return {false, file.errorString()};
    // The ledger is private; also tightens a file left by an older save.
    if (!file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner))
        return {false, file.errorString()};
    const QByteArray content = bytes + "\r\n";
    // A short write carries no error; the next write reports why the disk refused.
    // Returning without commit() discards the new file and keeps the old one.
    for (qint64 done = 0; done < content.size();) {
        const qint64 written = file.write(content.constData() + done, content.size() - done);
        if (written <= 0) return {false, file.errorString()};
        done += written;
    }
    if (!file.commit()) return {false, file.errorString()};
    return {true, {}};
}

} // namespace

QString LedgerFilePath(const QString& folder) {
    return folder + "/QcEcV3.1.Txt";
}

QString PlainCopyPath(const QString& folder) {
    return folder + "/QcUcV3.1.Txt";
}

LoadResult LoadLedgerFile(const QString& folder) {
    const QString path = LedgerFilePath(folder);
    // Only a file that is really absent means a new ledger; a folder that cannot be searched
    // must not pass for one, or the next save would overwrite the real ledger.
    std::error_code failure;
    const auto type = std::filesystem::status(QFileInfo(path).filesystemFilePath(), failure).type();
    if (type == std::filesystem::file_type::not_found) return {LoadResult::Status::Missing, {}, {}};
    if (type == std::filesystem::file_type::none)
        return Unreadable(QString::fromStdString(failure.message()));
    if (type == std::filesystem::file_type::directory)
        return Unreadable(QStringLiteral("A folder has the name of the ledger file."));

    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return Unreadable(file.errorString());
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) return Unreadable(file.errorString());
    return {LoadResult::Status::Loaded, bytes, {}};
}

SaveResult SaveLedgerFile(const QString& folder, const QByteArray& enciphered) {
    return WriteWithLineEnd(LedgerFilePath(folder), enciphered);
}

SaveResult SavePlainCopy(const QString& folder, const QByteArray& plain) {
    return WriteWithLineEnd(PlainCopyPath(folder), plain);
}
