"""Under a desktop theme with colours of its own, every text stays readable: the windows'
dark text on their light grey, the theme's own colours in the fields and message boxes."""

from collections import Counter

from trial import ends
from user import CHANGE_PIN_WINDOW, ERROR_BOX, LEDGER_WINDOW, PIN_FIELD, PIN_WINDOW, QUERY_BOX

# What ordinary sight needs to read small text (WCAG AA); light text on the light grey
# comes to about 1.6.
MIN_CONTRAST = 4.5

# Where texts stand, in each window's own pixels (left, top, width, height), inside the
# borders of their controls; the ledger window's are counted from below its menu bar.
PIN_WINDOW_TEXTS = {"caption": (32, 16, 233, 20), "PIN": (115, 37, 48, 16)}
LEDGER_WINDOW_TEXTS = {"amount": (245, 12, 143, 20), "debit": (157, 12, 70, 17),
                       "credit": (421, 12, 70, 17), "ledger": (12, 44, 630, 60)}
CHANGE_PIN_TEXTS = {"caption": (48, 20, 73, 17), "PIN": (132, 20, 32, 16)}
MENU_TITLE = (4, 3, 36)  # left, top, width; as high as the menu bar less its edges


def luminance(colour):
    def linear(c):
        c /= 255
        return c / 12.92 if c <= 0.03928 else ((c + 0.055) / 1.055) ** 2.4
    r, g, b = (linear(c) for c in colour)
    return 0.2126 * r + 0.7152 * g + 0.0722 * b


def contrast(picture, left, top, width, height):
    """The contrast of the strongest ink against the background of a part of a picture."""
    pixels = [p for row in picture[top:top + height] for p in row[left:left + width]]
    background = luminance(Counter(pixels).most_common(1)[0][0])
    inks = [luminance(p) for p in set(pixels)]
    return max((max(background, ink) + 0.05) / (min(background, ink) + 0.05) for ink in inks)


def readable(desktop, wid, texts, below=0):
    desktop.activate(wid)
    picture = desktop.picture(wid)
    for what, (left, top, width, height) in texts.items():
        ratio = contrast(picture, left, top + below, width, height)
        assert ratio >= MIN_CONTRAST, f"{what} reads at a contrast of {ratio:.1f}"


def box_readable(user, title):
    """The prompt of a message box: the box's upper half, right of its icon."""
    box = user.window(title)
    width, height = user.desktop.size(box)
    readable(user.desktop, box, {f"the prompt of {title!r}": (width // 3, 8, width // 2,
                                                               height // 3)})


def texts_stay_readable(t):
    folder = t.folder()
    user = t.start(folder)
    desktop = t.desktop
    window = user.window(PIN_WINDOW)
    desktop.click(window, *PIN_FIELD)
    desktop.type("12")
    readable(desktop, window, PIN_WINDOW_TEXTS)
    desktop.key("Return")
    box_readable(user, ERROR_BOX)
    user.answer(ERROR_BOX, "Return")
    desktop.type("34")
    desktop.key("Return")

    ledger = user.window(LEDGER_WINDOW)
    user.book(ledger, "12.50", True)
    menu_bar = user.menu_bar_height(ledger)
    readable(desktop, ledger, {"the menu bar": (*MENU_TITLE, menu_bar - 2 * MENU_TITLE[1])})
    readable(desktop, ledger, LEDGER_WINDOW_TEXTS, below=menu_bar)
    user.menu(ledger, "s")
    box_readable(user, QUERY_BOX)
    user.answer(QUERY_BOX, "Escape")

    user.menu(ledger, "c")
    change_pin = user.window(CHANGE_PIN_WINDOW)
    desktop.activate(change_pin)
    desktop.type("1234")
    readable(desktop, change_pin, CHANGE_PIN_TEXTS)
    user.close(change_pin)
    user.exit_no_encrypt(user.window(LEDGER_WINDOW))
    ends(user, folder)


THEME_SCENARIOS = [texts_stay_readable]
