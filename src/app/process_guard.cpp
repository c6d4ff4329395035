#include "app/process_guard.h"

#include <QtGlobal>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#endif
#ifdef Q_OS_LINUX
#include <sys/prctl.h>
#endif
#ifdef Q_OS_WIN
#include <windows.h>

// Windows loads the program's own imports before main runs, from the program's folder first
// (a Downloads folder, where another may plant a library of the same name): twelve of them
// are not among its known DLLs. This tells it to take them from the system's folder alone.
// GNU ld 2.40 does not point the header at it: set_load_config (tools/) does after the link.
namespace {
constexpr IMAGE_LOAD_CONFIG_DIRECTORY64 SystemLibrariesOnly() {
    IMAGE_LOAD_CONFIG_DIRECTORY64 config{};
    config.Size = sizeof config;
    config.Reserved1 = LOAD_LIBRARY_SEARCH_SYSTEM32; // DependentLoadFlags, in newer headers
    return config;
}
} // namespace
extern "C"
    [[gnu::section(".ldcfg")]] constinit const IMAGE_LOAD_CONFIG_DIRECTORY64 _load_config_used =
        SystemLibrariesOnly();
#endif

void GuardProcess() {
#ifdef Q_OS_UNIX
    // A launcher may start us with a standard stream closed; the next file opened (the
    // display's connection, the ledger) would take its number and receive what is written
    // there. The lowest free number is the one open() returns.
    for (int stream = 0; stream <= 2; ++stream)
        if (::fcntl(stream, F_GETFD) == -1 && errno == EBADF) ::open("/dev/null", O_RDWR);
    const rlimit noCore = {0, 0};
    setrlimit(RLIMIT_CORE, &noCore);
    // Files are created owner-only from the start, a save's temporary one included.
    umask(077);
    // Writing past the limit then fails with EFBIG and takes the ordinary failed-save path.
    std::signal(SIGXFSZ, SIG_IGN);
    // A write to a closed pipe or socket then fails as an error instead of ending the run.
    std::signal(SIGPIPE, SIG_IGN);
#endif
#ifdef Q_OS_LINUX
    // Also stops other processes of the user from attaching to read the PIN.
    prctl(PR_SET_DUMPABLE, 0);
#endif
#ifdef Q_OS_WIN
    // Libraries only from the system's folder, never from the working or program folder
    // where another could be planted; a crash shows no box and leaves no dump of our own.
    ::SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
    ::SetDllDirectoryW(L"");
    ::SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
#endif
}
