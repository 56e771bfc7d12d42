#!/usr/bin/env bash
# Builds the Debian package (build/rpv_VERSION_ARCH.deb) and lists what it
# holds. With INSTALL=1 (as root) it also installs the package, draws a page
# with the installed rpv, starts the window from its desktop entry under
# Xvfb, and removes the package again.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${BUILD_DIR:-build}
scripts/deps.sh
scripts/build.sh "$@"
(cd "$BUILD_DIR" && cpack -G DEB)
deb=$(ls -t "$BUILD_DIR"/rpv_*.deb | head -n 1)
dpkg-deb -I "$deb"
dpkg-deb -c "$deb"
for f in ./usr/bin/rpv ./usr/bin/rpvmark ./usr/share/rpv/help.html \
         ./usr/share/applications/rpv.desktop ./usr/share/icons/hicolor/scalable/apps/rpv.svg; do
  dpkg-deb -c "$deb" | grep -q " $f\$" || { echo "package lacks $f"; exit 1; }
done
echo "package: $deb"
[ "${INSTALL:-0}" = 1 ] || exit 0

export DEBIAN_FRONTEND=noninteractive
apt-get install -y -qq "./$deb"
trap 'dpkg -r rpv >/dev/null' EXIT
home=$(mktemp -d)
RPV_HOME=$home rpv --render "$home/page.png" samples/sample.sjis.txt
# The desktop entry's own command line, with the book for %f.
exec_line=$(sed -n 's/^Exec=//p' /usr/share/applications/rpv.desktop)
cmd=${exec_line/\%f/samples/sample.sjis.txt}
RPV_HOME=$home timeout 5 xvfb-run -a $cmd && rc=0 || rc=$?
[ "$rc" = 124 ] || { echo "rpv from its desktop entry ended with $rc instead of running"; exit 1; }
echo "installed, started from its desktop entry and removed: OK"
