#!/usr/bin/env bash
# Builds the Debian package, unpacks it into a temporary root, checks its control data, starts
# the program from there and checks that it finds the manual the package installed.
#   check-package.sh <build folder> <manual-lookup checker>
set -euo pipefail
build=$(cd "$1" && pwd)
checker=$2
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls -t "$build"/ovrel_*.deb | head -n 1)
control=$(dpkg-deb --field "$deb")
grep -q '^Package: ovrel$' <<<"$control"
grep -q '^Version: 3\.1\.0' <<<"$control"
grep -q '^Maintainer: .\+@' <<<"$control"
grep -q '^Description: .\+' <<<"$control"
grep -q '^Depends: .*libqt6widgets6' <<<"$control"
grep -q '^Depends: .*libportaudio2' <<<"$control"
dpkg-deb -x "$deb" "$root"

# Started from the unpacked tree, the program comes up and stays up.
export XDG_CONFIG_HOME="$root/config" QT_QPA_PLATFORM=offscreen
set +e
timeout 3 "$root/usr/bin/ovrel"
status=$?
set -e
if [ "$status" -ne 124 ]; then
  echo "the packaged program ended by itself (status $status)" >&2
  exit 1
fi
"$checker" "$root/usr/bin" "$root/usr/share/doc/ovrel/OVREL Manual.pdf"
echo "package $(basename "$deb") is sound"
