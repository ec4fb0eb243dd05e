#!/usr/bin/env bash
# Which shared libraries each kind of `nelvo` run loads, from the dynamic loader's own
# report: printing loads none of the window's, the desktop calendars' or the picture's, and
# each of those loads its own only when the run needs it.
#   loaded_libraries_test.sh NELVO
set -uo pipefail
binary=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_DATA_HOME=$work/home/.local/share
export TMPDIR=$work TZ=America/Los_Angeles LANG=C.UTF-8
mkdir -p "$HOME"
# No session bus: desktop calendars are looked for, and none answer at once.
export DBUS_SESSION_BUS_ADDRESS=unix:path=$work/no-bus
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM
now=(--now 2025-03-03T08:00:00-08:00 --days 5)
printf 'BEGIN:VCALENDAR\r\nVERSION:2.0\r\nBEGIN:VEVENT\r\nUID:a@test\r\nDTSTART:20250303T170000Z\r\nDTEND:20250303T180000Z\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n' >"$work/team.ics"

# The window's, the desktop calendars' (Evolution Data Server), the calendar addresses'
# (Qt Network) and what only they bring.
window='libQt6(Widgets|Multimedia|Svg)'
desktop='lib(ecal|edataserver|ebackend|camel|soup|nss3|nssutil3|smime3|krb5|gssapi_krb5)[-.]'
network='lib(Qt6Network|proxy)[.]'
sound='lib(pulse|sndfile|FLAC|vorbis|opus|mp3lame)'
picture='libQt6Gui'

status=0
# run NAME COMMAND...: runs it with the loader reporting; the files it loaded go to NAME.
run() {
  local name=$1
  shift
  LD_DEBUG=files LD_DEBUG_OUTPUT="$work/$name.ld" timeout 120 "$@" >"$work/$name.out" 2>"$work/$name.err"
  local code=$?
  sed -n 's/.*[[:space:]]file=\([^ ]*\) .*/\1/p' "$work/$name".ld.* | xargs -n1 basename | sort -u >"$work/$name"
  echo "$name: exit $code, $(wc -l <"$work/$name") shared objects"
  if [ $code -ne 0 ]; then
    echo "  $name failed:"; sed 's/^/    /' "$work/$name.err"
    status=1
  fi
}
lacks() {  # lacks NAME PATTERN WHAT
  local found
  found=$(grep -E "$2" "$work/$1")
  if [ -n "$found" ]; then
    echo "  $1 loads $3:" $found
    status=1
  fi
}
has() {  # has NAME PATTERN WHAT
  if ! grep -qE "$2" "$work/$1"; then
    echo "  $1 does not load $3"
    status=1
  fi
}

run print-demo "$binary" print --demo "${now[@]}"
run print-calendar "$binary" print --calendar "$work/team.ics" "${now[@]}"
for name in print-demo print-calendar; do
  lacks $name "$window" "the window's libraries"
  lacks $name "$desktop" "the desktop calendars' libraries"
  lacks $name "$network" "Qt Network"
  lacks $name "$sound" "sound libraries"
  lacks $name "$picture" "Qt Gui"
done

run picture "$binary" print --demo "${now[@]}" --format png -o "$work/week.png"
has picture "$picture" "Qt Gui"
lacks picture "$window" "the window's libraries"
lacks picture "$desktop" "the desktop calendars' libraries"

modules=$(dirname "$binary")/../lib/nelvo
if [ -e "$modules/desktop-calendars.so" ]; then
  run print-desktop "$binary" print "${now[@]}"
  has print-desktop 'libecal-2.0' "Evolution Data Server"
  lacks print-desktop "$window" "the window's libraries"
else
  echo "print-desktop: skipped, built without the desktop calendars"
fi

# The window starts offscreen and quits after its first frame.
QT_QPA_PLATFORM=offscreen NELVO_REPORT_FIRST_PAINT=1 run window "$binary" --demo
has window 'libQt6Widgets' "Qt Widgets"
[ $status -eq 0 ] && echo "every run loads what it needs and no more"
exit $status
