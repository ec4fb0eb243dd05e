#!/usr/bin/python3
"""Writes ICU's zoneinfo64.txt resource source from the machine's compiled tzdata.

ICU carries the zone rules of its release; placing a zoneinfo64.res built from this file in
the folder given to u_setTimeZoneFilesDirectory() makes it use the machine's current rules.

    tzif_to_icu.py [--zoneinfo /usr/share/zoneinfo] [-o zoneinfo64.txt]

Reads the TZif files (64-bit data and the POSIX TZ footer) of the zones and links listed in
tzdata.zi, or of every TZif file in the tree when that index is missing. Standard library only.
"""

import argparse
import datetime
import os
import struct
import sys

# Ids ICU has always accepted that tzdata no longer lists: the old three-letter aliases and
# two retired links. Each resolves to the zone it named.
ICU_ALIASES = {
    "ACT": "Australia/Darwin", "AET": "Australia/Sydney",
    "AGT": "America/Argentina/Buenos_Aires", "ART": "Africa/Cairo",
    "AST": "America/Anchorage", "BET": "America/Sao_Paulo", "BST": "Asia/Dhaka",
    "CAT": "Africa/Maputo", "CNT": "America/St_Johns", "CST": "America/Chicago",
    "CTT": "Asia/Shanghai", "EAT": "Africa/Nairobi", "ECT": "Europe/Paris",
    "IET": "America/Indiana/Indianapolis", "IST": "Asia/Kolkata", "JST": "Asia/Tokyo",
    "MIT": "Pacific/Apia", "NET": "Asia/Yerevan", "NST": "Pacific/Auckland",
    "PLT": "Asia/Karachi", "PNT": "America/Phoenix", "PRT": "America/Puerto_Rico",
    "PST": "America/Los_Angeles", "SST": "Pacific/Guadalcanal", "VST": "Asia/Ho_Chi_Minh",
    "Canada/East-Saskatchewan": "America/Regina", "US/Pacific-New": "America/Los_Angeles",
}

# Retired System V zones ICU still knows, as POSIX rules (their pre-1970 history is dropped).
ICU_POSIX_ZONES = {
    "SystemV/AST4": "AST4", "SystemV/AST4ADT": "AST4ADT,M4.5.0,M10.5.0",
    "SystemV/CST6": "CST6", "SystemV/CST6CDT": "CST6CDT,M4.5.0,M10.5.0",
    "SystemV/EST5": "EST5", "SystemV/EST5EDT": "EST5EDT,M4.5.0,M10.5.0",
    "SystemV/HST10": "HST10", "SystemV/MST7": "MST7",
    "SystemV/MST7MDT": "MST7MDT,M4.5.0,M10.5.0", "SystemV/PST8": "PST8",
    "SystemV/PST8PDT": "PST8PDT,M4.5.0,M10.5.0", "SystemV/YST9": "YST9",
    "SystemV/YST9YDT": "YST9YDT,M4.5.0,M10.5.0",
}

# Links whose country ICU gives as the link's own rather than its target's.
ICU_REGIONS = {
    "Africa/Asmera": "ER", "Africa/Timbuktu": "ML", "America/Coral_Harbour": "CA",
    "America/Virgin": "VI", "Antarctica/South_Pole": "AQ", "Atlantic/Jan_Mayen": "SJ",
    "Pacific/Johnston": "UM", "Pacific/Ponape": "FM", "Pacific/Truk": "FM", "Pacific/Yap": "FM",
}

UNKNOWN_ZONE = "Etc/Unknown"  # ICU's own id for "no zone": always UTC
EXPAND_UNTIL = 2100  # rules ICU cannot express are written out as transitions up to here
INT32_MIN, INT32_MAX = -(1 << 31), (1 << 31) - 1


class TzifError(Exception):
    pass


# ---------------------------------------------------------------------------------------------
# TZif reading


