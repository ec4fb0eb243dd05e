"""Copy, share and save on a real X server: what other programs receive."""

import base64
import datetime
import json
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import desktop  # noqa: E402
from desktop import Nelvo, wait_for  # noqa: E402

ZONE = "America/Los_Angeles"
THREE_ZONES = ["America/Los_Angeles", "Europe/London", "Asia/Kolkata"]
FLAVOURS = [("text/plain", "text"), ("text/html", "html"), ("text/rtf", "rtf"),
            ("text/richtext", "rtf"), ("text/markdown;charset=utf-8", "markdown")]
TABLE_FLAVOURS = [("text/plain", "table"), ("text/html", "table-html"), ("text/rtf", None),
                  ("text/richtext", None), ("text/markdown;charset=utf-8", "table-markdown")]
MARKERS = ["Zeppelinkonferenz", "Quixotic Walrus", "Marmaladeaccount", "wombat.attendee@example.org",
           "Obsidian Llama"]


def settings_value(zones):
    record = {"zones": [{"id": zone} for zone in zones], "primaryZoneID": ZONE, "dayCount": 5}
    return {"base64": base64.b64encode(json.dumps(record).encode()).decode()}


def nelvo_print(*arguments):
    """`nelvo print` of the same stored state; its standard output as bytes."""
    env = dict(os.environ, TZ=ZONE)
    result = subprocess.run([os.environ["NELVO_BINARY"], "print", *arguments], env=env,
                            capture_output=True, timeout=60)
    assert result.returncode == 0, result.stderr
    return result.stdout


def targets():
    offered = desktop.clipboard("TARGETS")
    return offered.decode().split() if offered else []


def png_size(data):
    assert data[:8] == b"\x89PNG\r\n\x1a\n", data[:16]
    return struct.unpack(">II", data[16:24])


def ocr(png):
    with tempfile.TemporaryDirectory() as folder:
        path = os.path.join(folder, "picture.png")
        with open(path, "wb") as file:
            file.write(png)
        return subprocess.run(["tesseract", path, "-", "--psm", "6"], capture_output=True,
                              text=True, timeout=120).stdout


def marker_calendar(path):
    """A calendar whose only meeting, tomorrow 10:00-11:30, carries every marker."""
    tomorrow = datetime.date.today() + datetime.timedelta(days=1)
    day = tomorrow.strftime("%Y%m%d")
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "w", encoding="utf-8") as file:
        file.write("\r\n".join([
            "BEGIN:VCALENDAR", "VERSION:2.0", "PRODID:-//e2e//EN", "X-WR-CALNAME:Obsidian Llama",
            "BEGIN:VEVENT", "UID:marker-1@example.org",
            "DTSTART;TZID=America/Los_Angeles:%sT100000" % day,
            "DTEND;TZID=America/Los_Angeles:%sT113000" % day,
            "SUMMARY:Zeppelinkonferenz", "DESCRIPTION:Quixotic Walrus", "LOCATION:Marmaladeaccount",
            "ORGANIZER:mailto:wombat.attendee@example.org",
            "ATTENDEE;PARTSTAT=ACCEPTED:mailto:wombat.attendee@example.org",
            "END:VEVENT", "END:VCALENDAR", ""]))
    return path


class DemoClipboard(unittest.TestCase):
    def setUp(self):
        desktop.write_defaults({"onboarding.completed": True, "tour.completed": True})
        desktop.write_defaults({"settings.v1": settings_value(THREE_ZONES)}, demo=True)

    def test_every_flavour_matches_print_in_the_same_format(self):
        with Nelvo("--demo", env={"TZ": ZONE}) as nelvo:
            nelvo.find("Copy availability")
            nelvo.key("ctrl+shift+c")
            offered = wait_for(lambda: "text/markdown;charset=utf-8" in targets() and targets())
            for mime, _ in FLAVOURS:
                self.assertIn(mime, offered)
            self.assertIn("UTF8_STRING", offered)
            for mime, format in FLAVOURS:
                self.assertEqual(desktop.clipboard(mime).rstrip(b"\n"),
                                 nelvo_print("--demo", "--format", format).rstrip(b"\n"), mime)
            self.assertEqual(desktop.clipboard("UTF8_STRING").rstrip(b"\n"),
                             nelvo_print("--demo").rstrip(b"\n"))

            # Copy as Table: the same flavours for the three-zone table.
            nelvo.key("ctrl+alt+shift+c")
            wait_for(lambda: (desktop.clipboard("text/plain") or b"").find(b"| Day |") >= 0)
            for mime, format in TABLE_FLAVOURS:
                if format:
                    self.assertEqual(desktop.clipboard(mime).rstrip(b"\n"),
                                     nelvo_print("--demo", "--format", format).rstrip(b"\n"), mime)
            self.assertTrue(desktop.clipboard("text/rtf").startswith(b"{\\rtf1"))

            # Copy as Picture: PNG and TIFF, the PNG as print draws it at one pixel per point.
            nelvo.key("ctrl+alt+c")
            offered = wait_for(lambda: "image/png" in targets() and targets())
            self.assertIn("image/tiff", offered)
            copied = desktop.clipboard("image/png")
            printed = nelvo_print("--demo", "--format", "png")
            self.assertEqual(png_size(copied), png_size(printed))
            self.assertEqual(png_size(copied)[0], 600)
            print("\npicture: %dx%d, %d bytes; identical to print: %s"
                  % (*png_size(copied), len(copied), copied == printed))

    def test_libreoffice_reads_the_html_and_rtf_flavours(self):
        if shutil.which("soffice") is None:
            self.skipTest("LibreOffice is not installed")
        with Nelvo("--demo", env={"TZ": ZONE}) as nelvo:
            nelvo.find("Copy availability")
            nelvo.key("ctrl+shift+c")
            wait_for(lambda: "text/rtf" in targets())
            flavours = {"html": desktop.clipboard("text/html"), "rtf": desktop.clipboard("text/rtf")}
        chat = nelvo_print("--demo").decode()
        times = [line for line in chat.splitlines() if " - " in line and "M" in line]
        self.assertTrue(times, chat)
        with tempfile.TemporaryDirectory() as folder:
            for extension, data in flavours.items():
                source = os.path.join(folder, "copied." + extension)
                with open(source, "wb") as file:
                    file.write(data)
                subprocess.run(["soffice", "-env:UserInstallation=file://" + folder + "/profile",
                                "--headless", "--convert-to", "txt:Text (encoded):UTF8", "--outdir",
                                os.path.join(folder, extension), source],
                               capture_output=True, timeout=180, check=True)
                with open(os.path.join(folder, extension, "copied.txt"), encoding="utf-8-sig") as file:
                    text = file.read()
                self.assertIn("My availability", text, extension)
                for line in times:
                    self.assertIn(line, text, extension)


