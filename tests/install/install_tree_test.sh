#!/usr/bin/env bash
# Installs the build tree into a temporary DESTDIR and checks that the program, its menu
# entry, icons, metainfo and manual page are there and pass their validators. A validator that
# is not installed is skipped with a message; the other checks still run.
set -euo pipefail
build=$1
dest=$(mktemp -d)
trap 'rm -rf "$dest"' EXIT
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

DESTDIR="$dest" cmake --install "$build" --prefix /usr >"$dest.log" 2>&1 || {
  cat "$dest.log"
  rm -f "$dest.log"
  exit 1
}
rm -f "$dest.log"
root="$dest/usr"

[ -x "$root/bin/fundview" ] || fail "bin/fundview missing or not executable"
for f in share/applications/fundview.desktop share/metainfo/fundview.metainfo.xml \
  share/icons/hicolor/scalable/apps/fundview.svg share/man/man1/fundview.1.gz \
  share/doc/fundview/copyright share/doc/fundview/changelog.gz; do
  [ -s "$root/$f" ] || fail "$f missing"
done
for size in 48 128 256; do
  icon="$root/share/icons/hicolor/${size}x${size}/apps/fundview.png"
  if ! file "$icon" 2>/dev/null | grep -q "PNG image data, $size x $size"; then
    fail "icon $icon is not a $size x $size PNG"
  fi
done
# The process that shows the web page, where the program looks for it.
[ -x "$root/libexec/fundview/fundview-page" ] || fail "libexec/fundview/fundview-page missing"
# Nothing but the program's own files: no test programs, no simulated portal.
extra=$(cd "$dest" && find . -type f | grep -v -e '^./usr/bin/fundview$' -e '^./usr/share/' \
  -e '^./usr/libexec/fundview/fundview-page$' || true)
[ -z "$extra" ] || fail "unexpected files installed: $extra"

entry="$root/share/applications/fundview.desktop"
for line in 'Name=fundview' 'Name[zh_CN]=基金浏览' 'Exec=fundview' 'Icon=fundview' \
  'Categories=Office;Finance;'; do
  grep -qxF "$line" "$entry" || fail "menu entry lacks $line"
done

if command -v desktop-file-validate >/dev/null; then
  out=$(desktop-file-validate "$entry" 2>&1) || fail "desktop-file-validate: $out"
  [ -z "$out" ] || fail "desktop-file-validate: $out"
else
  echo "SKIP: desktop-file-validate is not installed (package desktop-file-utils)"
fi
if command -v appstreamcli >/dev/null; then
  appstreamcli validate --no-net "$root/share/metainfo/fundview.metainfo.xml" ||
    fail "appstreamcli validate"
else
  echo "SKIP: appstreamcli is not installed (package appstream)"
fi
if command -v man >/dev/null; then
  # man prints groff's warnings on standard error.
  warnings=$(man --warnings -l "$root/share/man/man1/fundview.1.gz" 2>&1 >/dev/null) ||
    fail "man could not format the page"
  [ -z "$warnings" ] || fail "man page warnings: $warnings"
else
  echo "SKIP: man is not installed (package man-db)"
fi
if command -v lexgrog >/dev/null; then
  lexgrog "$root/share/man/man1/fundview.1.gz" | grep -q 'fundview - ' ||
    fail "lexgrog finds no NAME line"
else
  echo "SKIP: lexgrog is not installed (package man-db)"
fi

[ "$failures" -eq 0 ] || exit 1
echo "install tree: all checks passed"