def read_tzif(data):
    """(transitions [(utc, type index)], types [(utoff, isdst)], footer) of v2+ TZif bytes."""
    if len(data) < 44 or data[:4] != b"TZif":
        raise TzifError("not a TZif file")
    version = data[4:5]

    def block(offset, time_size):
        if len(data) < offset + 44 or data[offset:offset + 4] != b"TZif":
            raise TzifError("truncated header")
        isut, isstd, leap, timecnt, typecnt, charcnt = struct.unpack(">6l", data[offset + 20:offset + 44])
        if min(isut, isstd, leap, timecnt, typecnt, charcnt) < 0 or typecnt == 0:
            raise TzifError("bad counts")
        pos = offset + 44
        size = timecnt * time_size + timecnt + typecnt * 6 + charcnt + leap * (time_size + 4) + isstd + isut
        if len(data) < pos + size:
            raise TzifError("truncated data")
        fmt = ">%d%s" % (timecnt, "q" if time_size == 8 else "l")
        times = struct.unpack(fmt, data[pos:pos + timecnt * time_size])
        pos += timecnt * time_size
        indices = data[pos:pos + timecnt]
        pos += timecnt
        types = []
        for i in range(typecnt):
            utoff, isdst, _ = struct.unpack(">lBB", data[pos + i * 6:pos + i * 6 + 6])
            types.append((utoff, bool(isdst)))
        if any(i >= typecnt for i in indices):
            raise TzifError("bad type index")
        return list(zip(times, indices)), types, leap, pos - offset + typecnt * 6 + charcnt + leap * (time_size + 4) + isstd + isut

    try:
        return _read_blocks(data, version, block)
    except struct.error as error:
        raise TzifError(str(error)) from error


def _read_blocks(data, version, block):
    transitions, types, leap, size = block(0, 4)
    footer = None
    if version >= b"2":
        transitions, types, leap, size2 = block(size, 8)
        rest = data[size + size2:]
        if rest.startswith(b"\n"):
            end = rest.find(b"\n", 1)
            if end > 0:
                footer = rest[1:end].decode("ascii", "replace")
    if leap:
        raise TzifError("leap-second data")
    return transitions, types, footer


# ---------------------------------------------------------------------------------------------
# POSIX TZ strings (the TZif footer)


class PosixRule:
    """One end of a daylight-saving period: a date rule and a wall time (seconds)."""

    def __init__(self, kind, month=0, week=0, weekday=0, day=0, time=7200):
        self.kind = kind  # "M" (month.week.weekday), "J" (1-365, no leap day), "N" (0-365)
        self.month, self.week, self.weekday, self.day, self.time = month, week, weekday, day, time

    def local_day(self, year):
        """The date this rule names in the year."""
        if self.kind == "J":  # counted in a year without 29 February
            date = datetime.date(2001, 1, 1) + datetime.timedelta(days=self.day - 1)
            return datetime.date(year, date.month, date.day)
        if self.kind == "N":
            return datetime.date(year, 1, 1) + datetime.timedelta(days=self.day)
        first = datetime.date(year, self.month, 1)
        # POSIX weekdays count from Sunday = 0; Python's from Monday = 0
        delta = (self.weekday - (first.weekday() + 1) % 7) % 7
        day = first + datetime.timedelta(days=delta + 7 * (self.week - 1))
        while day.month != self.month:
            day -= datetime.timedelta(days=7)
        return day


class PosixZone:
    def __init__(self, std, dst=None, start=None, end=None):
        self.std, self.dst, self.start, self.end = std, dst, start, end

    def transitions(self, year):
        """[(utc, utoff, isdst)] of the rule's changes whose local date falls in the year."""
        if self.dst is None:
            return []
        epoch = datetime.date(1970, 1, 1)
        on = (self.start.local_day(year) - epoch).days * 86400 + self.start.time - self.std
        off = (self.end.local_day(year) - epoch).days * 86400 + self.end.time - self.dst
        return sorted([(on, self.dst, True), (off, self.std, False)])


def _parse_name(text, pos):
    if text[pos:pos + 1] == "<":
        end = text.index(">", pos)
        return text[pos + 1:end], end + 1
    end = pos
    while end < len(text) and text[end].isalpha():
        end += 1
    if end - pos < 3:
        raise ValueError("zone abbreviation")
    return text[pos:end], end


def _parse_hms(text, pos, limit):
    sign = 1
    if text[pos:pos + 1] in ("+", "-"):
        sign = -1 if text[pos] == "-" else 1
        pos += 1
    parts = []
    while True:
        end = pos
        while end < len(text) and text[end].isdigit():
            end += 1
        if end == pos:
            raise ValueError("number expected")
        parts.append(int(text[pos:end]))
        pos = end
        if len(parts) < 3 and text[pos:pos + 1] == ":":
            pos += 1
            continue
        break
    hours, minutes, seconds = (parts + [0, 0])[:3]
    if hours > limit or minutes > 59 or seconds > 59:
        raise ValueError("time out of range")
    return sign * (hours * 3600 + minutes * 60 + seconds), pos


