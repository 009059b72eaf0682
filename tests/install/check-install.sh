#!/usr/bin/env bash
# Installs a build into a temporary prefix and checks what a desktop needs:
# every file in its place, a desktop entry and metainfo that validate, MIME
# types that compile, and a player and tool that find their data from there.
set -euo pipefail
build=$1
source=$2
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT

cmake --install "$build" --prefix "$prefix" >/dev/null

status=0
expect() {
  if [ ! -s "$prefix/$1" ]; then
    echo "missing from the install: $1" >&2
    status=1
  fi
}
expect bin/duduri
expect bin/duduri-pack
expect share/duduri/all.pzjc
expect share/duduri/sample.pzp
expect share/duduri/samples/style-19.pzp
expect share/applications/org.morvenhal.Duduri.desktop
expect share/metainfo/org.morvenhal.Duduri.metainfo.xml
expect share/mime/packages/duduri.xml
for size in 48 64 128 256; do expect "share/icons/hicolor/${size}x${size}/apps/duduri.png"; done
expect share/icons/hicolor/scalable/apps/duduri.svg
expect share/man/man6/duduri.6.gz
expect share/man/man1/duduri-pack.1.gz
[ -x "$prefix/bin/duduri" ] || { echo "bin/duduri is not executable" >&2; status=1; }
[ $status -eq 0 ] || exit 1

desktop-file-validate "$prefix/share/applications/org.morvenhal.Duduri.desktop"
appstreamcli validate --no-net --no-color "$prefix/share/metainfo/org.morvenhal.Duduri.metainfo.xml" >/dev/null
entry="$prefix/share/applications/org.morvenhal.Duduri.desktop"
grep -qx 'Categories=Game;LogicGame;' "$entry"
for type in application/x-duduri-project image/jpeg image/bmp image/png image/webp image/gif; do
  grep -q "^MimeType=.*$type;" "$entry" || { echo "desktop entry lacks $type" >&2; exit 1; }
done

# The MIME types compile into a database with both types in it.
update-mime-database "$prefix/share/mime"
[ -f "$prefix/share/mime/application/x-duduri-project.xml" ]
[ -f "$prefix/share/mime/application/x-duduri-saved-game.xml" ]
grep -q '\*\.pzp' "$prefix/share/mime/globs2"
grep -q '\*\.jsw' "$prefix/share/mime/globs2"

# The icon sizes are what their folders say.
for size in 48 64 128 256; do
  file "$prefix/share/icons/hicolor/${size}x${size}/apps/duduri.png" | grep -q "$size x $size"
done

# The installed tool finds the installed template set: a package written
# there reads its master set from share/duduri.
work=$(mktemp -d)
trap 'rm -rf "$prefix" "$work"' EXIT
cp "$source/data/harbour.jpg" "$work/"
(cd "$work" && "$prefix/bin/duduri-pack" create out.pzp harbour.jpg >/dev/null)
"$prefix/bin/duduri-pack" info "$work/out.pzp" | grep -qi "picture"
echo "install layout ok"
