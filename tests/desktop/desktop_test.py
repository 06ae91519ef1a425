#!/usr/bin/python3 -W ignore::DeprecationWarning
"""The real program on a real X server under openbox, driven and read only as a user and a screen
reader do it (see desktop.py).

    desktop_test.py PATH-OF-TALLIX [unittest arguments]
"""

import os
import sys
import tempfile
import unittest

sys.dont_write_bytecode = True  # no __pycache__ in the source tree
from desktop import SKIP, Session, Tallix, Unavailable, wait_for  # noqa: E402

MAIN = "Tallix - By Dorvik5150"
WELCOME = "Welcome"
OPTIONS = "Options"
RS_EXP = "RuneScape Experience Calculator"
PROGRAM = None  # the tallix executable, from the command line
session = None  # the one desktop that every test uses


def pixels(twips):
    return round(twips / 15)


def stays(probe, seconds=0.3):
    """Whether probe() holds all the while: what does not happen can only be watched for a while."""
    try:
        wait_for(lambda: not probe(), "a change", seconds)
        return False
    except AssertionError:
        return True


def contrast(a, b):
    def luminance(rgb):
        linear = [c / 255 / 12.92 if c <= 10 else ((c / 255 + 0.055) / 1.055) ** 2.4 for c in rgb]
        return 0.2126 * linear[0] + 0.7152 * linear[1] + 0.0722 * linear[2]
    high, low = sorted((luminance(a), luminance(b)), reverse=True)
    return (high + 0.05) / (low + 0.05)