def _parse_rule(text, pos):
    if text[pos] == "M":
        fields = []
        pos += 1
        for _ in range(3):
            end = pos
            while end < len(text) and text[end].isdigit():
                end += 1
            fields.append(int(text[pos:end]))
            pos = end + 1 if end < len(text) and text[end] == "." else end
        month, week, weekday = fields
        if not (1 <= month <= 12 and 1 <= week <= 5 and 0 <= weekday <= 6):
            raise ValueError("M rule out of range")
        rule = PosixRule("M", month=month, week=week, weekday=weekday)
    else:
        kind = "J" if text[pos] == "J" else "N"
        pos += kind == "J"
        end = pos
        while end < len(text) and text[end].isdigit():
            end += 1
        rule = PosixRule(kind, day=int(text[pos:end]))
        if (kind == "J" and not 1 <= rule.day <= 365) or (kind == "N" and not 0 <= rule.day <= 365):
            raise ValueError("day out of range")
        pos = end
    if text[pos:pos + 1] == "/":
        rule.time, pos = _parse_hms(text, pos + 1, 167)
    return rule, pos


def parse_posix(text):
    """The zone of a POSIX TZ string; offsets east of UTC, as TZif has them."""
    _, pos = _parse_name(text, 0)
    west, pos = _parse_hms(text, pos, 24)
    if pos == len(text):
        return PosixZone(-west)
    _, pos = _parse_name(text, pos)
    dst = -west + 3600
    if pos < len(text) and text[pos] != ",":
        dst_west, pos = _parse_hms(text, pos, 24)
        dst = -dst_west
    if text[pos:pos + 1] != ",":
        raise ValueError("daylight time without rules")
    start, pos = _parse_rule(text, pos + 1)
    if text[pos:pos + 1] != ",":
        raise ValueError("end rule expected")
    end, pos = _parse_rule(text, pos + 1)
    if pos != len(text):
        raise ValueError("trailing text")
    if dst == -west:
        return PosixZone(-west)
    if dst < -west:
        # Negative daylight saving (Irish winter time): ICU wants the lower offset as
        # standard time and a positive saving, which is the same wall clock.
        return PosixZone(dst, -west, end, start)
    return PosixZone(-west, dst, start, end)


def icu_date_rule(rule, offset_before):
    """ICU's [month, day, dayOfWeek, seconds, mode] form of a rule (mode 0 wall, 2 UTC), or None.

    ICU's SimpleTimeZone takes the time of day in [0, 24h]; POSIX allows -167..167 hours, so a
    time outside is moved to the neighbouring day (Thursday 26:00 is Friday 02:00) or, failing
    that, to UTC time on the same date.
    """
    if rule.kind == "N":  # the date moves in leap years
        return None
    if rule.kind == "J":
        date = datetime.date(2001, 1, 1) + datetime.timedelta(days=rule.day - 1)
        base = ("fixed", date.month, date.day, 0)
    else:
        base = ("last" if rule.week == 5 else "ge", rule.month, 1 + 7 * (rule.week - 1), rule.weekday)
    kind, month, day, weekday = base
    length = [31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31][month - 1]

    def encode(shift, time, mode):
        if not 0 <= time <= 86400:
            return None
        wd = (weekday + shift) % 7 + 1  # ICU counts Sunday = 1
        if kind == "fixed":
            if not 1 <= day + shift <= length:
                return None
            return [month - 1, day + shift, 0, time, mode]
        if kind == "ge":
            if not (1 <= day + shift and day + shift + 6 <= length):
                return None
            return [month - 1, day + shift, -wd, time, mode]
        # last weekday of the month, moved back by whole days at most
        if shift > 0:
            return None
        if shift == 0 and month == 2:
            return [month - 1, -1, wd, time, mode]  # length varies: "last" counted from the end
        if month == 2:
            return None
        return [month - 1, -(length + shift), -wd, time, mode]

    shift = 0
    time = rule.time
    while time < 0:
        time += 86400
        shift -= 1
    while time > 86400:
        time -= 86400
        shift += 1
    found = encode(shift, time, 0)  # wall time
    if found is None:
        found = encode(0, rule.time - offset_before, 2)  # UTC time
    return found


