# The display rule of the project's scripts, sourced by them (bash):
#   - DISPLAY set: use it. If it does not answer it is waited for (up to 10 s), then the script
#     stops with one line naming it. Never fall back to another display.
#   - DISPLAY not set: start a private virtual display with a window manager (tools/xdisplay) for
#     this script, and end it (and only it) when the script ends.
# use_display; ...; stop_own_display (call it from the script's exit trap).

own_display_pid=""

start_own_display() {
  local tools_dir display=""
  tools_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
  exec {xdisplay_fd}< <("$tools_dir/xdisplay" start)
  own_display_pid=$!
  read -r -t 60 display <&"$xdisplay_fd" || true
  exec {xdisplay_fd}<&-
  if [ -z "$display" ]; then
    echo "no virtual display could be started (tools/xdisplay start)" >&2
    stop_own_display
    return 1
  fi
  export DISPLAY=$display
}

use_display() {
  if [ -n "${DISPLAY:-}" ]; then
    "$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/xdisplay" check
  else
    start_own_display
  fi
}

stop_own_display() {
  if [ -n "$own_display_pid" ]; then
    kill "$own_display_pid" 2>/dev/null || true
    wait "$own_display_pid" 2>/dev/null || true
    own_display_pid=""
  fi
}
