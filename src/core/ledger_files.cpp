#include "core/ledger_files.h"

#include "core/file_access.h"
#include "core/ledger_file_format.h"

QString LedgerFilePath(const QString& folder) {
    return folder + "/QcEcV3.1.Txt";
}

QString PlainCopyPath(const QString& folder) {
    return folder + "/QcUcV3.1.Txt";
}

QString LedgerLockPath(const QString& folder) {
    return LedgerFilePath(folder) + ".lock";
}

LoadResult LoadLedgerFile(const QString& folder) {
    return ReadRegularFile(LedgerFilePath(folder), MaxLedgerFileLength);
}

// Both files end with CR LF.
SaveResult SaveLedgerFile(const QString& folder, const QByteArray& enciphered) {
    return ReplaceFile(LedgerFilePath(folder), enciphered + "\r\n");
}

SaveResult SavePlainCopy(const QString& folder, const QByteArray& plain) {
    return ReplaceFile(PlainCopyPath(folder), plain + "\r\n");
}
