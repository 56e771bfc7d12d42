#!/bin/sh
# Installs the build into a temporary prefix and checks what lands where:
# the programs, the help page, the icon and a valid desktop entry; then the
# installed reader draws a page without a display.
# usage: check_install.sh BUILD_DIR SAMPLE_BOOK
set -eu
build=$1
book=$2
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null
for f in bin/rpv bin/rpvmark share/rpv/help.html \
         share/icons/hicolor/scalable/apps/rpv.svg share/applications/rpv.desktop; do
  [ -e "$prefix/$f" ] || { echo "not installed: $f"; exit 1; }
done
desktop=$prefix/share/applications/rpv.desktop
grep -qx 'MimeType=text/plain;text/html;' "$desktop" || { echo "MimeType missing"; exit 1; }
grep -q '^Name\[ja\]=' "$desktop" || { echo "no Japanese name"; exit 1; }
grep -qx 'Exec=rpv %f' "$desktop" || { echo "Exec line wrong"; exit 1; }
if command -v desktop-file-validate >/dev/null; then desktop-file-validate "$desktop"; fi
grep -q '<html lang="ja">' "$prefix/share/rpv/help.html" || { echo "help.html is not the help"; exit 1; }
mkdir "$prefix/home"
RPV_HOME=$prefix/home "$prefix/bin/rpv" --render "$prefix/page.png" "$book"
[ -s "$prefix/page.png" ] || { echo "installed rpv drew nothing"; exit 1; }
echo "install tree OK"
