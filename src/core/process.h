// Facts about the running process: where its program file is, its id and name, and whether
// another process of a given id and name runs on this host; and its end.
#pragma once

#include <QByteArray>
#include <QString>
#include <cstdio>
#include <cstdlib>
#include <optional>

// The folder of the running program as the system's bytes; none when it cannot be told.
std::optional<QByteArray> ProgramFolder();
// A path of the system's bytes as people write it, for messages.
QString ShownPath(const QByteArray& path);

qint64 ProcessId();
QByteArray ProcessName();
bool ProcessRuns(qint64 pid, const QByteArray& name);

// Ends the process at once, its output flushed: no event loop, destructor, exit handler or
// close handler runs after it.
[[noreturn]] inline void EndProcess() {
    std::fflush(nullptr);
    std::_Exit(0);
}
