#!/usr/bin/env bash
# The Debian package as a user meets it: builds it from the release build,
# installs it with apt, plays the installed sample and a picture (the way the
# desktop entry's "Open with" starts it) under a virtual X server, and
# removes it again, checking that the file types come and go with it.
set -euo pipefail
cd "$(dirname "$0")/.."
build=$PWD/build/release
out=$(mktemp -d)
home=$(mktemp -d)
runtime=$(mktemp -d)
chmod 700 "$runtime"
sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
apt() { $sudo env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=600 -y -qq "$@"; }
cleanup() {
  dpkg-query -W duduri >/dev/null 2>&1 && apt purge duduri >/dev/null 2>&1 || true
  rm -rf "$out" "$home" "$runtime"
}
trap cleanup EXIT

cpack --config "$build/CPackConfig.cmake" -G DEB -B "$out" >/dev/null
deb=$(ls "$out"/duduri_*.deb)
echo "package: $(basename "$deb") ($(dpkg-deb -f "$deb" Installed-Size) KiB installed)"
apt install --no-install-recommends "$deb" >/dev/null

[ -x /usr/bin/duduri ] && [ -x /usr/bin/duduri-pack ]
[ -f /usr/share/mime/application/x-duduri-project.xml ]  # made by postinst
grep -q '^Exec=duduri %f$' /usr/share/applications/org.morvenhal.Duduri.desktop

play() {
  # The player ends by itself once its first game is on the screen.
  env -i PATH=/usr/bin:/bin HOME="$home" XDG_RUNTIME_DIR="$runtime" \
    DUDURI_EXIT_AFTER_FIRST_FRAME=1 \
    timeout 120 xvfb-run -a -s "-screen 0 1280x1024x24" duduri "$@"
}
play
echo "played the installed sample"
play /usr/share/icons/hicolor/256x256/apps/duduri.png
echo "played a PNG picture"
[ ! -e /usr/bin/highscorefile.dat ] || { echo "the player wrote into /usr/bin" >&2; exit 1; }

apt purge duduri >/dev/null
[ ! -e /usr/bin/duduri ] && [ ! -e /usr/share/duduri/sample.pzp ]
[ ! -f /usr/share/mime/application/x-duduri-project.xml ]  # dropped by postrm
echo "package installed, played and removed"