class Desktop(unittest.TestCase):
    def run_program(self, **settings):
        """A run with a fresh settings folder, holding `settings` (ShowPopup "0" unless given)."""
        config = tempfile.mkdtemp(dir=session.work)
        tallix = Tallix(session, PROGRAM, config)
        for key, value in {"ShowPopup": "0", **settings}.items():
            if value is not None:
                tallix.store(key, value)
        self.addCleanup(tallix.kill)
        return tallix.start()

    def wait_in_front(self, window):
        """Waits until the window is the active one and above every other window."""
        wait_for(lambda: session.active() == window.id and session.clients()[-1].id == window.id,
                 f"{session.title(window)!r} active in front")

    def wm_state(self, window):
        state = session.property(window, "WM_STATE")
        return state[0] if state else None  # 1 normal, 3 iconic

    def special_pointer(self):
        return session.pointer_image()[:4] == (32, 32, 0, 0)  # the arrow of the program's cursor file

    def close_active(self, window):
        """Alt+F4, once the window is the active one."""
        wait_for(lambda: session.active() == window.id, f"{session.title(window)!r} active")
        session.xdotool("key", "alt+F4")

    # Placement, texts, colours

    def test_first_run_places_main_and_welcome_by_their_outer_edges(self):
        tallix = self.run_program(ShowPopup=None)
        expected = {MAIN: (1000, 1000), WELCOME: (300, 2000)}  # left, top in twips
        for title, (left, top) in expected.items():
            with self.subTest(title):
                x, y, _, _ = session.frame(tallix.window(title))
                self.assertLessEqual(abs(x - pixels(left)), 1)
                self.assertLessEqual(abs(y - pixels(top)), 1)

    def test_calculations_read_through_the_accessibility_bus(self):
        tallix = self.run_program()
        rows = [  # keys, then the number display and the operator display
            (["Seven", "Add", "Three"], "3", "+"),
            (["Equals"], "10", ""),
            (["Clear", "Two", "Square"], "4", "y^2"),
            (["Five", "Divide", "Zero", "Equals"], "Error", ""),
        ]
        for keys, screen, display in rows:
            with self.subTest(keys=keys):
                for key in keys:
                    tallix.click(MAIN, key)
                wait_for(lambda: tallix.text(MAIN, "Number display") == screen, f"the display at {screen}")
                self.assertEqual(tallix.text(MAIN, "Pending operator"), display)

    def test_held_key_is_dark_red_until_released(self):
        tallix = self.run_program()
        x, y = tallix.centre(MAIN, "Five")
        corner = x - 10, y - 10  # clear of the caption
        face = session.pixels(*corner, 1, 1)[0][0]
        session.xdotool("mousemove", x, y, "mousedown", 1)
        wait_for(lambda: session.pixels(*corner, 1, 1)[0][0] == (128, 0, 0), "the key in RGB(128, 0, 0)")
        session.xdotool("mouseup", 1)
        wait_for(lambda: session.pixels(*corner, 1, 1)[0][0] == face, "the key in button face again")
        wait_for(lambda: tallix.text(MAIN, "Number display") == "5", "the digit after the release")

    def test_experience_results_are_readable_but_neither_focusable_nor_editable(self):
        tallix = self.run_program()
        tallix.click(MAIN, "RuneScape experience calculator")
        tallix.window(RS_EXP)
        import pyatspi
        rows = [("Experience needed", "Experience Needed"), ("Kills needed", "Kills Needed")]
        for typed, (name, text) in enumerate(rows, start=1):
            with self.subTest(name):
                box = tallix.control(RS_EXP, name).queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
                inside = session.pixels(box.x + 3, box.y + 3, box.width - 6, box.height - 6)
                shown = [colour for row in inside for colour in row]
                ground = max(set(shown), key=shown.count)
                self.assertGreaterEqual(max(contrast(ground, c) for c in shown), 4.5)
                # A click into the box leaves the focus where it was: the typing goes to the first input.
                tallix.click(RS_EXP, name)
                session.xdotool("type", "7")
                wait_for(lambda: tallix.text(RS_EXP, "Exp per kill") == "7" * typed, "the typed digit")
                self.assertEqual(tallix.text(RS_EXP, name), text)
                self.assertTrue(tallix.control(RS_EXP, name).getState().contains(pyatspi.STATE_READ_ONLY))

    # The options window

    def test_options_window_stays_in_front_and_the_main_window_still_rereads_the_pointer(self):
        tallix = self.run_program()
        main = tallix.main()
        over_main = tallix.centre(MAIN, "Equals")  # outside the options window
        session.xdotool("mousemove", *over_main)
        wait_for(self.special_pointer, "the special pointer over the main window")

        tallix.click(MAIN, "Options")
        options = tallix.window(OPTIONS)
        self.assertEqual(session.frame(main)[:2], (pixels(1000), pixels(1000)))
        self.assertEqual(session.frame(options)[:2], (pixels(1000 + 600), pixels(1000 + 500)))
        self.close_active(options)
        self.assertTrue(stays(lambda: tallix.shown(OPTIONS)), "Alt+F4 closed the options window")

        tallix.store("Value", "0")
        tallix.click(MAIN, "Clear")
        session.xdotool("mousemove", *over_main)
        wait_for(lambda: not self.special_pointer(), "the default pointer over the main window")
        self.wait_in_front(options)

        # The box showed "1", as stored when the window opened, and OK writes it back.
        tallix.click(OPTIONS, "OK")
        wait_for(lambda: not tallix.shown(OPTIONS), "the options window to close")
        session.xdotool("mousemove", *over_main)
        wait_for(self.special_pointer, "the special pointer again")
        self.assertEqual(tallix.settings()["Value"], "1")

    # Position and lifecycle

    def test_five_runs_after_a_drag_open_where_the_last_closed(self):
        tallix = self.run_program()
        start = session.frame(tallix.main())[:2]
        x, y = start[0] + 40, start[1] + 8  # on the title bar
        # Paced as a hand moves, so that the window manager takes it for a drag.
        session.xdotool("mousemove", x, y, "mousedown", 1, "sleep", 0.05, "mousemove", x + 10, y + 6,
                        "sleep", 0.05, "mousemove", x + 37, y + 23, "sleep", 0.05, "mouseup", 1)
        moved = (start[0] + 37, start[1] + 23)
        wait_for(lambda: session.frame(tallix.main())[:2] == moved, "the drag to move the window")
        for cycle in range(5):
            with self.subTest(cycle=cycle):
                self.close_active(tallix.main())
                self.assertEqual(tallix.wait_exit(), 0)
                saved = tallix.settings()
                self.assertEqual((pixels(float(saved["Left"])), pixels(float(saved["Top"]))), moved)
                tallix.start()
                self.assertEqual(session.frame(tallix.main())[:2], moved)

    def test_program_runs_on_while_the_experience_calculator_is_open(self):
        tallix = self.run_program()
        tallix.click(MAIN, "RuneScape experience calculator")
        self.wait_in_front(tallix.window(RS_EXP))
        tallix.click(MAIN, "Clear")
        self.close_active(tallix.main())
        wait_for(lambda: not tallix.shown(MAIN), "the main window to close")
        self.assertIn("Left", tallix.settings())
        self.assertTrue(stays(lambda: tallix.process.poll() is None), "the program ended")
        self.close_active(tallix.window(RS_EXP))
        self.assertEqual(tallix.wait_exit(), 0)

    # What the window manager is told and does

    def test_each_frame_offers_exactly_its_defined_controls(self):
        # Motif hints: functions move 4 | close 32; decorations border 2 | title 8. No window asks for a
        # window menu, minimise, maximise or resizing; the options window has no close box either.
        rows = {  # title: functions, taskbar entry
            MAIN: (0x24, True),
            WELCOME: (0x24, False),
            OPTIONS: (0x04, False),
            RS_EXP: (0x24, True),
        }
        tallix = self.run_program(ShowPopup=None)
        seen = {MAIN: tallix.main(), WELCOME: tallix.window(WELCOME)}

        def check(title):
            functions, taskbar = rows[title]
            with self.subTest(title):
                window = seen[title]
                self.assertEqual(session.property(window, "_MOTIF_WM_HINTS")[:3], [3, functions, 0x0A])
                states = session.atoms(window, "_NET_WM_STATE")
                self.assertEqual("_NET_WM_STATE_SKIP_TASKBAR" not in states, taskbar)
                allowed = set(session.atoms(window, "_NET_WM_ALLOWED_ACTIONS"))  # what openbox makes of it
                self.assertFalse({"_NET_WM_ACTION_MAXIMIZE_HORZ", "_NET_WM_ACTION_RESIZE"} & allowed)

        check(MAIN)
        check(WELCOME)
        self.close_active(seen[WELCOME])
        wait_for(lambda: not tallix.shown(WELCOME), "the welcome window to close")
        tallix.click(MAIN, "Options")
        seen[OPTIONS] = tallix.window(OPTIONS)
        check(OPTIONS)
        tallix.click(OPTIONS, "OK")
        wait_for(lambda: not tallix.shown(OPTIONS), "the options window to close")
        tallix.click(MAIN, "RuneScape experience calculator")
        seen[RS_EXP] = tallix.window(RS_EXP)
        check(RS_EXP)

    def test_minimised_windows_come_back(self):
        rows = [  # title, how it opens, how the user brings it back (None: it comes back by itself)
            (RS_EXP, "RuneScape experience calculator", (MAIN, "RuneScape experience calculator")),
            # With the main window closed, nothing else would be left on screen.
            (OPTIONS, "Options", None),
            # The window manager activates the greyed main window in its place.
            (WELCOME, None, None),
        ]
        for title, opener, back in rows:
            with self.subTest(title):
                tallix = self.run_program(ShowPopup="1" if title == WELCOME else "0")
                if opener:
                    tallix.click(MAIN, opener)
                window = tallix.window(title)
                if title == OPTIONS:
                    session.click_close_box(tallix.main())
                    wait_for(lambda: not tallix.shown(MAIN), "the main window to close")
                session.xdotool("windowminimize", window.id)
                if back:
                    wait_for(lambda: self.wm_state(window) == 3, "the window minimised")
                    self.assertTrue(stays(lambda: self.wm_state(window) == 3))
                    tallix.click(*back)
                wait_for(lambda: self.wm_state(window) == 1 and session.viewable(window), "the window back")
                self.wait_in_front(window)
                tallix.kill()

    def test_welcome_window_comes_to_the_front_when_the_greyed_main_window_is_clicked(self):
        tallix = self.run_program(ShowPopup="1")
        welcome = tallix.window(WELCOME)
        self.wait_in_front(welcome)
        session.wm_changes()
        tallix.click(MAIN, "Number display")  # clear of the welcome window
        wait_for(session.wm_changes, "the window manager to act on the click")
        self.wait_in_front(welcome)


if __name__ == "__main__":
    if len(sys.argv) < 2 or not os.access(sys.argv[1], os.X_OK):
        sys.exit("usage: desktop_test.py PATH-OF-TALLIX [unittest arguments]")
    PROGRAM = os.path.abspath(sys.argv.pop(1))
    try:
        with Session() as session:
            result = unittest.main(verbosity=2, exit=False).result
    except Unavailable as reason:
        print(f"desktop tests skipped: no X server can start here ({reason})")
        sys.exit(SKIP)
    sys.exit(0 if result.wasSuccessful() else 1)
