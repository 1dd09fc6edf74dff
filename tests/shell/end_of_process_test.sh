#!/usr/bin/env bash
# The end of the process, the program run on an X server without a window manager (CTest runs
# this under xvfb-run): its main window's X window destroyed without a close request (xdotool
# windowclose), SIGTERM and SIGINT each end it as closing the window does, with exit code 0.
set -euo pipefail
exe=$1
for tool in xdotool iconv; do
  command -v "$tool" >/dev/null || { echo "FAIL: $tool is needed (scripts/setup-deps)"; exit 1; }
done
[ -n "${DISPLAY:-}" ] || { echo "FAIL: no X server (run under xvfb-run)"; exit 1; }

root=$(mktemp -d)
pid=
cleanup() {
  [ -z "$pid" ] || kill -9 "$pid" 2>/dev/null || true
  rm -rf "$root"
}
trap cleanup EXIT
# A copy in a folder of its own keeps its settings beside it; every portal request is refused.
cp "$exe" "$root/fundview"
{
  printf '[门户]\r\n'
  for key in PORTAL_MAIN PORTAL_API PORTAL_F10 PORTAL_PUSH PORTAL_SUGGEST PORTAL_DATA FORUM_BASE \
    STEP_BASE; do
    printf '%s=http://127.0.0.1:9\r\n' "$key"
  done
} | iconv -f UTF-8 -t GBK >"$root/配置.ini"

# Job control: the program is started as a job of its own, with SIGINT not ignored.
set -m
failures=0
for end in windowclose TERM INT; do
  HOME="$root" XDG_CONFIG_HOME="$root/config" XDG_CACHE_HOME="$root/cache" \
    XDG_DATA_HOME="$root/data" QT_QPA_PLATFORM=xcb "$root/fundview" >"$root/$end.log" 2>&1 &
  pid=$!
  # (A search fails while windows of the run before are still going away: it is tried again.)
  window=
  for _ in $(seq 120); do
    window=$(xdotool search --onlyvisible --pid "$pid" 2>/dev/null | head -n 1 || true)
    [ -z "$window" ] || break
    sleep 0.5
  done
  if [ -z "$window" ]; then
    echo "FAIL: $end: no window shown"
    failures=$((failures + 1))
    continue
  fi
  if [ "$end" = windowclose ]; then
    xdotool windowclose "$window"
  else
    kill -s "$end" "$pid"
  fi
  for _ in $(seq 100); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  if kill -0 "$pid" 2>/dev/null; then
    echo "FAIL: $end: still running 10 s later"
    failures=$((failures + 1))
    kill -9 "$pid"
  fi
  code=0
  wait "$pid" || code=$?
  pid=
  [ "$code" -eq 0 ] || { echo "FAIL: $end: exit code $code"; failures=$((failures + 1)); }
done

[ "$failures" -eq 0 ] || exit 1
echo "end of process: all checks passed"
