"""A Debian root with the system's libraries and no Qt (scripts/linux makes it), where the
portable program runs through chroot; the X display outside is reached through its
abstract socket, which a chroot does not hide."""

import os

from processes import Started

# /proc, where the program finds its own folder, is mounted in a mount namespace of the
# run's own, gone with it however it ends; then the program takes the process over, so
# that the run's id is the program's.
ENTER = 'root=$1; shift; mount -t proc proc "$root/proc" && exec chroot "$root" "$@"'


class CleanRoot(Started):
    def __init__(self, env, path):
        self.env = env
        self.path = os.path.abspath(path)
        self.temp = os.path.join(self.path, "tmp")  # where the program's folders go

    def start(self):
        if not os.path.isdir(os.path.join(self.path, "var", "lib", "dpkg", "info")):
            raise RuntimeError(f"{self.path} is not a Debian root")

    def __exit__(self, *exc):
        pass

    def inside(self, path):
        """path, a file in the root, as the programs in the root see it."""
        return os.path.join("/", os.path.relpath(path, self.path))

    def command(self, program, *args):
        """The command that starts program, a file in the root, in it."""
        return ["unshare", "--mount", "--", "sh", "-c", ENTER, "enter", self.path,
                self.inside(program), *args]

    def owners(self):
        """The package each file of the root was installed by, by its real path outside."""
        info = os.path.join(self.path, "var", "lib", "dpkg", "info")
        owners = {}
        for name in os.listdir(info):
            if name.endswith(".list"):
                with open(os.path.join(info, name)) as f:
                    for line in f:
                        path = os.path.realpath(self.path + line.rstrip("\n"))
                        owners[path] = name[:-len(".list")].split(":")[0]
        return owners
