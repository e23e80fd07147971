#!/usr/bin/env bash
# Installs the build into a scratch prefix and checks what the desktop reads
# there: every file in place, the desktop entry and AppStream data valid, the
# .kt9 type known to the MIME database, the icons of the size they claim.
# Usage: check_install_tree.sh BUILD_DIR
set -euo pipefail
build=$1
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
cmake --install "$build" --prefix "$tmp/usr" >/dev/null
usr=$tmp/usr
id=example.kestrin_alarms.kestrin_pro

expect=(bin/kestrin-pro share/kestrin-pro/Info.bmp share/kestrin-pro/Logo.bmp
        share/kestrin-pro/Default.kt9 share/applications/$id.desktop
        share/metainfo/$id.metainfo.xml share/mime/packages/$id.xml
        share/icons/hicolor/scalable/apps/$id.svg lib/udev/rules.d/70-kestrin-pro.rules)
for s in 16 22 24 32 48 64 128 256; do expect+=(share/icons/hicolor/${s}x$s/apps/$id.png); done
for exe in "$usr"/bin/*; do expect+=(share/man/man1/$(basename "$exe").1.gz); done
status=0
for f in "${expect[@]}"; do
  [ -s "$usr/$f" ] || { echo "not installed: $f"; status=1; }
done

desktop-file-validate "$usr/share/applications/$id.desktop" || status=1
grep -qx 'Exec=kestrin-pro %f' "$usr/share/applications/$id.desktop" ||
  { echo "the desktop entry does not pass the file"; status=1; }
appstreamcli validate --no-net --no-color "$usr/share/metainfo/$id.metainfo.xml" >"$tmp/as.txt" ||
  { cat "$tmp/as.txt"; status=1; }

update-mime-database "$usr/share/mime"
grep -q '^[0-9]*:application/x-kestrin-tq9:\*\.kt9$' "$usr/share/mime/globs2" ||
  { echo "*.kt9 is not application/x-kestrin-tq9"; status=1; }
grep -q 'MimeType=application/x-kestrin-tq9;' "$usr/share/applications/$id.desktop" ||
  { echo "the utility does not handle its own file type"; status=1; }

python3 - "$usr/share/icons/hicolor" <<'PY' || status=1
import os, struct, sys
root, bad = sys.argv[1], 0
for folder in os.listdir(root):
    if folder == "scalable":
        continue
    for name in os.listdir(os.path.join(root, folder, "apps")):
        with open(os.path.join(root, folder, "apps", name), "rb") as f:
            head = f.read(24)
        w, h = struct.unpack(">II", head[16:24])
        if head[:8] != b"\x89PNG\r\n\x1a\n" or "%dx%d" % (w, h) != folder:
            print("icon %s/%s is %dx%d" % (folder, name, w, h))
            bad = 1
sys.exit(bad)
PY
exit $status