# ---------------------------------------------------------------------------------------------
# One zone in ICU's terms


def year_start(year):
    return (datetime.date(year, 1, 1) - datetime.date(1970, 1, 1)).days * 86400


def year_of(utc):
    return (datetime.datetime(1970, 1, 1) + datetime.timedelta(seconds=utc)).year


def split_offsets(periods):
    """(raw, dst) seconds per period from TZif (utoff, isdst) periods.

    TZif has only the total offset and a flag; ICU wants the standard part and the saving. A
    daylight period takes its standard offset from the nearest standard period before or after
    it, whichever gives the smaller positive saving (a zone that moves its standard offset as
    daylight time begins saves an hour, not two). Negative savings (Irish and Namibian winter time,
    Moroccan Ramadan time) are turned around: the lower offset is standard and the higher
    one, next to it, is daylight time, so the totals stay the same. A daylight period is negative
    only when it is below the standard periods on both sides (wartime zone changes are not),
    and a standard period turns into daylight time only between such winters (or next to the
    same clock flagged daylight), so a zone that ends the practice stays in standard time.
    """
    count = len(periods)
    daylight = [isdst for _, isdst in periods]

    def standard_near(i, flags, step):
        j = i + step
        while 0 <= j < count:
            if not flags[j]:
                return periods[j][0]
            j += step
        return None

    flags = [d for _, d in periods]
    negative = [False] * count
    for i, (utoff, isdst) in enumerate(periods):
        near = [n for n in (standard_near(i, flags, -1), standard_near(i, flags, 1)) if n is not None]
        negative[i] = isdst and bool(near) and all(utoff < n for n in near)
        daylight[i] = isdst and not negative[i]

    def summer_side(j, k):
        # k, beside standard period j, is winter time or the same clock flagged as daylight
        return 0 <= k < count and (negative[k] or (flags[k] and periods[k][0] == periods[j][0]))

    for j in range(count):
        if flags[j]:
            continue
        for a, b in ((j - 1, j + 1), (j + 1, j - 1)):
            if 0 <= a < count and negative[a] and periods[j][0] > periods[a][0] and summer_side(j, b):
                daylight[j] = True

    result = []
    for i, (utoff, _) in enumerate(periods):
        if not daylight[i]:
            result.append((utoff, 0))
            continue
        savings = [utoff - near for near in (standard_near(i, daylight, -1), standard_near(i, daylight, 1))
                   if near is not None and 0 < utoff - near <= 3 * 3600]
        raw = utoff - min(savings) if savings else None
        if raw is None:
            raw = utoff - 3600  # no usable neighbour: an hour's saving keeps the flag right
        result.append((raw, utoff - raw))
    return result


class IcuZone:
    def __init__(self):
        self.initial = (0, 0)
        self.transitions = []  # [(utc, raw, dst)]
        self.final_rule = None  # 11 ints
        self.final_raw = 0
        self.final_year = 0


def rule_offset_at(posix, utc):
    year = year_of(utc)
    state = None
    for y in (year - 1, year):
        for t, utoff, isdst in posix.transitions(y):
            if t <= utc:
                state = (posix.std, utoff - posix.std if isdst else 0)
    if state is None:
        changes = posix.transitions(year - 2)
        state = (posix.std, changes[-1][1] - posix.std if changes[-1][2] else 0)
    return state


def rule_changes(posix, begin, end):
    """[(utc, raw, dst)] the rule makes in [begin, end)."""
    out = []
    for y in range(year_of(begin) - 1, year_of(end) + 2):
        for t, utoff, isdst in posix.transitions(y):
            if begin <= t < end:
                out.append((t, posix.std, utoff - posix.std if isdst else 0))
    return sorted(out)


