// Raw file access for the storage tests, bypassing the code under test.
#pragma once

#include "core/file_names.h"
#include "core/ledger_files.h"
#include "core/ledger_store.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <memory>

#include <filesystem>
#include <sys/stat.h>

inline QByteArray ReadBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline bool WriteBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// The program's files in a folder, by their names alone (links not followed).
inline QString LedgerFilePath(const QString& folder) {
    return folder + "/" + LedgerFileName;
}
inline QString PlainCopyPath(const QString& folder) {
    return folder + "/" + PlainCopyFileName;
}
inline QString LedgerLockPath(const QString& folder) {
    return LedgerFilePath(folder) + LockSuffix;
}

// Permission bits, or -1 when the file is not there.
inline int FileMode(const QString& path) {
    struct stat info {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? int(info.st_mode & 07777) : -1;
}

// A second name for the file at path.
inline bool HardLink(const QString& path, const QString& name) {
    std::error_code failed;
    std::filesystem::create_hard_link(path.toStdWString(), name.toStdWString(), failed);
    return !failed;
}

// The folder at path, held as a run of the program holds its own.
inline std::unique_ptr<LedgerFiles> OpenFiles(const QString& path) {
    return std::move(LedgerFiles::Open(QFile::encodeName(path)).value);
}

// The run's ledger in the folder at path, not yet locked or opened.
inline std::unique_ptr<LedgerStore> OpenStore(const QString& path) {
    return std::make_unique<LedgerStore>(OpenFiles(path));
}

// One of the two saves, by a run that holds folder.
using SaveMethod = FileWrite (LedgerFiles::*)(const QByteArray&);
inline FileWrite SaveIn(const QString& folder, SaveMethod save, const QByteArray& bytes) {
    return (*OpenFiles(folder).*save)(bytes);
}

// Every byte value, in an order that depends on seed, so two payloads differ throughout.
inline QByteArray Payload(int size, int seed) {
    QByteArray bytes(size, '\0');
    for (int i = 0; i < size; ++i)
        bytes[i] = char((i * 7 + seed) % 256);
    return bytes;
}
