#!/usr/bin/env bash
# Packs the build as a Debian package, installs it with apt-get into a fresh Debian 12 root,
# runs from there what a user runs (the version, a print, the window through its desktop
# entry, on Xvfb), then removes it and looks for anything it left.
#   debian_package_test.sh BUILD-FOLDER
# The root (debootstrap --variant=minbase) is made once and kept in NELVO_TEST_ROOT_CACHE
# (default /var/cache/nelvo-test-root) with the packages apt downloads; each run installs
# into a fresh copy of it.
set -euo pipefail
build=$(realpath "$1")
cache=${NELVO_TEST_ROOT_CACHE:-/var/cache/nelvo-test-root}
skip() {
  echo "skipped: $*"
  exit 77
}
[ "$(id -u)" -eq 0 ] || skip "installing into a Debian root needs root (debootstrap, chroot)"
for tool in debootstrap dpkg-shlibdeps cpack Xvfb; do
  command -v "$tool" >/dev/null || skip "$tool is missing (scripts/install-deps installs it)"
done

# The Debian mirror apt uses here.
mirror=$({ grep -hoE 'https?://[^ ]+/debian/?( |$)' /etc/apt/sources.list /etc/apt/sources.list.d/* 2>/dev/null || true; } |
  head -1 | tr -d ' ')
mirror=${mirror%/}
mirror=${mirror:-http://deb.debian.org/debian}

if [ ! -e "$cache/base/.complete" ]; then
  echo "making the Debian 12 root in $cache/base (once)"
  rm -rf "$cache/base.new"
  mkdir -p "$cache"
  if ! debootstrap --variant=minbase bookworm "$cache/base.new" "$mirror" >"$cache/debootstrap.log" 2>&1; then
    tail -5 "$cache/debootstrap.log"
    skip "debootstrap cannot make a root from $mirror (see $cache/debootstrap.log)"
  fi
  rm -rf "$cache/base"
  mv "$cache/base.new" "$cache/base"
  touch "$cache/base/.complete"
fi

work=$(mktemp -d /var/tmp/nelvo-package-test.XXXXXX)
root=$work/root
mounts=()
cleanup() {
  for ((i = ${#mounts[@]} - 1; i >= 0; i--)); do umount -l "${mounts[i]}" 2>/dev/null || true; done
  [ -n "${xvfb:-}" ] && kill "$xvfb" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
bind() {  # bind SOURCE TARGET-IN-ROOT
  mkdir -p "$root$2"
  mount --bind "$1" "$root$2"
  mounts+=("$root$2")
}

echo "packing"
(cd "$work" && cpack --config "$build/CPackConfig.cmake" -B "$work/deb" >cpack.log 2>&1) || {
  cat "$work/cpack.log"
  exit 1
}
deb=$(ls "$work"/deb/nelvo_*.deb)
dpkg-deb --field "$deb" Version Depends Recommends
version=$(dpkg-deb --field "$deb" Version)

cp -a "$cache/base" "$root"
mkdir -p "$cache/archives/partial"
bind "$cache/archives" /var/cache/apt/archives
bind /proc /proc
# Debian's own suites, as this machine has them.
security=${mirror%/debian}/debian-security
printf 'deb %s bookworm main\ndeb %s bookworm-updates main\ndeb %s bookworm-security main\n' \
  "$mirror" "$mirror" "$security" >"$root/etc/apt/sources.list"
cp "$deb" "$root/tmp/"
in_root() { chroot "$root" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/tmp/home LANG=C.UTF-8 "$@"; }

listing() {  # every file of the root but apt's and dpkg's own records and the scratch folders
  (cd "$root" && find . -xdev \( -path ./proc -o -path ./tmp -o -path ./var/tmp -o -path ./var/cache/apt \
    -o -path ./var/lib/apt -o -path ./var/lib/dpkg -o -path ./var/log -o -path ./run -o -path ./dev \) -prune \
    -o -print | sort)
}

echo "installing with apt-get"
in_root apt-get update -qq >"$work/apt.log" 2>&1 || {
  tail -5 "$work/apt.log"
  skip "apt-get cannot reach $mirror"
}
listing >"$work/before"
if ! in_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "/tmp/$(basename "$deb")" >>"$work/apt.log" 2>&1; then
  tail -20 "$work/apt.log"
  exit 1
fi

status=0
fail() {
  echo "FAILED: $*"
  status=1
}
mkdir -p "$root/tmp/home"
shown=$(in_root nelvo --version) || fail "nelvo --version exits $?"
echo "$shown"
[[ $shown == "nelvo $version"* ]] || fail "nelvo --version does not show the package's version $version"
[[ $shown == *"(/usr/share/nelvo/zoneinfo)"* ]] || fail "the installed program does not use its installed zone rules"
metainfo=$root/usr/share/metainfo/app.nelvo.Nelvo.metainfo.xml
grep -q "<release version=\"$version\"" "$metainfo" || fail "the metainfo's release is not $version"
printed=$(in_root env TZ=America/Los_Angeles nelvo print --demo --now 2025-03-03T08:00:00-08:00) ||
  fail "nelvo print --demo exits $?"
[[ $printed == *"Monday, March 3"* ]] || fail "nelvo print --demo printed: $printed"
file "$root/usr/bin/nelvo" | grep -q "not stripped" && fail "the installed program is not stripped"

# The window, started as the desktop starts it: the desktop entry's Exec line.
display=:$((90 + RANDOM % 9))
Xvfb "$display" -nolisten tcp -screen 0 1280x800x24 >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 100); do [ -e "/tmp/.X11-unix/X${display#:}" ] && break; sleep 0.1; done
bind /tmp/.X11-unix /tmp/.X11-unix
exec_line=$(sed -n 's/^Exec=//p' "$root/usr/share/applications/app.nelvo.Nelvo.desktop" | head -1)
read -r -a command <<<"${exec_line//%[fFuUick]/}"
painted=$(in_root env DISPLAY="$display" NELVO_REPORT_FIRST_PAINT=1 timeout 60 "${command[@]}" 2>"$work/window.err") ||
  { cat "$work/window.err"; fail "the window (${command[*]}) exits $?"; }
[ "$painted" = painted ] || fail "the window did not paint its first frame: $painted"

echo "removing"
installed=$(in_root dpkg -L nelvo)
in_root env DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq nelvo >>"$work/apt.log" 2>&1 || fail "apt-get purge nelvo failed"
for path in $installed; do
  [ -e "$root$path" ] && [ ! -d "$root$path" ] && fail "left behind: $path"
done
listing >"$work/after"
left=$(comm -13 "$work/before" "$work/after" | grep -i nelvo || true)
[ -z "$left" ] || fail "left behind: $left"
[ $status -eq 0 ] && echo "installed, ran and removed cleanly"
exit $status