def build_zone(transitions, types, footer):
    zone = IcuZone()
    # zic may write a first transition at the dawn of time; ICU's first type serves instead
    transitions = [(t, i) for t, i in transitions if t > -(1 << 40)]
    first_type = 0
    periods = [types[first_type]] + [types[i] for _, i in transitions]
    offsets = split_offsets(periods)
    zone.initial = offsets[0]
    changes = []
    state = zone.initial
    for (t, _), off in zip(transitions, offsets[1:]):
        if off != state:
            changes.append((t, off[0], off[1]))
            state = off

    posix = None
    if footer:
        try:
            posix = parse_posix(footer)
        except (ValueError, IndexError):
            print("tzif_to_icu: ignoring footer %r" % footer, file=sys.stderr)
    if posix is None or posix.dst is None:
        if posix is not None and (posix.std, 0) != state and not changes:
            zone.initial = (posix.std, 0)
        zone.transitions = changes
        return zone

    last = changes[-1][0] if changes else year_start(1970) - 1
    final_year = year_of(last) + 1
    # The footer governs after the last transition: its changes later in that year are kept.
    changes = changes + [c for c in rule_changes(posix, last + 1, year_start(final_year))
                         if (c[1], c[2]) != (changes[-1][1:] if changes else zone.initial)]

    def state_before(utc):
        s = zone.initial
        for t, raw, dst in changes:
            if t >= utc:
                break
            s = (raw, dst)
        return s

    # Move the start of the rule back over the years it already describes.
    while final_year > 1971:
        begin, end = year_start(final_year - 1), year_start(final_year)
        explicit = [c for c in changes if begin <= c[0] < end]
        if explicit != rule_changes(posix, begin, end) or state_before(begin) != rule_offset_at(posix, begin):
            break
        final_year -= 1

    start_rule = icu_date_rule(posix.start, posix.std)
    end_rule = icu_date_rule(posix.end, posix.dst)
    if start_rule is None or end_rule is None:
        # Not expressible in ICU's rule form: written out, ending in standard time.
        more = rule_changes(posix, year_start(final_year), year_start(EXPAND_UNTIL + 1))
        while more and more[-1][2] != 0:
            more.pop()
        zone.transitions = [c for c in changes if c[0] < year_start(final_year)] + more
        return zone
    zone.transitions = [c for c in changes if c[0] < year_start(final_year)]
    zone.final_rule = start_rule + end_rule + [posix.dst - posix.std]
    zone.final_raw = posix.std
    zone.final_year = final_year
    return zone


# ---------------------------------------------------------------------------------------------
# Reading the tree and writing the resource source


def zone_names(root):
    """{name: link target or None} from tzdata.zi, else from the TZif files in the tree."""
    index = os.path.join(root, "tzdata.zi")
    names = {}
    if os.path.isfile(index):
        with open(index, encoding="utf-8") as f:
            for line in f:
                fields = line.split()
                if len(fields) >= 2 and fields[0] in ("Z", "Zone"):
                    names[fields[1]] = None
                elif len(fields) >= 3 and fields[0] in ("L", "Link"):
                    names[fields[2]] = fields[1]
        return names
    for folder, dirs, files in os.walk(root):
        rel = os.path.relpath(folder, root)
        if rel == ".":
            dirs[:] = [d for d in dirs if d not in ("posix", "right")]
        for name in files:
            path = os.path.join(folder, name)
            try:
                with open(path, "rb") as f:
                    if f.read(4) != b"TZif":
                        continue
            except OSError:
                continue
            zone = os.path.normpath(os.path.join(rel, name))
            if zone not in ("localtime", "posixrules"):
                names[zone] = None
    return names


def tz_version(root):
    for path, prefix in (("tzdata.zi", "# version "), ("+VERSION", "")):
        try:
            with open(os.path.join(root, path), encoding="utf-8") as f:
                for line in f:
                    if line.startswith(prefix) and line.strip():
                        return line[len(prefix):].strip()
        except OSError:
            pass
    return "unknown"


def read_countries(root):
    countries = {}
    try:
        with open(os.path.join(root, "zone.tab"), encoding="utf-8") as f:
            for line in f:
                fields = line.rstrip("\n").split("\t")
                if not line.startswith("#") and len(fields) >= 3:
                    countries[fields[2]] = fields[0]
    except OSError:
        pass
    return countries


def signed32(value):
    value &= 0xFFFFFFFF
    return value - (1 << 32) if value > INT32_MAX else value


def ints(values):
    return ", ".join(str(v) for v in values)


