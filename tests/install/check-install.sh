#!/usr/bin/env bash
# Installs the build into a temporary root and checks that everything lands in its standard
# place and that the desktop entry and the AppStream metainfo validate.
#   check-install.sh <build folder>
set -euo pipefail
build=$1
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
DESTDIR="$root" cmake --install "$build" --prefix /usr >/dev/null
share="$root/usr/share"
test -x "$root/usr/bin/ovrel"
test -s "$root/usr/bin/../lib/ovrel/ovrel_backends.so"  # where the program looks for it
test -s "$root/usr/bin/../lib/ovrel/ovrel_recogniser.so"
test -s "$share/doc/ovrel/OVREL Manual.pdf"
test -s "$share/doc/ovrel/OVREL Record Form.pdf"
for size in 32 48 64 128 256; do
  test -s "$share/icons/hicolor/${size}x${size}/apps/com.corvane.ovrel.png"
done
hints=$(desktop-file-validate "$share/applications/com.corvane.ovrel.desktop")
if [ -n "$hints" ]; then echo "$hints" >&2; exit 1; fi
appstreamcli validate --no-net --pedantic "$share/metainfo/com.corvane.ovrel.metainfo.xml"
echo "installed layout and metadata valid"
