#!/usr/bin/env bash
# The program run as an unprivileged user (nobody when this runs as root), on a private X
# server, with a temporary home:
#   - from a read-only folder it keeps its settings in $XDG_CONFIG_HOME/fundview/配置.ini
#     (0600, folder 0700) and writes the day's workbook into the documents folder;
#   - a copy in a folder the user can write keeps both beside itself.
#   - the autostart entry (check box 开机自启) runs it by its absolute path.
# The clicks go to the buttons' centres: the window sits at the top-left corner of a screen
# without a window manager.
set -euo pipefail
exe=$1
for tool in Xvfb xdotool; do
  command -v "$tool" >/dev/null || { echo "FAIL: $tool is needed (scripts/setup-deps)"; exit 1; }
done

root=$(mktemp -d)
chmod 0755 "$root"
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$root"
}
trap cleanup EXIT

if [ "$(id -u)" -eq 0 ]; then
  user=nobody
  as_user() { runuser -u "$user" -- "$@"; }
else
  user=$(id -un)
  as_user() { "$@"; }
fi
group=$(id -gn "$user")

display=120
while [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ]; do
  display=$((display + 1))
done
Xvfb ":$display" -screen 0 1920x1080x24 -nolisten tcp >"$root/xvfb.log" 2>&1 &
pids+=($!)
for _ in $(seq 100); do
  [ -e "/tmp/.X11-unix/X$display" ] && break
  sleep 0.1
done

mode() { stat -c %a "$1"; }
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}
wait_for() {  # wait_for SECONDS TEST...
  local tries=$(($1 * 5))
  shift
  for _ in $(seq "$tries"); do
    "$@" && return 0
    sleep 0.2
  done
  return 1
}
workbook_in() { compgen -G "$1/*.xls" >/dev/null; }

# run_program FOLDER HOME: starts FOLDER/fundview as the user, clicks the export button once the
# settings file exists, and leaves the program running (its pid last in pids).
run_program() {
  local dir=$1 home=$2 settings=$3
  as_user env -i HOME="$home" XDG_CONFIG_HOME="$home/.config" DISPLAY=":$display" \
    PATH=/usr/bin:/bin QT_QPA_PLATFORM=xcb LANG=C.UTF-8 \
    ${ASAN_OPTIONS:+ASAN_OPTIONS=$ASAN_OPTIONS} ${UBSAN_OPTIONS:+UBSAN_OPTIONS=$UBSAN_OPTIONS} \
    "$dir/fundview" >"$root/fundview-$(basename "$dir").log" 2>&1 &
  pids+=($!)
  # Start-up seeds the settings file of a first start.
  if ! wait_for 60 test -e "$settings"; then
    fail "no settings file at $settings"
    cat "$root/fundview-$(basename "$dir").log"
    return 1
  fi
  wait_for 30 sh -c "DISPLAY=:$display xdotool search --onlyvisible --name '' >/dev/null" || true
  sleep 1
  DISPLAY=":$display" xdotool mousemove 720 644 click 1
}

stop_program() {
  kill "${pids[-1]}" 2>/dev/null || true
  wait "${pids[-1]}" 2>/dev/null || true
}

# 1. Installed: the program in a folder the user cannot write.
home="$root/home"
mkdir -p "$home/Documents" "$root/bin"
cp "$exe" "$root/bin/fundview"
chmod 0555 "$root/bin"
chown -R "$user:$group" "$home"
if run_program "$root/bin" "$home" "$home/.config/fundview/配置.ini"; then
  [ "$(mode "$home/.config/fundview")" = 700 ] || fail "settings folder is $(mode "$home/.config/fundview"), not 700"
  [ "$(mode "$home/.config/fundview/配置.ini")" = 600 ] || fail "settings file is $(mode "$home/.config/fundview/配置.ini"), not 600"
  [ "$(stat -c %U "$home/.config/fundview/配置.ini")" = "$user" ] || fail "settings file not owned by $user"
  wait_for 30 workbook_in "$home/Documents" || fail "no workbook in the documents folder"
  # 开机自启: the autostart entry runs the program by its absolute path.
  DISPLAY=":$display" xdotool mousemove 848 732 click 1
  entry="$home/.config/autostart/fundview.desktop"
  if wait_for 30 test -e "$entry"; then
    grep -qxF "Exec=\"$root/bin/fundview\"" "$entry" || fail "autostart Exec: $(grep Exec "$entry")"
  else
    fail "no autostart entry"
  fi
  stop_program
  [ "$(ls -A "$root/bin")" = fundview ] || fail "files appeared beside the read-only program: $(ls -A "$root/bin")"
fi

# 2. A copy in a folder of its own that the user can write.
home2="$root/home2"
mkdir -p "$home2/Documents" "$root/copy"
cp "$exe" "$root/copy/fundview"
chown -R "$user:$group" "$home2" "$root/copy"
if run_program "$root/copy" "$home2" "$root/copy/配置.ini"; then
  wait_for 30 workbook_in "$root/copy" || fail "no workbook beside the copy"
  stop_program
  [ ! -e "$home2/.config/fundview" ] || fail "the copy made a per-user settings folder"
  ! workbook_in "$home2/Documents" || fail "the copy wrote its workbook into the documents folder"
fi

[ "$failures" -eq 0 ] || exit 1
echo "user files: all checks passed"
