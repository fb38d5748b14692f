#!/usr/bin/env bash
# Installs the build into a fresh prefix, as `cmake --install` would for a user, and checks what a
# desktop needs of it: the program, a desktop entry and AppStream metainfo that their validators
# accept, and the icon in every size of the hicolor theme.
set -euo pipefail
build=$1
prefix=$(mktemp -d)
# The install's list of files is what a user removes a real install by: it is put back as it was.
manifest=$build/install_manifest.txt
[ -f "$manifest" ] && cp "$manifest" "$prefix.manifest"
restore() {
  if [ -f "$prefix.manifest" ]; then mv "$prefix.manifest" "$manifest"; else rm -f "$manifest"; fi
  rm -rf "$prefix"
}
trap restore EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$prefix" >/dev/null
id=org.qwelto.Player
desktop=$prefix/share/applications/$id.desktop
metainfo=$prefix/share/metainfo/$id.metainfo.xml

[ -x "$prefix/bin/qwelto" ] || fail "bin/qwelto missing or not executable"
[ -f "$desktop" ] || fail "desktop entry missing"
[ -f "$metainfo" ] || fail "metainfo missing"
desktop-file-validate "$desktop" || fail "desktop-file-validate rejects the entry"
appstreamcli validate --no-net "$metainfo" || fail "appstreamcli rejects the metainfo"

grep -qx "Exec=$prefix/bin/qwelto %F" "$desktop" || fail "Exec does not start the installed program with files"
grep -qx "Icon=$id" "$desktop" || fail "Icon does not name the installed icon"
mime=$(sed -n 's/^MimeType=//p' "$desktop")
for type in audio/mpeg audio/x-wav audio/midi audio/x-ms-wma audio/ogg video/x-msvideo video/mpeg \
  video/x-ms-asf video/x-ms-wmv x-content/video-vcd audio/x-mpegurl audio/x-scpls \
  audio/flac audio/x-opus+ogg audio/mp4 video/mp4 video/x-matroska; do
  [[ ";$mime" == *";$type;"* ]] || fail "MimeType lacks $type"
  grep -q "<mediatype>$type</mediatype>" "$metainfo" || fail "metainfo lacks $type"
done

svg=$prefix/share/icons/hicolor/scalable/apps/$id.svg
[ -s "$svg" ] && grep -q '<svg' "$svg" || fail "scalable icon missing"
for size in 16 22 24 32 48 64 128 256; do
  png=$prefix/share/icons/hicolor/${size}x${size}/apps/$id.png
  [ -f "$png" ] || fail "icon ${size}x${size} missing"
  # The PNG header's width and height, big-endian, at bytes 16 to 23.
  read -r w h < <(od -An -tu1 -j16 -N8 "$png" | awk '{print $1*16777216+$2*65536+$3*256+$4, $5*16777216+$6*65536+$7*256+$8}')
  [ "$w" = "$size" ] && [ "$h" = "$size" ] || fail "icon ${size}x${size} is ${w}x${h}"
done
echo "installed and valid: $prefix"
