#include "core/process.h"

#include <QFile>

#include <cerrno>
#include <csignal>
#include <unistd.h>

namespace {
QByteArray ReadLink(const char* path) {
    QByteArray target(4096, '\0');
    const ssize_t length = ::readlink(path, target.data(), size_t(target.size()));
    return length > 0 ? target.left(length) : QByteArray();
}
} // namespace

std::optional<QByteArray> ProgramFolder() {
    // The link holds the path as bytes; a name that is not valid text stays as it is.
    const QByteArray program = ReadLink("/proc/self/exe");
    const qsizetype slash = program.lastIndexOf('/');
    if (!program.startsWith('/') || slash < 0) return std::nullopt;
    return slash == 0 ? QByteArray("/") : program.left(slash);
}

QString ShownPath(const QByteArray& path) {
    return QFile::decodeName(path);
}

qint64 ProcessId() {
    return qint64(::getpid());
}

QByteArray ProcessName() {
    return ReadLink("/proc/self/exe").split('/').last();
}

bool ProcessRuns(qint64 pid, const QByteArray& name) {
    if (pid <= 0 || (::kill(pid_t(pid), 0) != 0 && errno != EPERM)) return false;
    // A pid taken over by another program since: its name tells, where it can be read.
    QFile comm(QStringLiteral("/proc/%1/comm").arg(pid));
    if (!comm.open(QIODevice::ReadOnly)) return true;
    return name.startsWith(comm.readAll().trimmed());
}
