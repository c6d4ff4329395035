#!/usr/bin/env bash
# Installs into a scratch root and checks that the menu entry and the metainfo are valid
# and that the program lands in a folder of its own.
set -euo pipefail
build_dir=$1
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
prefix=/opt/qc-test
DESTDIR="$root" cmake --install "$build_dir" --prefix "$prefix" >/dev/null

desktop="$root$prefix/share/applications/net.quillcount.Quillcount.desktop"
metainfo="$root$prefix/share/metainfo/net.quillcount.Quillcount.metainfo.xml"
test -x "$root$prefix/lib/quillcount/quillcount"
test -f "$root$prefix/share/icons/hicolor/scalable/apps/net.quillcount.Quillcount.svg"
grep -qx "Exec=$prefix/lib/quillcount/quillcount" "$desktop"
desktop-file-validate "$desktop"
appstreamcli validate --no-net "$metainfo" >/dev/null
echo "install layout and metadata valid"
