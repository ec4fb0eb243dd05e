"""The canvas as a user and a screen reader user shape free time with it."""

import json
import os
import subprocess
import sys
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import desktop  # noqa: E402
from desktop import Nelvo, wait_for, xdotool  # noqa: E402

FOLLOWING_END = "This day's end of availability. Drag to change this day only."
OVERRIDING_END = "This day's end of availability. Double-click to follow the shared bar."
FOLLOWING_START = "This day's start of availability. Drag to change this day only."


def printed_days():
    """The demo week as `nelvo print` sees it from the stored files, as JSON."""
    result = subprocess.run([desktop.binary(), "print", "--demo", "--format", "json"],
                            check=True, capture_output=True, text=True, timeout=30)
    return json.loads(result.stdout)["days"]


def extents(node):
    import pyatspi
    box = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    return box.x, box.y, box.width, box.height


def do_action(node, wanted):
    """Runs the accessible action whose name is `wanted` (case aside)."""
    action = node.queryAction()
    names = [action.getName(i) for i in range(action.nActions)]
    for index, name in enumerate(names):
        if name.lower() == wanted.lower():
            action.doAction(index)
            return
    raise AssertionError("no action %r among %r" % (wanted, names))


def fresh_demo():
    """An onboarded user in a demo with no changes kept from an earlier test."""
    desktop.write_defaults({"onboarding.completed": True, "tour.completed": True})
    desktop.write_defaults({}, demo=True)
    path = os.path.join(os.environ.get("TMPDIR", "/tmp"), "nelvo-demo-adjustments.json")
    if os.path.exists(path):
        os.remove(path)


class Canvas(unittest.TestCase):
    def setUp(self):
        fresh_demo()

    def test_dragging_a_bar_changes_what_print_reads(self):
        before = printed_days()[0]["window"]["endMinutes"]
        with Nelvo("--demo") as nelvo:
            bar = nelvo.find(FOLLOWING_END)
            x, y, width, height = extents(bar)
            nelvo.focus()
            xdotool("mousemove", "--sync", str(x + width // 2), str(y + height // 2))
            xdotool("mousedown", "1")
            for step in range(1, 9):
                xdotool("mousemove", "--sync", str(x + width // 2), str(y + height // 2 + step * 12))
                time.sleep(0.05)
            xdotool("mouseup", "1")
            nelvo.find(OVERRIDING_END)
        after = printed_days()[0]["window"]["endMinutes"]
        self.assertGreater(after, before)
        self.assertEqual(after % 15, 0)

    def test_a_band_and_a_bar_work_through_their_accessible_actions(self):
        with Nelvo("--demo") as nelvo:
            band = wait_for(lambda: next((n for n in nelvo.accessibles()
                                          if (n.name or "").startswith("Free ")), None),
                            what="a free band")
            name = band.name
            do_action(band, "Trim start")
            wait_for(lambda: not nelvo.shows(name), what="the trimmed band")
            start = nelvo.find(FOLLOWING_START)
            do_action(start, "Increase")
            wait_for(lambda: nelvo.shows(
                "This day's start of availability. Double-click to follow the shared bar."),
                what="the moved start bar")
        days = printed_days()
        self.assertTrue(any(day["window"]["startMinutes"] == 9 * 60 + 15 for day in days))


def focused(nelvo):
    """The accessible that has the keyboard focus, or None."""
    import pyatspi
    for node in nelvo.accessibles():
        try:
            if node.getState().contains(pyatspi.STATE_FOCUSED):
                return node
        except Exception:
            continue
    return None


def tab_to(nelvo, wanted, what, presses=120):
    """Presses Tab until the focused accessible satisfies `wanted`; that accessible."""
    for _ in range(presses):
        node = focused(nelvo)
        if node is not None and wanted(node):
            return node
        nelvo.key("Tab")
    raise AssertionError("Tab never reached " + what)


def zone_ids():
    return [zone["id"] for zone in desktop.stored_settings(demo=True).get("zones", [])]


class KeyboardOnly(unittest.TestCase):
    """Every edit of the canvas with the keyboard alone, as a screen reader user makes it."""

    def setUp(self):
        fresh_demo()

    def test_free_a_meeting_shape_zones_trim_a_band_and_clear_an_override(self):
        import pyatspi
        with Nelvo("--demo") as nelvo:
            nelvo.focus()
            # The shared handles have a value, as the day bars do: a minute of the day.
            handle = nelvo.find("Start of availability, every day")
            self.assertEqual(handle.queryValue().currentValue % 15, 0)
            self.assertGreater(handle.queryValue().currentValue, 0)
            # Free a meeting from a day's events, in the window's own tree.
            tab_to(nelvo, lambda n: n.name == "Show this day's events"
                   and n.getState().contains(pyatspi.STATE_ENABLED), "a day's events")
            nelvo.key("space")
            wait_for(lambda: (focused(nelvo) or nelvo).name == "Free this time",
                     what="the keyboard on the first meeting")
            nelvo.key("Return")
            wait_for(lambda: (focused(nelvo) or nelvo).name == "Make it busy again",
                     what="the freed meeting")
            nelvo.key("Escape")

            # Add a zone, move it left, remove it.
            tab_to(nelvo, lambda n: n.name == "Add a time zone", "the add button")
            nelvo.key("space")
            wait_for(lambda: (focused(nelvo) or nelvo).getRoleName() == "text",
                     what="the zone search")
            xdotool("type", "--delay", "50", "Tokyo")
            nelvo.key("Return")
            wait_for(lambda: "Asia/Tokyo" in zone_ids(), what="Tokyo added")
            before = zone_ids().index("Asia/Tokyo")
            nelvo.key("shift+Tab")
            wait_for(lambda: (focused(nelvo) or nelvo).name == "Tokyo", what="Tokyo's ruler")
            nelvo.key("Left")
            wait_for(lambda: zone_ids().index("Asia/Tokyo") == before - 1, what="Tokyo moved")
            nelvo.key("Delete")
            wait_for(lambda: "Asia/Tokyo" not in zone_ids(), what="Tokyo removed")

            # Trim a free band's start by a quarter hour.
            band = tab_to(nelvo, lambda n: (n.name or "").startswith("Free "), "a free band")
            name = band.name
            nelvo.key("shift+Down")
            wait_for(lambda: not nelvo.shows(name), what="the trimmed band")

            # A day's own end, then back to the shared one.
            tab_to(nelvo, lambda n: n.name == FOLLOWING_END, "a day's end bar")
            nelvo.key("Down")
            wait_for(lambda: (focused(nelvo) or nelvo).name == OVERRIDING_END,
                     what="the day's own end")
            nelvo.key("Delete")
            wait_for(lambda: (focused(nelvo) or nelvo).name == FOLLOWING_END,
                     what="the shared end again")

        # Every day ends with the shared window again.
        self.assertEqual(len({day["window"]["endMinutes"] for day in printed_days()}), 1)


if __name__ == "__main__":
    desktop.main()
