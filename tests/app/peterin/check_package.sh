#!/usr/bin/env bash
# Checks a built Debian package: exactly the expected files, dependencies worked out from the
# binaries, and no lintian errors.
set -euo pipefail
deb=$1
expected=$(cat <<'LIST'
./usr/bin/peterin
./usr/bin/peterin-sim
./usr/share/applications/org.peterin.peterin.desktop
./usr/share/doc/peterin/changelog.gz
./usr/share/doc/peterin/copyright
./usr/share/doc/peterin/examples/puzzle_two_chain.dat
./usr/share/doc/peterin/examples/three_chain.dat
./usr/share/doc/peterin/examples/two_players_with_saves.dat
./usr/share/doc/peterin/説明書.txt
./usr/share/icons/hicolor/128x128/apps/org.peterin.peterin.png
./usr/share/icons/hicolor/16x16/apps/org.peterin.peterin.png
./usr/share/icons/hicolor/24x24/apps/org.peterin.peterin.png
./usr/share/icons/hicolor/256x256/apps/org.peterin.peterin.png
./usr/share/icons/hicolor/32x32/apps/org.peterin.peterin.png
./usr/share/icons/hicolor/48x48/apps/org.peterin.peterin.png
./usr/share/icons/hicolor/64x64/apps/org.peterin.peterin.png
./usr/share/icons/hicolor/scalable/apps/org.peterin.peterin.svg
./usr/share/man/man1/peterin-sim.1.gz
./usr/share/man/man1/peterin.1.gz
./usr/share/metainfo/org.peterin.peterin.metainfo.xml
./usr/share/peterin/画像/Buttle.bmp
./usr/share/peterin/画像/Edit.bmp
./usr/share/peterin/画像/Play.bmp
./usr/share/peterin/画像/プラス.bmp
./usr/share/peterin/画像/マイナス.bmp
./usr/share/peterin/画像/全もるん削除.bmp
./usr/share/peterin/画像/大.bmp
./usr/share/peterin/画像/小.bmp
./usr/share/peterin/画像/岩.bmp
./usr/share/peterin/画像/落下.bmp
LIST
)
status=0
actual=$(dpkg-deb --fsys-tarfile "$deb" | tar -t | grep -v '/$' | LC_ALL=C sort)
if ! diff <(echo "$expected" | LC_ALL=C sort) <(echo "$actual"); then
  echo "the package's files differ from the expected list (< expected, > packaged)" >&2
  status=1
fi
depends=$(dpkg-deb -f "$deb" Depends)
for library in libqt6widgets6 libqt6gui6 libqt6core6 libstdc++6 libc6; do
  if ! grep -q "\b$library\b" <<<"$depends"; then
    echo "Depends lacks $library: $depends" >&2
    status=1
  fi
done
if ! lintian --fail-on error "$deb"; then
  echo "lintian found errors in $deb" >&2
  status=1
fi
[ $status -eq 0 ] && echo "package $deb: files, dependencies and lintian passed"
exit $status
