// Runs one storage operation in a process of its own, for the tests:
//   storage_child save-loop <folder> <file A> <file B>   saves A and B in turn until killed
//   storage_child as-nobody load <folder>                prints the load status and why
//   storage_child as-nobody save <folder>                prints "saved" or "failed" and why
//   storage_child as-nobody lock <folder>                prints "held", "taken", "other account"...
#include "core/ledger_files.h"
#include "support/file_helpers.h"

#include <QFile>

#include <cstdio>
#include <grp.h>
#include <pwd.h>
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
            const SaveResult result = OpenFiles(folder)->SaveLedgerFile(*bytes);
            if (!result.ok) {
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
        static const char* const says[] = {"held", "unlocked", "taken", "other account", "not a file"};
        std::printf("%s\n", says[int(files->TakeLock().status)]);
    } else if (operation == QLatin1String("load")) {
        const LoadResult result = files->LoadLedgerFile();
        const char* status = result.status == LoadResult::Status::Loaded    ? "loaded"
                             : result.status == LoadResult::Status::Missing ? "missing"
                                                                            : "unreadable";
        std::printf("%s\n%s\n", status, qPrintable(result.error.system));
    } else {
        const SaveResult result = files->SaveLedgerFile("new");
        std::printf("%s\n%s\n", result.ok ? "saved" : "failed", qPrintable(result.error.system));
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    const QString mode = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    if (mode == QLatin1String("save-loop") && argc == 5)
        return SaveLoop(QString::fromLocal8Bit(argv[2]), ReadAll(argv[3]), ReadAll(argv[4]));
    if (mode == QLatin1String("as-nobody") && argc == 4)
        return AsNobody(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));
    std::fprintf(stderr, "usage: storage_child save-loop|as-nobody ...\n");
    return 2;
}
