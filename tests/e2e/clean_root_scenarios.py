"""The portable program unpacked in the clean root, where no Qt is installed: the whole runs
of the normal build, what it loads from where, and its menu entry."""

import os
import re
import stat
import subprocess

from program import state
from scenarios import (bookings_plain_copy_close_reopen, first_run_and_close,
                       second_copy_refused, wrong_pin)
from trial import ends
from user import PIN_WINDOW

DESIGN_FONTS = ["fonts/LiberationSans-Bold.ttf", "fonts/LiberationMono-Bold.ttf"]
LIBRARY = re.compile(r"\.so(\.[0-9]+)*$")
MENU_ENTRY = ".local/share/applications/net.quillcount.Quillcount.desktop"
MENU_ICON = ".local/share/icons/hicolor/scalable/apps/net.quillcount.Quillcount.svg"
# Every character the menu entry's Exec key has to quote.
AWKWARD_NAME = 'My "ledger" $HOME `id` 100% back\\slash'
STRING_ESCAPES = {"s": " ", "n": "\n", "t": "\t", "r": "\r", "\\": "\\"}
TOOL_WAIT = 60


def mapped_files(pid):
    with open(f"/proc/{pid}/maps") as f:
        return {fields[5] for fields in (line.rstrip("\n").split(maxsplit=5) for line in f)
                if len(fields) == 6 and fields[5].startswith("/")}


def tree(top):
    """Every path under top with what it is: enough to tell a change."""
    return {os.path.join(folder, name): state(os.path.join(folder, name))
            for folder, folders, files in os.walk(top) for name in folders + files}


def exec_program(value):
    """The one quoted argument of an Exec value, read as a desktop reads it: the string's
    escapes first, then the quoting's, then the doubled %."""
    text = re.sub(r"\\([snrt\\])", lambda m: STRING_ESCAPES[m[1]], value)
    quoted = re.fullmatch(r'"((?:[^"`$\\]|\\["`$\\])*)"', text)
    assert quoted, f"not one argument quoted as a desktop reads it: {value}"
    return re.sub(r"\\(.)", r"\1", quoted[1]).replace("%%", "%")


def loads_from_system_only_its_list(t):
    """The design's fonts, which the root lacks, come from the folder, and every library
    from outside it belongs to a package of the system list packed beside the tarball (the
    root holds others: Mesa's, and ICU for Mesa's XML library)."""
    folder = t.folder()
    user = t.start(folder)
    window = user.window(PIN_WINDOW)
    mapped = mapped_files(user.run.pid)
    assert {folder.file(font) for font in DESIGN_FONTS} <= mapped, "fonts not from the folder"
    with open(t.binary.removesuffix(".tar.gz") + ".system-packages") as f:
        listed = set(f.read().split())
    owners = t.launcher.owners()
    stray = {p: owners.get(p) for p in mapped if LIBRARY.search(p)
             and not p.startswith(folder.path + os.sep) and owners.get(p) not in listed}
    assert not stray, f"loaded from outside the folder and the list: {stray}"
    user.close(window)
    ends(user, folder)


def menu_entry_in_home_only(t):
    """add-to-menu, run in the root, writes a valid menu entry starting the launcher,
    whatever the folder's name holds, and its icon, in the home and nowhere else."""
    folder = t.folder(name=AWKWARD_NAME)
    home = os.path.join(folder.base, "home")  # removed with the folder
    os.mkdir(home)
    env = dict(t.env, HOME=t.launcher.inside(home), XDG_DATA_HOME="")
    before = tree(t.launcher.path)
    subprocess.run(t.launcher.command(folder.file("add-to-menu")), env=env, check=True,
                   timeout=TOOL_WAIT)
    after = tree(t.launcher.path)
    written = {p for p, (mode, *_) in after.items() if p not in before and not stat.S_ISDIR(mode)}
    assert written == {os.path.join(home, MENU_ENTRY), os.path.join(home, MENU_ICON)}, written
    assert {p for p in before if after.get(p) != before[p]} <= {home}, "changed outside home"
    entry = os.path.join(home, MENU_ENTRY)
    subprocess.run(["desktop-file-validate", entry], check=True, timeout=TOOL_WAIT)
    with open(entry) as f:
        (value,) = [line[len("Exec="):].rstrip("\n") for line in f if line.startswith("Exec=")]
    assert exec_program(value) == t.launcher.inside(folder.file(folder.program)), value


CLEAN_ROOT_SCENARIOS = [
    first_run_and_close,
    bookings_plain_copy_close_reopen,  # a booking, a close and a reopen
    wrong_pin,
    second_copy_refused,
    loads_from_system_only_its_list,
    menu_entry_in_home_only,
]
