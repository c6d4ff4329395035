#include "core/process.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

std::optional<QByteArray> ProgramFolder() {
    const QString folder = QCoreApplication::applicationDirPath();
    if (folder.isEmpty()) return std::nullopt;
    return QFile::encodeName(folder);
}

qint64 ProcessId() {
    return QCoreApplication::applicationPid();
}

QByteArray ProcessName() {
    return QFileInfo(QCoreApplication::applicationFilePath()).fileName().toUtf8();
}

// Without a way to ask after another process, a lock of this host is taken to be alive.
bool ProcessRuns(qint64, const QByteArray&) {
    return true;
}
