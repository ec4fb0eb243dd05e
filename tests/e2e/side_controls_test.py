"""The controls around the canvas, with the keyboard and the screen reader alone."""

import os
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import desktop  # noqa: E402
from desktop import Nelvo, wait_for  # noqa: E402


def focused_name(nelvo):
    import pyatspi
    for node in nelvo.accessibles():
        try:
            if node.getState().contains(pyatspi.STATE_FOCUSED):
                return node.name
        except Exception:
            continue
    return None


def names_reached_by_tab(nelvo, presses):
    reached = []
    for _ in range(presses):
        nelvo.key("Tab")
        name = wait_for(lambda: focused_name(nelvo) or None, timeout=3, what="a focused control")
        reached.append(name)
    return reached


class Keyboard(unittest.TestCase):
    def setUp(self):
        # Onboarding is the user's, even in the demo.
        desktop.write_defaults({"onboarding.completed": True, "tour.completed": True})
        desktop.write_defaults({}, demo=True)

    def test_every_control_is_reached_with_tab(self):
        with Nelvo("--demo") as nelvo:
            nelvo.find("Days to show", role="slider")
            # The slider comes first in the window; the toolbar's other controls follow.
            first = wait_for(lambda: focused_name(nelvo) or None, timeout=3, what="a focused control")
            reached = [first] + names_reached_by_tab(nelvo, 6)
            for name in ("Days to show", "Starts Today", "Settings"):
                self.assertIn(name, reached)

    def test_the_slider_through_its_value_changes_the_day_count(self):
        with Nelvo("--demo") as nelvo:
            slider = nelvo.find("Days to show", role="slider")
            slider.queryValue().currentValue = 5
            wait_for(lambda: desktop.stored_settings(demo=True).get("dayCount") == 5,
                     what="five days stored")
            # Held within 1 to 14.
            slider.queryValue().currentValue = 30
            wait_for(lambda: desktop.stored_settings(demo=True).get("dayCount") == 14,
                     what="fourteen days stored")

    def test_go_to_date_and_a_day_picked_with_the_keys(self):
        with Nelvo("--demo") as nelvo:
            nelvo.find("Starts Today", role="push button")
            nelvo.key("ctrl+t")
            nelvo.find("Starts on")
            nelvo.key("Right", "Right", "Return")
            wait_for(lambda: not nelvo.shows("Starts Today"), what="a pinned start day")
            # Today again, from the popover's button reached with Tab.
            nelvo.key("ctrl+t")
            nelvo.find("Starts on")
            nelvo.find("Today", role="push button").queryAction().doAction(0)
            nelvo.find("Starts Today", role="push button")

    def test_settings_rows_and_calendars_by_name(self):
        with Nelvo("--demo") as nelvo:
            nelvo.find("Settings", role="push button")
            for _ in range(15):
                if focused_name(nelvo) == "Settings":
                    break
                nelvo.key("Tab")
            self.assertEqual(focused_name(nelvo), "Settings")
            nelvo.key("space")
            # The desktop's bridge names a combo box by its current text; its row label
            # carries the row's name.
            for name, role in (("My time zone", "label"), ("Shortest Free Time", "label"),
                               ("Advance Notice", "label"), ("30 min", "combo box"),
                               ("1 hour", "combo box"), ("Skip Weekends", "check box"),
                               ("Sounds", "check box"), ("Clock: 12-hour", "check box"),
                               ("Work", "check box"), ("Personal", "check box"),
                               ("Show Me Around", "push button")):
                nelvo.find(name, role=role)
            self.assertTrue(desktop.stored_settings(demo=True).get("soundsEnabled", True))
            nelvo.find("Sounds", role="check box").queryAction().doAction(0)
            wait_for(lambda: desktop.stored_settings(demo=True).get("soundsEnabled") is False,
                     what="sounds off stored")
            nelvo.find("Personal", role="check box").queryAction().doAction(0)
            wait_for(lambda: "demo.personal" in
                     desktop.stored_settings(demo=True).get("excludedCalendars", []),
                     what="the personal calendar left out")
            nelvo.key("Escape")
            wait_for(lambda: not nelvo.shows("Skip Weekends"), what="the settings closed")


class Tour(unittest.TestCase):
    def setUp(self):
        self.calendar = desktop.write_calendar(os.path.join(os.environ["HOME"], "cal", "work.ics"))
        desktop.write_defaults({"onboarding.completed": True, "calendars.locations": [self.calendar]})

    def test_the_tour_starts_by_itself_and_skip_ends_it_for_good(self):
        with Nelvo() as nelvo:
            nelvo.find("Choose how many days to share.", timeout=5)
            nelvo.find("Step 1 of 7")  # no meeting to free: the events step is passed over
            nelvo.key("Return")
            nelvo.find("Start on a later day.")
            nelvo.find("Skip", role="push button").queryAction().doAction(0)
            wait_for(lambda: desktop.read_defaults().get("tour.completed") is True,
                     what="tour.completed")
        with Nelvo() as nelvo:
            nelvo.find("Toolbar")
            self.assertFalse(nelvo.shows("Choose how many days to share."))


if __name__ == "__main__":
    desktop.main()