def convert(root):
    names = zone_names(root)
    contents = {}
    zones = {}  # canonical name -> IcuZone
    links = {}  # alias -> canonical name
    for name, target in sorted(names.items()):
        if any(part in ("", ".", "..") for part in name.split("/")) or '"' in name:
            continue
        try:
            with open(os.path.join(root, name), "rb") as f:
                contents[name] = f.read()
        except OSError:
            continue

    def resolve(name):
        seen = set()
        while names.get(name) and name not in seen:
            seen.add(name)
            name = names[name]
        return name

    for name in sorted(contents):
        target = resolve(name)
        if target != name and target in contents and contents[target] == contents[name]:
            links[name] = target
            continue
        try:
            zones[name] = build_zone(*read_tzif(contents[name]))
        except TzifError as error:
            print("tzif_to_icu: skipping %s: %s" % (name, error), file=sys.stderr)
    # a link whose target could not be read is dropped with it
    links = {a: t for a, t in links.items() if t in zones}

    for name, posix in ICU_POSIX_ZONES.items():
        if name not in zones and name not in links:
            zones[name] = build_zone([], [(parse_posix(posix).std, False)], posix)
    if UNKNOWN_ZONE not in zones and UNKNOWN_ZONE not in links:
        zones[UNKNOWN_ZONE] = IcuZone()
    for alias, target in ICU_ALIASES.items():
        target = links.get(target, target)
        if alias not in zones and alias not in links and target in zones:
            links[alias] = target

    all_names = sorted(set(zones) | set(links))  # ICU finds ids by binary search
    index = {name: i for i, name in enumerate(all_names)}
    countries = read_countries(root)

    def region(name):
        if name in countries:
            return countries[name]
        if name in ICU_REGIONS:
            return ICU_REGIONS[name]
        return countries.get(links.get(name, ""), "001")

    rules = {}
    out = ["// Generated by scripts/tzif_to_icu.py from the tzdata in %s; do not edit." % root,
           "zoneinfo64:table(nofallback) {",
           ' TZVersion { "%s" }' % tz_version(root),
           " Zones:array {"]
    aliases_of = {}
    for alias, target in links.items():
        aliases_of.setdefault(target, []).append(index[alias])
    for name in all_names:
        if name in links:
            out.append("  /* %s */ :int { %d } //Z#%d" % (name, index[links[name]], index[name]))
            continue
        zone = zones[name]
        types = [zone.initial]
        type_map = []
        pre, mid, post = [], [], []
        for t, raw, dst in zone.transitions:
            if (raw, dst) not in types:
                types.append((raw, dst))
            type_map.append(types.index((raw, dst)))
            if t < INT32_MIN:
                pre += [signed32(t >> 32), signed32(t)]
            elif t > INT32_MAX:
                post += [signed32(t >> 32), signed32(t)]
            else:
                mid.append(t)
        if len(types) > 256:
            raise SystemExit("tzif_to_icu: %s has more than 256 offsets" % name)
        out.append("  /* %s */ :table {" % name)
        if pre:
            out.append("    transPre32:intvector { %s }" % ints(pre))
        if mid:
            out.append("    trans:intvector { %s }" % ints(mid))
        if post:
            out.append("    transPost32:intvector { %s }" % ints(post))
        out.append("    typeOffsets:intvector { %s }" % ints(v for pair in types for v in pair))
        if type_map:
            out.append("    typeMap:bin { \"%s\" }" % "".join("%02x" % i for i in type_map))
        if zone.final_rule:
            key = tuple(zone.final_rule)
            rule_name = rules.setdefault(key, "R%d" % len(rules))
            out.append('    finalRule { "%s" }' % rule_name)
            out.append("    finalRaw:int { %d }" % zone.final_raw)
            out.append("    finalYear:int { %d }" % zone.final_year)
        if name in aliases_of:
            out.append("    links:intvector { %s }" % ints(sorted(aliases_of[name] + [index[name]])))
        out.append("  } //Z#%d" % index[name])
    out.append(" }")
    out.append(" Names {")
    out += ['  "%s",' % name for name in all_names]
    out.append(" }")
    out.append(" Rules {")
    for key, rule_name in rules.items():
        out.append("  %s:intvector { %s }" % (rule_name, ints(key)))
    out.append(" }")
    out.append(" Regions {")
    out += ['  "%s", //Z#%d %s' % (region(name), index[name], name) for name in all_names]
    out.append(" }")
    out.append("}")
    return "\n".join(out) + "\n"


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--zoneinfo", default="/usr/share/zoneinfo")
    parser.add_argument("-o", "--output", default="-")
    args = parser.parse_args()
    text = convert(args.zoneinfo)
    if args.output == "-":
        sys.stdout.write(text)
    else:
        tmp = args.output + ".tmp"
        with open(tmp, "w", encoding="ascii") as f:
            f.write(text)
        os.replace(tmp, args.output)


if __name__ == "__main__":
    main()
