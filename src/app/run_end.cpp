#include "app/run_end.h"

#include "app/standard_error.h"
#include "core/ledger_store.h"
#include "core/process.h"
#include "gui/messages.h"

#include <QGuiApplication>
#include <QSessionManager>
#include <cstdio>
#include <cstdlib>

#ifdef Q_OS_WIN
#include <windows.h>
#endif
#ifdef Q_OS_UNIX
#include <QSocketNotifier>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>
#endif

namespace {
RunEnd* current = nullptr;

// Qt calls exit() when the display connection breaks; this runs before the process goes.
extern "C" void OnExit() {
    if (current) current->SaveAndRelease();
}

// A stop signal or a console's event: the run installed saves and ends.
[[noreturn]] void EndOnRequest() {
    if (current) current->SaveAndEnd();
    EndProcess(); // no run installed: nothing to save
}

#ifdef Q_OS_UNIX
int signalPipe[2] = {-1, -1};

// Every signal whose default would end the process unsaved. Those that report a crash
// (SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT, SIGTRAP, SIGSYS) keep their default: a damaged
// process must not write the ledger. SIGPIPE and SIGXFSZ are ignored (GuardProcess).
std::vector<int> StopSignals() {
    std::vector<int> stops = {SIGINT,  SIGQUIT,   SIGTERM, SIGHUP, SIGUSR1, SIGUSR2,
                              SIGALRM, SIGVTALRM, SIGPROF, SIGIO,  SIGXCPU};
#ifdef SIGPWR
    stops.push_back(SIGPWR);
#endif
#ifdef SIGSTKFLT
    stops.push_back(SIGSTKFLT);
#endif
#ifdef SIGRTMIN
    // The C library keeps the real-time signals it uses below SIGRTMIN.
    for (int realTime = SIGRTMIN; realTime <= SIGRTMAX; ++realTime)
        stops.push_back(realTime);
#endif
    return stops;
}

// Only async-signal-safe work here: the event loop picks the byte up.
extern "C" void OnSignal(int) {
    const char byte = 1;
    [[maybe_unused]] const auto written = ::write(signalPipe[1], &byte, 1);
}

void WatchStopSignals(QObject* owner) {
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signalPipe) != 0) return;
    auto* notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, owner);
    QObject::connect(notifier, &QSocketNotifier::activated, owner, [] {
        char byte;
        [[maybe_unused]] const auto got = ::read(signalPipe[0], &byte, 1);
        EndOnRequest();
    });
    struct sigaction action = {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int stop : StopSignals())
        sigaction(stop, &action, nullptr);
}
#endif

#ifdef Q_OS_WIN
// Ctrl+C, Ctrl+Break and the console closing, when started from one. The system calls this on
// a thread of its own and ends the process when it returns: the save runs on the program's
// thread, which this waits for.
BOOL WINAPI OnConsoleEvent(DWORD) {
    QMetaObject::invokeMethod(qApp, EndOnRequest, Qt::BlockingQueuedConnection);
    return TRUE;
}
#endif

// The handlers of the process, for whichever run is installed; set up once, after the
// QApplication exists.
void WatchForEndings() {
    auto* app = qGuiApp;
    // A checkpoint ("save session") is not an ending: save, and let the user go on.
    QObject::connect(app, &QGuiApplication::commitDataRequest, app, [](QSessionManager&) {
        if (current) current->SaveQuietly();
    });
    std::atexit(OnExit);
#ifdef Q_OS_UNIX
    WatchStopSignals(app);
#endif
#ifdef Q_OS_WIN
    if (::AttachConsole(ATTACH_PARENT_PROCESS)) ::SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
#endif
}
} // namespace

RunEnd::RunEnd(LedgerStore& store) : store(store) {}

RunEnd::~RunEnd() {
    if (current == this) current = nullptr;
}

void RunEnd::Install() {
    static const bool watching = (WatchForEndings(), true);
    Q_UNUSED(watching);
    current = this;
}

void RunEnd::SaveQuietly() {
    using Status = LedgerStore::Saved::Status;
    const LedgerStore::Saved saved = store.Save(LedgerStore::IfChanged::KeepBoth);
    const auto tell = [](const QString& line) { std::fputs(qPrintable(line), stderr); };
    switch (saved.status) {
    case Status::NothingToSave:
    case Status::Changed:
    case Status::Unchecked:
        break;
    case Status::Written:
        if (!saved.otherKept.isEmpty())
            tell(StandardError::QuietSaveDisplaced.arg(store.LedgerShown(), saved.otherKept,
                                                       Box::Why(saved.error)));
        break;
    case Status::Kept:
        tell(StandardError::QuietSaveKept.arg(store.LedgerShown(), saved.keptAt));
        break;
    case Status::KeptUnchecked:
        tell(StandardError::QuietSaveUnchecked.arg(store.LedgerShown(), saved.keptAt,
                                                   Box::Why(saved.error)));
        break;
    case Status::KeptUnwritten:
        tell(StandardError::QuietSaveUnwritten.arg(store.LedgerShown(), saved.keptAt,
                                                   Box::Why(saved.error)));
        break;
    case Status::Failed:
        tell(StandardError::QuietSaveFailed.arg(Box::Why(saved.error)));
        break;
    }
    if (saved.notDurable) tell(StandardError::QuietSaveNotDurable.arg(Box::Why(*saved.notDurable)));
}

void RunEnd::SaveAndRelease() {
    SaveQuietly();
    store.Close();
}

void RunEnd::SaveAndEnd() {
    SaveAndRelease();
    EndProcess();
}
