#!/usr/bin/env bash
# Builds the Debian package and checks its control data: the Depends worked
# out by dpkg-shlibdeps name the libraries the programs link, the maintainer
# scripts are there, and the files land under /usr.
set -euo pipefail
build=$(cd "$1" && pwd)
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

cpack --config "$build/CPackConfig.cmake" -G DEB -B "$out" >/dev/null
deb=$(ls "$out"/duduri_*.deb)
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"

status=0
need() {
  if ! grep -q "$1" <<<"$depends"; then
    echo "Depends lacks $2 ($1)" >&2
    status=1
  fi
}
need 'libqt6widgets6' 'Qt Widgets'
need 'libqt6gui6' 'Qt GUI'
need 'libqt6core6' 'Qt Core'
need 'libjpeg62-turbo' 'libjpeg-turbo'
need 'zlib1g' 'zlib'
need 'qt6-qpa-plugins' 'the X11 platform plugin'
need 'libfluidsynth3' 'FluidSynth'
need 'libqt6multimedia6' 'Qt Multimedia'
# The page browser is a module the player loads on the first page; its
# libraries are the package's as much as the player's.
need 'libqt6webenginewidgets6' 'Qt WebEngine'

control=$(dpkg-deb -I "$deb")
grep -q ' postinst' <<<"$control" || { echo "no postinst" >&2; status=1; }
grep -q ' postrm' <<<"$control" || { echo "no postrm" >&2; status=1; }
files=$(dpkg-deb -c "$deb")
for f in ./usr/bin/duduri ./usr/bin/duduri-pack ./usr/share/duduri/sample.pzp \
         ./usr/lib/duduri/libduduri-pages.so \
         ./usr/share/applications/org.morvenhal.Duduri.desktop; do
  grep -q " $f\$" <<<"$files" || { echo "package lacks $f" >&2; status=1; }
done
exit $status
