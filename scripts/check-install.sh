#!/usr/bin/env bash
# Installs a build into a fresh prefix, checks that every file lands in its
# place and that the desktop entry and the AppStream metainfo validate.
set -euo pipefail
build=${1:?usage: check-install.sh BUILD_DIR}
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null

expected=(
  bin/sonbridge
  bin/sonbridge-cli
  share/man/man1/sonbridge-cli.1
  share/sonbridge/manual.html
  share/sonbridge/translations/sonbridge_de.qm
  share/sonbridge/translations/sonbridge_fr.qm
  share/applications/example.quillmoor.Sonbridge.desktop
  share/metainfo/example.quillmoor.Sonbridge.metainfo.xml
  share/icons/hicolor/scalable/apps/sonbridge.svg
  share/icons/hicolor/48x48/apps/sonbridge.png
  share/icons/hicolor/128x128/apps/sonbridge.png
  share/icons/hicolor/256x256/apps/sonbridge.png
)
missing=0
for f in "${expected[@]}"; do
  if [ ! -e "$prefix/$f" ]; then
    echo "not installed: $f" >&2
    missing=1
  fi
done
desktop-file-validate "$prefix/share/applications/example.quillmoor.Sonbridge.desktop"
appstreamcli validate --no-net "$prefix/share/metainfo/example.quillmoor.Sonbridge.metainfo.xml"
exit "$missing"
