#!/usr/bin/env bash
# Builds the Debian package from a build folder, unpacks it into a staging root, and starts the
# installed program there as a user without rights, from a read-only program folder, under its
# own X server: it must create its data folder in the user's home and show the login page.
# Usage: packaging/check-package.sh BUILD-FOLDER
set -euo pipefail
build=$(cd "$1" && pwd)
work=$(mktemp -d)
cleanup() {
  [ -n "${prog_pid:-}" ] && kill "$prog_pid" 2>/dev/null || true
  [ -n "${x_pid:-}" ] && kill "$x_pid" 2>/dev/null || true
  chmod -R u+w "$work" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

(cd "$build" && cpack -G DEB -B "$work/pkg" >"$work/cpack.log" 2>&1) || { cat "$work/cpack.log"; exit 1; }
deb=$(ls "$work"/pkg/travimo_*.deb)
dpkg-deb --field "$deb" Depends | grep -q fonts-wqy-microhei || { echo "the package does not depend on the fonts"; exit 1; }
dpkg-deb -x "$deb" "$work/root"
for f in usr/bin/travimo usr/lib/travimo/Travimo usr/lib/travimo/Skin usr/lib/travimo/Language/English.lng \
         usr/share/applications/travimo.desktop usr/share/icons/hicolor/48x48/apps/travimo.png usr/bin/travimo-pedometer; do
  [ -e "$work/root/$f" ] || { echo "missing in the package: $f"; exit 1; }
done
grep -q '^Exec=travimo$' "$work/root/usr/share/applications/travimo.desktop"

# A person without rights, with a home of their own; the program folder read-only.
user=$(id -un); run=()
if [ "$(id -u)" -eq 0 ]; then
  user=nobody
  run=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
fi
home="$work/home"; mkdir -p "$home/rt" "$home/tmp"; chmod 700 "$home/rt"
chown -R "$user" "$home"
chmod -R a-w "$work/root/usr/lib/travimo"
chmod a+rx "$work" "$work/root"
before=$(find "$work/root/usr/lib/travimo" | sort | md5sum)

display=:$(( 150 + RANDOM % 400 ))
Xvfb "$display" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
x_pid=$!
sleep 1
env -i PATH=/usr/bin:/bin HOME="$home" XDG_RUNTIME_DIR="$home/rt" TMPDIR="$home/tmp" DISPLAY="$display" \
    ASAN_OPTIONS=detect_leaks=0 "${run[@]}" "$work/root/usr/bin/travimo" >"$work/program.log" 2>&1 &
prog_pid=$!

store="$home/.local/share/Travimo/User.db"
shown=""
for _ in $(seq 1 120); do
  if [ -f "$store" ] && DISPLAY="$display" xwininfo -root -tree 2>/dev/null | grep -Eq '"Travimo": \(.*\) +448x336'; then
    shown=yes; break
  fi
  kill -0 "$prog_pid" 2>/dev/null || break
  sleep 0.5
done
if [ -z "$shown" ]; then
  echo "the installed program did not show its login page with its store in the user's data folder"
  cat "$work/program.log"
  DISPLAY="$display" xwininfo -root -tree 2>/dev/null | grep -i travimo || true
  ls -la "$home/.local/share/Travimo" 2>/dev/null || true
  exit 1
fi
after=$(find "$work/root/usr/lib/travimo" | sort | md5sum)
[ "$before" = "$after" ] || { echo "the program wrote into its program folder"; exit 1; }
echo "installed program started as $user from a read-only program folder; data in $home/.local/share/Travimo"
