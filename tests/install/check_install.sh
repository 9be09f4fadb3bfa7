#!/usr/bin/env bash
# cmake --install into a temporary prefix, as a user's machine gets it: every file in its
# freedesktop place and passing the desktop's own validators, *.ocw opening in the player,
# and the installed editor finding its data and helper programs with no KELVARA_HOME, from
# a prefix it cannot write to.
#   check_install.sh BUILD_DIR
set -euo pipefail
build=$1
for tool in desktop-file-validate appstreamcli update-mime-database update-desktop-database \
  sox python3; do
  command -v "$tool" >/dev/null || { echo "$tool is needed"; exit 77; }
done
tmp=$(mktemp -d)
trap 'chmod -R u+w "$tmp"; rm -rf "$tmp"' EXIT
prefix=$tmp/usr
fail() { echo "FAIL: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$prefix" >/dev/null
for f in bin/orlo bin/plavo lib/kelvara/liborlo_core.so lib/kelvara/libfiltrel.so \
  lib/kelvara/waveconv share/kelvara/KVRA32.TXT share/kelvara/Orlo.html \
  share/kelvara/KVSFILTR.INI share/kelvara/KVSECHO.INI share/mime/packages/kelvara-ocw.xml; do
  [ -e "$prefix/$f" ] || fail "$f is not installed"
done
for app in org.kelvara.Orlo org.kelvara.Plavo; do
  desktop-file-validate "$prefix/share/applications/$app.desktop" || fail "$app.desktop"
  appstreamcli validate --no-net "$prefix/share/metainfo/$app.metainfo.xml" >/dev/null ||
    fail "$app.metainfo.xml"
  grep -q '<svg' "$prefix/share/icons/hicolor/scalable/apps/$app.svg" || fail "$app.svg"
done

# The file type: the MIME database knows *.ocw, and the player's launcher takes it.
update-mime-database "$prefix/share/mime"
grep -qx 'audio/x-ocw:\*\.ocw' "$prefix/share/mime/globs" || fail "no *.ocw glob"
update-desktop-database "$prefix/share/applications"
grep -q '^audio/x-ocw=.*org\.kelvara\.Plavo\.desktop' "$prefix/share/applications/mimeinfo.cache" ||
  fail "*.ocw does not open in the player"

# A wave file, and an OCW file made of it by the installed helper (r = 2: marker 22050).
mkdir -p "$tmp/work" "$tmp/home" "$tmp/run"
chmod 700 "$tmp/run"
sox -n -r 22050 -c 1 -b 16 "$tmp/work/tone.wav" synth 2 sine 440 gain -6
(cd "$tmp/work" && "$prefix/lib/kelvara/waveconv" tone.wav >/dev/null)
python3 - "$tmp/work/outadpcm.wav" "$tmp/work/tone.ocw" <<'PY'
import struct, sys
b = bytearray(open(sys.argv[1], 'rb').read())
at = 12
while b[at:at + 4] != b'fmt ':
    at += 8 + struct.unpack_from('<I', b, at + 4)[0]
struct.pack_into('<I', b, at + 16, 22050)
open(sys.argv[2], 'wb').write(b)
PY

chmod -R a-w "$prefix"
out=$(cd "$tmp/work" && env -u KELVARA_HOME HOME="$tmp/home" XDG_CONFIG_HOME="$tmp/home/.config" \
  XDG_DATA_HOME="$tmp/home/.local/share" XDG_RUNTIME_DIR="$tmp/run" KELVARA_RUNTIME_DIR="$tmp/run" \
  QT_QPA_PLATFORM=offscreen KELVARA_AUDIO=virtual \
  "$prefix/bin/orlo" --info tone.wav tone.ocw) || fail "the installed orlo failed: $out"
echo "$out"
data=$(cd "$prefix/share/kelvara" && pwd -P)/
grep -qxF "data folder  $data" <<<"$out" || fail "the data is not looked for in $data"
[ "$(grep -c 'duration     ' <<<"$out")" = 2 ] || fail "not both files opened"
grep -q 'duration     2.000 s' <<<"$out" || fail "the wave file's length"
# The OCW file went through the installed waveconv and came back at twice its coded length.
grep -qE 'duration     (3\.99|4\.00)[0-9] s' <<<"$out" || fail "the OCW file's length"
echo "install ok"
