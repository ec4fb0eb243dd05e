#!/usr/bin/env bash
# Installs the build into a temporary prefix and validates what the desktop reads.
#   desktop_files_test.sh BUILD-FOLDER
set -euo pipefail
build=$1
for tool in desktop-file-validate appstreamcli; do
  if ! command -v "$tool" >/dev/null; then
    echo "skipped: $tool is missing (scripts/install-deps installs it)"
    exit 77
  fi
done
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null

status=0
for file in bin/nelvo lib/nelvo/window.so lib/nelvo/desktop-calendars.so lib/nelvo/picture.so \
            lib/nelvo/web-calendars.so \
            share/applications/app.nelvo.Nelvo.desktop \
            share/icons/hicolor/scalable/apps/app.nelvo.Nelvo.svg \
            share/metainfo/app.nelvo.Nelvo.metainfo.xml; do
  if [ ! -e "$prefix/$file" ]; then
    echo "not installed: $file"
    status=1
  fi
done
[ $status -eq 0 ] || exit $status

desktop-file-validate "$prefix/share/applications/app.nelvo.Nelvo.desktop"
appstreamcli validate --no-net --explain "$prefix/share/metainfo/app.nelvo.Nelvo.metainfo.xml"
# The icon is a well-formed SVG picture.
grep -q '<svg' "$prefix/share/icons/hicolor/scalable/apps/app.nelvo.Nelvo.svg"
echo "installed and valid"
