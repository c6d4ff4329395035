"""What a screen reader learns from the accessibility bus: the program's windows and
controls with their roles, names, labels and texts, and the focus moves it announces."""

import os
import time

WAIT = 20  # generous: a sanitizer build registers its windows slowly
SETTLE = 0.3  # focus events still on their way after the last one


class ScreenReader:
    def __init__(self, env):
        # The client library finds the buses through the environment when first used.
        os.environ.update(DISPLAY=env["DISPLAY"],
                          DBUS_SESSION_BUS_ADDRESS=env["DBUS_SESSION_BUS_ADDRESS"])
        import pyatspi
        from gi.repository import GLib
        self.atspi = pyatspi
        self.events = GLib.MainContext.default()
        self.focused = []
        pyatspi.Registry.registerEventListener(self._on_focus, "object:state-changed:focused")

    def _on_focus(self, event):
        if event.detail1:
            self.focused.append(event.source.name)

    def _pump(self):
        while self.events.iteration(False):
            pass

    def until(self, found, what):
        """What found() gives once it gives something."""
        deadline = time.monotonic() + WAIT
        while True:
            self._pump()
            result = found()
            if result:
                return result
            if time.monotonic() > deadline:
                raise AssertionError(f"the screen reader found no {what} within {WAIT} s")
            time.sleep(0.05)

    def window(self, pid, caption):
        """The showing top-level window of process pid named caption."""
        def showing():
            for app in self.atspi.Registry.getDesktop(0):
                if app is not None and app.get_process_id() == pid:
                    for window in app:
                        if window.name == caption and self.showing(window):
                            return window
            return None
        return self.until(showing, f"window {caption!r}")

    def control(self, window, role, name):
        """The control of window with role and name."""
        found = self.atspi.findDescendant(
            window, lambda a: a.getRoleName() == role and a.name == name)
        assert found is not None, f"no {role} named {name!r} in {window.name!r}"
        return found

    def showing(self, accessible):
        return accessible.getState().contains(self.atspi.STATE_SHOWING)

    def labels(self, accessible):
        """Names of the labels that describe accessible."""
        return [relation.getTarget(i).name for relation in accessible.getRelationSet()
                if relation.getRelationType() == self.atspi.RELATION_LABELLED_BY
                for i in range(relation.getNTargets())]

    def text(self, accessible):
        return accessible.queryText().getText(0, -1)

    def press(self, accessible):
        action = accessible.queryAction()
        names = [action.getName(i) for i in range(action.nActions)]
        assert "Press" in names, f"{accessible.name!r} cannot be pressed: {names}"
        action.doAction(names.index("Press"))

    def announced(self, act, expected):
        """Names announced as focused while act runs: as many as expected, or what came."""
        self._pump()
        self.focused.clear()
        act()
        deadline = time.monotonic() + WAIT
        while len(self.focused) < len(expected) and time.monotonic() < deadline:
            self._pump()
            time.sleep(0.05)
        time.sleep(SETTLE)
        self._pump()
        return list(self.focused)
