"""The window as a user meets it: first launch, a later launch, and quitting."""

import os
import subprocess
import sys
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import desktop  # noqa: E402
from desktop import Nelvo, wait_for  # noqa: E402

DENIED = ("Calendar access is off for Nelvo. Choose your calendars in Privacy Settings; Nelvo "
          "checks again when it comes to the front.")


class FirstLaunch(unittest.TestCase):
    def setUp(self):
        desktop.write_defaults({})

    def test_three_pages_then_a_cancelled_chooser_shows_the_denied_text(self):
        with Nelvo() as nelvo:
            nelvo.find("Share when you're free.")
            nelvo.click("Continue")
            nelvo.find("Only times leave the app.")
            nelvo.click("Continue")
            nelvo.find("Allow calendar access.")
            nelvo.click("Allow access")
            nelvo.find("Choose Calendars", role="dialog")
            nelvo.click("Cancel")
            nelvo.find(DENIED)
            nelvo.find("Open Privacy Settings", role="push button")
            self.assertFalse(desktop.read_defaults().get("onboarding.completed", False))


class LaterLaunch(unittest.TestCase):
    def setUp(self):
        self.calendar = desktop.write_calendar(os.path.join(os.environ["HOME"], "cal", "work.ics"))
        desktop.write_defaults({"onboarding.completed": True, "tour.completed": True,
                                "calendars.locations": [self.calendar]})

    def test_a_chosen_calendar_opens_the_window_directly(self):
        with Nelvo() as nelvo:
            nelvo.find("Toolbar")
            self.assertFalse(nelvo.shows("Allow calendar access."))
            self.assertFalse(nelvo.shows("Share when you're free."))

    def test_a_vanished_calendar_shows_the_access_page_alone(self):
        os.remove(self.calendar)
        with Nelvo() as nelvo:
            nelvo.find(DENIED)
            self.assertFalse(nelvo.shows("Share when you're free."))

    def test_a_calendar_that_vanishes_while_open_is_named_above_the_canvas(self):
        # A meeting tomorrow whose title must never reach an accessible name.
        title = "Zeppelinkonferenz"
        with open(self.calendar, "w", encoding="utf-8") as file:
            file.write("\r\n".join([
                "BEGIN:VCALENDAR", "VERSION:2.0", "PRODID:-//e2e//EN", "BEGIN:VEVENT",
                "UID:marker-1@example.org", "DTSTAMP:20250101T000000Z",
                time.strftime("DTSTART:%Y%m%dT150000Z", time.gmtime(time.time() + 86400)),
                time.strftime("DTEND:%Y%m%dT160000Z", time.gmtime(time.time() + 86400)),
                "SUMMARY:" + title, "END:VEVENT", "END:VCALENDAR", ""]))
        other = desktop.write_calendar(os.path.join(os.environ["HOME"], "cal", "home.ics"))
        desktop.write_defaults({"onboarding.completed": True, "tour.completed": True,
                                "calendars.locations": [self.calendar, other]})
        with Nelvo() as nelvo:
            nelvo.find("Toolbar")
            os.remove(other)
            gone = time.monotonic()

            def notice():
                for node in nelvo.accessibles():
                    try:
                        if other in node.name and "no such file or folder" in node.name:
                            return node
                    except Exception:
                        continue
                return None

            wait_for(notice, timeout=10, what="the notice naming the vanished calendar")
            print("\nthe notice appeared %.2f s after the file went" % (time.monotonic() - gone))
            for node in nelvo.accessibles():
                try:
                    self.assertNotIn(title, node.name or "")
                    self.assertNotIn(title, node.description or "")
                except AttributeError:
                    continue
            # It goes by itself when the calendar is back.
            desktop.write_calendar(other)
            wait_for(lambda: notice() is None, timeout=10, what="the notice to go")

    def test_ctrl_q_keeps_a_settings_change_made_just_before(self):
        with Nelvo() as nelvo:
            nelvo.find("Toolbar")
            before = desktop.stored_settings().get("dayCount", 1)
            # More Days, then Quit at once: well inside the delay of the settings save.
            nelvo.key("ctrl+bracketright", "ctrl+q")
            self.assertEqual(nelvo.wait(), 0)
        self.assertEqual(desktop.stored_settings().get("dayCount"), before + 1)


class DesktopEntry(unittest.TestCase):
    def test_the_taskbar_can_tie_the_window_to_its_desktop_file(self):
        here = os.path.dirname(os.path.abspath(__file__))
        entry = os.path.join(here, "..", "..", "data", "app.nelvo.Nelvo.desktop")
        with open(entry, encoding="utf-8") as f:
            keys = dict(line.strip().split("=", 1) for line in f if "=" in line)
        desktop.write_defaults({})
        with Nelvo() as nelvo:
            shown = subprocess.run(["xprop", "-id", nelvo.window, "WM_CLASS"],
                                   capture_output=True, text=True, check=True).stdout
        # WM_CLASS(STRING) = "instance", "Class"
        names = [part.strip().strip('"') for part in shown.split("=", 1)[1].split(",")]
        self.assertIn(keys.get("StartupWMClass"), names)


if __name__ == "__main__":
    desktop.main()
