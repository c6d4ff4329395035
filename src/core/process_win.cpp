#include "core/process.h"

#include <QDir>
#include <QString>

#include <string>
#include <windows.h>

namespace {
// The full path of a module of this process, or of another process's program; any length.
QString ProgramPath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = ::GetModuleFileNameW(nullptr, path.data(), DWORD(path.size()));
        if (length == 0) return {};
        if (length < path.size())
            return QDir::fromNativeSeparators(QString::fromWCharArray(path.data(), int(length)));
        path.resize(path.size() * 2);
    }
}
} // namespace

std::optional<QByteArray> ProgramFolder() {
    const QString program = ProgramPath();
    const qsizetype slash = program.lastIndexOf(QLatin1Char('/'));
    if (slash <= 0) return std::nullopt;
    return program.left(slash).toUtf8();
}

// The program's paths are UTF-8 on Windows (ProgramFolder, Folder), never the ANSI code
// page's bytes. A path in long form (a program started as \\?\C:\...) is shown plain, and a drive's
// bare name, which Windows reads as that drive's current folder, as its root.
QString ShownPath(const QByteArray& path) {
    QString shown = QDir::fromNativeSeparators(QString::fromUtf8(path));
    if (shown.startsWith(QLatin1String("//?/UNC/")))
        shown.replace(0, 8, QLatin1String("//"));
    else if (shown.startsWith(QLatin1String("//?/")))
        shown.remove(0, 4);
    if (shown.size() == 2 && shown.endsWith(QLatin1Char(':'))) shown += QLatin1Char('/');
    return shown;
}

qint64 ProcessId() {
    return qint64(::GetCurrentProcessId());
}

QByteArray ProcessName() {
    return ProgramPath().section(QLatin1Char('/'), -1).toUtf8();
}

bool ProcessRuns(qint64 pid, const QByteArray& name) {
    const HANDLE process = ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, DWORD(pid));
    if (!process) return ::GetLastError() == ERROR_ACCESS_DENIED; // another account's, alive
    DWORD code = 0;
    std::wstring path(32768, L'\0');
    DWORD length = DWORD(path.size());
    const bool alive = ::GetExitCodeProcess(process, &code) && code == STILL_ACTIVE;
    const bool named = ::QueryFullProcessImageNameW(process, 0, path.data(), &length) &&
                       QDir::fromNativeSeparators(QString::fromWCharArray(path.data(), int(length)))
                               .section(QLatin1Char('/'), -1)
                               .compare(QString::fromUtf8(name), Qt::CaseInsensitive) == 0;
    ::CloseHandle(process);
    return alive && named;
}