class Privacy(unittest.TestCase):
    def setUp(self):
        self.calendar = marker_calendar(os.path.join(os.environ["HOME"], "cal", "markers.ics"))
        desktop.write_defaults({"onboarding.completed": True, "tour.completed": True,
                                "calendars.locations": [self.calendar],
                                "settings.v1": settings_value(THREE_ZONES)})
        self.bin = tempfile.mkdtemp()
        with open(os.path.join(self.bin, "xdg-email"), "w") as script:
            script.write("#!/bin/sh\nfor a in \"$@\"; do printf '%%s\\n--end--\\n' \"$a\"; done > '%s/args'\n"
                         % self.bin)
        os.chmod(os.path.join(self.bin, "xdg-email"), 0o700)
        # A program for mailto: links, without which E-mail is not offered.
        with open(os.path.join(self.bin, "xdg-mime"), "w") as script:
            script.write("#!/bin/sh\necho mail.desktop\n")
        os.chmod(os.path.join(self.bin, "xdg-mime"), 0o700)

    def tearDown(self):
        shutil.rmtree(self.bin, ignore_errors=True)

    def assertNoMarker(self, data, what):
        for marker in MARKERS:
            self.assertNotIn(marker.encode(), data, what)

    def test_no_marker_leaves_by_clipboard_picture_or_attachment(self):
        env = {"TZ": ZONE, "PATH": self.bin + ":" + os.environ["PATH"]}
        with Nelvo(env=env) as nelvo:
            nelvo.find("Copy availability")
            for keys in ("ctrl+shift+c", "ctrl+alt+shift+c"):
                nelvo.key(keys)
                wait_for(lambda: "text/rtf" in targets())
                for mime in targets():
                    if mime in ("TARGETS", "MULTIPLE", "TIMESTAMP", "SAVE_TARGETS"):
                        continue
                    self.assertNoMarker(desktop.clipboard(mime) or b"", keys + " " + mime)
            nelvo.key("ctrl+alt+c")
            wait_for(lambda: "image/png" in targets())
            text = ocr(desktop.clipboard("image/png"))
            print("\nOCR of the copied picture:\n" + text)
            for marker in MARKERS:
                self.assertNotIn(marker.split()[0], text)
            self.assertRegex(text, r"\d{1,2}:\d\d ?[ap]m")
            self.assertIn("My availability", text)

            # Share by e-mail: the attachments carry times only.
            nelvo.click("Share")
            nelvo.click("E-mail…", role="menu item")
            arguments = wait_for(lambda: os.path.exists(os.path.join(self.bin, "args"))
                                 and open(os.path.join(self.bin, "args"), encoding="utf-8").read())
            values = arguments.split("\n--end--\n")
            attachments = [values[i + 1] for i, value in enumerate(values) if value == "--attach"]
            self.assertEqual(len(attachments), 2, values)
            for value in values:
                self.assertNoMarker(value.encode(), "e-mail argument")
            for path in attachments:
                with open(path, "rb") as file:
                    data = file.read()
                self.assertNoMarker(data, path)
                if path.endswith(".png"):
                    self.assertRegex(ocr(data), r"\d{1,2}:\d\d ?[ap]m")
            self.assertTrue(attachments[0].startswith(os.environ["XDG_RUNTIME_DIR"] + "/nelvo-share/"))

        # Saved files come from the same outputs: print's Markdown and picture, too.
        self.assertNoMarker(nelvo_print("--format", "markdown"), "markdown")
        self.assertNoMarker(nelvo_print("--format", "png"), "png")


if __name__ == "__main__":
    desktop.main()
