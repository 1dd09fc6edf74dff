#!/usr/bin/env bash
# Packs the already built tree with CPack into a temporary folder and checks the package:
# its name, the dependencies worked out from the linked libraries, its files, that its programs
# carry no path of the tree they were built in or from (in 8-bit or 16-bit strings), and lintian
# with no error. (scripts/package does the same from a Release tree of its own.)
set -euo pipefail
build=$1
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
for tool in cpack dpkg-deb dpkg-shlibdeps lintian strings; do
  command -v "$tool" >/dev/null || { echo "FAIL: $tool is needed (scripts/setup-deps)"; exit 1; }
done
(cd "$out" && cpack -G DEB --config "$build/CPackConfig.cmake" -B "$out") >"$out/cpack.log" 2>&1 || {
  cat "$out/cpack.log"
  exit 1
}
deb=$(ls "$out"/fundview_*_amd64.deb)
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for lib in libqt6widgets6 libqt6webenginewidgets6 libcurl4 libpcre2-8-0 qt6-qpa-plugins; do
  grep -q "$lib" <<<"$depends" || { echo "FAIL: $lib missing from Depends"; exit 1; }
done
contents=$(dpkg-deb -c "$deb")
grep -q ' ./usr/bin/fundview$' <<<"$contents" || { echo "FAIL: no usr/bin/fundview"; exit 1; }
grep -q ' ./usr/libexec/fundview/fundview-page$' <<<"$contents" ||
  { echo "FAIL: no usr/libexec/fundview/fundview-page"; exit 1; }
# The installed program finds its page process relative to itself only.
dpkg-deb -x "$deb" "$out/root"
source=$(cd "$(dirname "$0")/../.." && pwd)
for program in usr/bin/fundview usr/libexec/fundview/fundview-page; do
  for encoding in s l; do
    found=$(strings -a -e "$encoding" "$out/root/$program" |
      grep -F -e "$(realpath "$build")" -e "$source" | head -n 3 || true)
    [ -z "$found" ] || { echo "FAIL: $program carries a build path: $found"; exit 1; }
  done
done
lintian "$deb"
echo "package: $(basename "$deb") passes lintian"
