#!/usr/bin/env bash
# Builds the Debian package, checks its control data, installs it on this machine and starts the
# program as a clinician would: from its desktop entry's Exec line, as an ordinary user, with a
# sound server of that user's own and a display. A stand-in for xdg-open records what the
# program asks the desktop to open: F1 must open the installed manual, the record form's link
# the installed record form. The package and the user are removed again if they were not there.
#   check-package.sh <build folder>
# Installing needs root; elsewhere the test is skipped (exit 77).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)

if [ "${1:-}" = --as-clinician ]; then
  # Under the user's own sound server and display (see below).
  exec_line=$(sed -n 's/^Exec=//p' /usr/share/applications/com.corvane.ovrel.desktop)
  $exec_line &
  program=$!
  window=$(xdotool search --sync --onlyvisible --name '^OVREL$' | head -n 1)
  xdotool windowfocus --sync "$window" key F1
  for _ in $(seq 1 50); do grep -q 'Manual' "$OPENED" 2>/dev/null && break; sleep 0.1; done
  xdotool key alt+h d
  form=$(xdotool search --sync --onlyvisible --name '^Download Record Form$' | head -n 1)
  # The link, at the middle of its box in the window (1005, 1890, 2850, 435 twips).
  xdotool mousemove --window "$form" 162 140 click 1
  for _ in $(seq 1 50); do grep -q 'Record' "$OPENED" 2>/dev/null && break; sleep 0.1; done
  kill "$program"
  wait "$program" || true
  exit 0
fi

[ "$(id -u)" = 0 ] || { echo "installing the package needs root: skipped"; exit 77; }
build=$(cd "$1" && pwd)
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls -t "$build"/ovrel_*.deb | head -n 1)
control=$(dpkg-deb --field "$deb")
grep -q '^Package: ovrel$' <<<"$control"
grep -q '^Version: 3\.1\.0' <<<"$control"
grep -q '^Maintainer: .\+@' <<<"$control"
grep -q '^Description: .\+' <<<"$control"
grep -q '^Depends: .*libqt6widgets6' <<<"$control"
grep -q '^Depends: .*libportaudio2' <<<"$control"
# The sound servers' clients, a module the program loads when it first needs them.
grep -q '^Depends: .*libpulse0' <<<"$control"
grep -q '^Depends: .*libpipewire-0.3-0' <<<"$control"

user=ovrel-clinician
work=$(mktemp -d)
chmod 755 "$work"
had_package=$(dpkg-query -W -f='${Status}' ovrel 2>/dev/null | grep -c 'ok installed' || true)
had_user=$(id -u "$user" >/dev/null 2>&1 && echo 1 || echo 0)
cleanup() {
  [ "$had_package" = 1 ] || dpkg -r ovrel >/dev/null 2>&1 || true
  [ "$had_user" = 1 ] || userdel "$user" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
dpkg -i "$deb" >/dev/null
! ldd /usr/lib/ovrel/ovrel_backends.so | grep -q 'not found'
! ldd /usr/lib/ovrel/ovrel_recogniser.so | grep -q 'not found'
[ "$had_user" = 1 ] || useradd --no-create-home --shell /usr/sbin/nologin "$user"

mkdir -p "$work/home" "$work/opener"
chown "$user" "$work/home"
opened="$work/home/opened"
cat >"$work/opener/xdg-open" <<EOF
#!/bin/sh
printf '%s\n' "\$@" >>"$opened"
EOF
chmod 755 "$work/opener/xdg-open"
runuser -u "$user" -- env -i HOME="$work/home" PATH="$work/opener:/usr/bin:/bin" LANG=C.UTF-8 \
  OPENED="$opened" "$here/../sound/with-private-pulse.sh" \
  xvfb-run -a -s '-screen 0 1024x768x24' timeout 60 "$here/check-package.sh" --as-clinician

expected=$(printf '%s\n' "file:///usr/share/doc/ovrel/OVREL%20Manual.pdf" \
  "file:///usr/share/doc/ovrel/OVREL%20Record%20Form.pdf")
if [ "$(cat "$opened" 2>/dev/null)" != "$expected" ]; then
  echo "asked to open:" >&2
  cat "$opened" >&2 2>/dev/null || echo "(nothing)" >&2
  exit 1
fi
echo "package $(basename "$deb") installs and opens its manual and record form for an ordinary user"
