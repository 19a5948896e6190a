"""Takes screenshots of the program's windows on the private desktop.

    ZUMZIK_PROGRAM=build/dev/ui/zumzik ZUMZIK_DATA_DIR=data \\
        /usr/bin/python3 tests/e2e/screenshots.py OUTPUT_DIR

writes main.png (the main window after a short chat), about.png and information.png (each window
over the main window) and desktop.png (the whole screen with the About window open). The main
window's picture is what docs/screenshot.png shows.
"""

import os
import sys
import time

from desktop import wait_until
from zumzik import TIMEOUT, DesktopTestCase, Zumzik

# The quotes panel moves a pixel every 70 ms and the information panel one every 100 ms: long
# enough for two or three lines of each to be in view.
PANEL_SETTLE_SECONDS = 6


def save_window(desktop, window, path, margin=0):
    """Saves the window with its frame (and margin pixels around it) as a PNG file."""
    x, y, width, height = window.frame_geometry()
    desktop.output(["import", "-display", desktop.display, "-window", "root", "-crop",
                    f"{width + 2 * margin}x{height + 2 * margin}+{x - margin}+{y - margin}",
                    "+repage", path])


def main(output_dir):
    os.makedirs(output_dir, exist_ok=True)
    DesktopTestCase.setUpClass()
    desktop = DesktopTestCase.desktop
    program = Zumzik(desktop)
    try:
        program.say("Вася")
        wait_until(lambda: "ВАСЯ" in program.reply_line(), TIMEOUT, "the greeting")
        program.say("Как дела на работе?")
        wait_until(lambda: "ВАСЯ" not in program.reply_line() and program.input_text() == "",
                   TIMEOUT, "a reply")
        program.desktop.type("Расскажи про театр")
        wait_until(lambda: program.input_text() == "Расскажи про театр", TIMEOUT, "typing")
        # The aphorisms start below the panel's edge; let a few lines drift into view.
        time.sleep(PANEL_SETTLE_SECONDS)
        save_window(desktop, program.main_window, os.path.join(output_dir, "main.png"))

        for button, title, name in [("О программе", "О программе...", "about.png"),
                                    ("Информация", "Информация", "information.png")]:
            program.click_button(button)
            window = program.wait_for_window(title)
            if name == "information.png":
                time.sleep(PANEL_SETTLE_SECONDS)
            save_window(desktop, window, os.path.join(output_dir, name))
            if name == "about.png":
                desktop.screenshot(os.path.join(output_dir, "desktop.png"))
            window.activate()
            desktop.key("alt+F4")
            program.wait_until_gone(window)
    finally:
        program.close()
        desktop.close()


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    main(sys.argv[1])
