"""The desktop's own calendars: chosen in the window, then read by the command line."""

import os
import subprocess
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import desktop  # noqa: E402
from desktop import Nelvo, wait_for  # noqa: E402


def nelvo_calendars(*arguments):
    return subprocess.run([os.environ["NELVO_BINARY"], "calendars", *arguments],
                          capture_output=True, text=True, timeout=30).stdout


def desktop_store_lists_personal():
    # The first call activates the desktop's calendar store on this private bus; it may
    # take longer than one answer is waited for.
    return "\tdesktop\tsystem-calendar\n" in nelvo_calendars("list")


class DesktopCalendars(unittest.TestCase):
    def setUp(self):
        if not os.path.exists("/usr/share/dbus-1/services/org.gnome.evolution.dataserver.Sources5.service"):
            self.skipTest("Evolution Data Server is not installed")
        desktop.write_defaults({})
        wait_for(desktop_store_lists_personal, timeout=60, interval=1,
                 what="the desktop's calendar store")

    def test_a_user_with_only_desktop_calendars_is_not_asked_for_files(self):
        with Nelvo() as nelvo:
            nelvo.click("Continue")
            nelvo.click("Continue")
            nelvo.click("Allow access")
            nelvo.find("Choose Calendars", role="dialog")
            # The local calendar of the store is offered, checked; the birthdays are not.
            nelvo.find("Personal")
            nelvo.find("Birthdays & Anniversaries")
            nelvo.click("OK")
            nelvo.find("Toolbar")
            self.assertFalse(nelvo.shows("Allow calendar access."))
        stored = desktop.read_defaults()
        self.assertEqual(stored.get("calendars.desktop"), ["system-calendar"])
        self.assertEqual(stored.get("calendars.locations"), [])

        listed = nelvo_calendars("list")
        self.assertIn("\tcounts\tdesktop\tsystem-calendar\n", listed)
        self.assertIn("\tnot read\tdesktop\tbirthdays\n", listed)


if __name__ == "__main__":
    desktop.main()
