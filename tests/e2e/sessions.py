"""The desktop sessions the program is tested in: the screen and its scale, the platform
theme, the accessibility bus, and the scenarios each one runs."""

import os

from accessibility_bus import AccessibilityBus
from adverse_scenarios import ADVERSE_SCENARIOS
from clean_root import CleanRoot
from clean_root_scenarios import CLEAN_ROOT_SCENARIOS
from reader_scenarios import READER_SCENARIOS
from scenarios import SCENARIOS, bookings_plain_copy_close_reopen
from theme_scenarios import THEME_SCENARIOS
from wayland_scenarios import WAYLAND_SCENARIOS
from weston import Weston
from wine import Wine
from wine_scenarios import WINE_SCENARIOS
from x_server import SCREEN, XServer

HERE = os.path.dirname(os.path.abspath(__file__))


class Session:
    """launcher: what the program is started through (Wine for a Windows one, the clean root
    for the portable one), made with the environment and the arguments start() is given."""

    def __init__(self, scenarios, server=XServer, screen=SCREEN, scale=1, env=None,
                 screen_reader=False, launcher=None):
        self.scenarios = scenarios
        self.server = server
        self.screen = screen
        self.scale = scale
        self.env = env or {}
        self.screen_reader = screen_reader
        self.launcher = launcher

    def start(self, stack, *launcher_args):
        """Starts the session's servers, ended with stack; the display server, the
        environment the program runs in and the launcher started, if any."""
        server = stack.enter_context(
            self.server(self.screen, dict(os.environ, QT_QPA_PLATFORM="xcb", **self.env)))
        env = server.env
        if self.screen_reader:
            env = stack.enter_context(AccessibilityBus(env)).env
        launcher = None
        if self.launcher:
            launcher = stack.enter_context(self.launcher(env, *launcher_args))
            env = launcher.env
        return server, env, launcher


SESSIONS = {
    "openbox": Session(SCENARIOS + ADVERSE_SCENARIOS),
    # Twice the pixels: the screen grows with the windows so that they still fit on it.
    "scale2": Session([bookings_plain_copy_close_reopen], screen="2048x1536x24", scale=2,
                      env={"QT_SCALE_FACTOR": "2"}),
    # A GNOME desktop: Qt's GTK platform theme, a dark GTK theme and another font.
    "gtk": Session(SCENARIOS + THEME_SCENARIOS,
                   env={"QT_QPA_PLATFORMTHEME": "gtk3", "GTK_THEME": "Adwaita:dark",
                        "XDG_CONFIG_HOME": os.path.join(HERE, "gtk_config")}),
    "screen_reader": Session(READER_SCENARIOS, screen_reader=True),
    # Qt's Wayland input context takes the first key event into the compositor's seat,
    # which a headless weston lacks; the compose one, as on X, needs none.
    "weston": Session(WAYLAND_SCENARIOS, server=Weston, env={"QT_IM_MODULE": "compose"}),
    # quillcount.exe under Wine (run_e2e.py --wine), its windows on the openbox desktop.
    "wine": Session(WINE_SCENARIOS, launcher=Wine),
    # The portable tarball unpacked in a root with no Qt (run_e2e.py --clean-root), its
    # windows on the openbox desktop outside.
    "clean_root": Session(CLEAN_ROOT_SCENARIOS, launcher=CleanRoot),
}
