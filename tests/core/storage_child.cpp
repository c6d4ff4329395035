// Runs one storage operation in a process of its own, for the tests:
//   storage_child save-loop <folder> <file A> <file B>   saves A and B in turn until killed
//   storage_child as-nobody load <folder>                prints the load status and why
//   storage_child as-nobody save <folder>                prints "saved" or "failed" and why
//   storage_child as-nobody lock <folder>                prints "held", "open", "other account"...
//   storage_child hold-lock <folder> [own-pids]          prints "held <pid>" or "open <pid>", then
//                                                        holds the lock until its input ends;
//                                                        own-pids: in a pid namespace of its own
//   storage_child folder-sync-fails <errno> <folder>     saves while syncing a folder fails
#include "core/ledger_files.h"
#include "support/file_helpers.h"

#include <QFile>

#include <cstdio>
#include <cstdlib>
#include <grp.h>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <pwd.h>
#include <sched.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr int kCannotDropRights = 77;

QByteArray ReadAll(const char* path) {
    QFile file(QString::fromLocal8Bit(path));
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.readAll();
}

int SaveLoop(const QString& folder, const QByteArray& first, const QByteArray& second) {
    for (bool announced = false;; announced = true) {
        for (const QByteArray* bytes : {&first, &second}) {
            const FileWrite result = OpenFiles(folder)->SaveLedgerFile(*bytes);
            if (!result.InPlace()) {
                std::fprintf(stderr, "%s\n", qPrintable(result.error.system));
                return 1;
            }
        }
        if (!announced) {
            std::puts("saving");
            std::fflush(stdout);
        }
    }
}

// Root may read and write everything, so refusals are tried as an ordinary user.
bool DropRootRights() {
    if (geteuid() != 0) return true;
    const passwd* nobody = getpwnam("nobody");
    return nobody && setgroups(0, nullptr) == 0 && setgid(nobody->pw_gid) == 0 &&
           setuid(nobody->pw_uid) == 0 && geteuid() != 0;
}

int AsNobody(const QString& operation, const QString& folder) {
    if (!DropRootRights()) return kCannotDropRights;
    const std::unique_ptr<LedgerFiles> files = OpenFiles(folder);
    if (!files) {
        std::printf("unreadable\nthe folder cannot be opened\n");
    } else if (operation == QLatin1String("lock")) {
        static const char* const says[] = {"held",        "open",          "in use",
                                           "uncheckable", "other account", "not a file",
                                           "linked",      "unopened",      "not created"};
        std::printf("%s\n", says[int(files->TakeLock().status)]);
    } else if (operation == QLatin1String("load")) {
        const FileRead result = files->LoadLedgerFile();
        const char* status = result.status == FileRead::Status::Loaded    ? "loaded"
                             : result.status == FileRead::Status::Missing ? "missing"
                                                                          : "unreadable";
        std::printf("%s\n%s\n", status, qPrintable(result.error.system));
    } else {
        const FileWrite result = files->SaveLedgerFile("new");
        std::printf("%s\n%s\n", result.InPlace() ? "saved" : "failed",
                    qPrintable(result.error.system));
    }
    return 0;
}

int HoldLock(const QString& folder, bool ownPids) {
    if (ownPids) {
        if (::unshare(CLONE_NEWPID) != 0) return kCannotDropRights;
        const pid_t child = ::fork(); // the first process of the new namespace, pid 1
        if (child > 0) {
            int status = 0;
            ::waitpid(child, &status, 0);
            return WEXITSTATUS(status);
        }
    }
    const std::unique_ptr<LedgerFiles> files = OpenFiles(folder);
    const bool held = files->TakeLock().status == LockOutcome::Status::Held;
    std::printf("%s %d\n", held ? "held" : "open", int(::getpid()));
    std::fflush(stdout);
    char byte;
    while (::read(0, &byte, 1) > 0) {
    }
    files->ReleaseLock();
    return 0;
}

// Every fsync() fails with the given error, as a file system that cannot sync a folder
// answers; the file's own data goes to the disk by fdatasync(), which still works.
int SaveWhileFolderSyncFails(int error, const QString& folder) {
    sock_filter filter[] = {
        BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, __NR_fsync, 0, 1),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | (__u32(error) & SECCOMP_RET_DATA)),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
    };
    const sock_fprog program{sizeof filter / sizeof filter[0], filter};
    if (::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) != 0 ||
        ::prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &program) != 0)
        return kCannotDropRights;
    const FileWrite result = OpenFiles(folder)->SaveLedgerFile("new");
    static const char* const says[] = {"written", "not durable", "changed", "unchecked", "failed"};
    std::printf("%s\n%s\n", says[int(result.status)], qPrintable(result.error.system));
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    const QString mode = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    if (mode == QLatin1String("save-loop") && argc == 5)
        return SaveLoop(QString::fromLocal8Bit(argv[2]), ReadAll(argv[3]), ReadAll(argv[4]));
    if (mode == QLatin1String("as-nobody") && argc == 4)
        return AsNobody(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));
    if (mode == QLatin1String("hold-lock") && argc >= 3)
        return HoldLock(QString::fromLocal8Bit(argv[2]), argc == 4);
    if (mode == QLatin1String("folder-sync-fails") && argc == 4)
        return SaveWhileFolderSyncFails(std::atoi(argv[2]), QString::fromLocal8Bit(argv[3]));
    std::fprintf(stderr,
                 "usage: storage_child save-loop|as-nobody|hold-lock|folder-sync-fails ...\n");
    return 2;
}
