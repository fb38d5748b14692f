#!/usr/bin/env bash
# Runs a command inside a headless weston of its own: with-weston.sh [--xwayland] COMMAND...
# The compositor gets a socket name no other run uses, and only this weston (by its process id) is
# stopped at the end. The command sees WAYLAND_DISPLAY, and DISPLAY too with --xwayland.
set -euo pipefail

xwayland=()
if [ "${1:-}" = "--xwayland" ]; then
  xwayland=(--xwayland)
  shift
  # weston puts the X socket there but, unlike an X server, does not make the folder.
  if [ ! -d /tmp/.X11-unix ]; then mkdir -p -m 1777 /tmp/.X11-unix; fi
fi

runtime="${XDG_RUNTIME_DIR:-}"
if [ -z "$runtime" ] || [ ! -w "$runtime" ]; then
  runtime="$(mktemp -d)"
  chmod 700 "$runtime"
fi
export XDG_RUNTIME_DIR="$runtime"
socket="qwelto-weston-$$-$RANDOM"
log="$(mktemp)"
# No fades: a screenshot right after a window opens or closes shows it as it is.
config="$(mktemp --suffix=.ini)"
printf '[core]\nidle-time=0\n[shell]\nanimation=none\nclose-animation=none\nstartup-animation=none\nfocus-animation=none\n' >"$config"

# --debug lets weston-screenshooter take pictures; without --use-pixman nothing is drawn headless.
weston --backend=headless-backend.so --use-pixman --width=1280 --height=1024 --socket="$socket" \
  --idle-time=0 --config="$config" --debug "${xwayland[@]}" >"$log" 2>&1 &
weston_pid=$!
# Weston logs each step of its start: every new line is a moment to look again, and once a second.
exec {log_lines}< <(tail -n +1 -F "$log" 2>/dev/null)
tail_pid=$!
cleanup() {
  kill "$tail_pid" "$weston_pid" 2>/dev/null || true
  wait "$weston_pid" 2>/dev/null || true
  rm -f "$log" "$config"
}
trap cleanup EXIT

# The socket, then with Xwayland the X display weston announces; up to 60 s on a loaded machine.
ready() {
  [ -S "$XDG_RUNTIME_DIR/$socket" ] || return 1
  [ ${#xwayland[@]} -eq 0 ] && return 0
  display="$(sed -n 's/.*xserver listening on display \(:[0-9]*\).*/\1/p' "$log" | head -n1)"
  [ -n "$display" ] && export DISPLAY="$display"
}
deadline=$((SECONDS + 60))
while ! ready; do
  if ! kill -0 "$weston_pid" 2>/dev/null; then
    echo "with-weston.sh: weston did not start:" >&2
    cat "$log" >&2
    exit 1
  fi
  [ "$SECONDS" -lt "$deadline" ] || break
  read -r -t 1 -u "$log_lines" _ || true
done
[ -S "$XDG_RUNTIME_DIR/$socket" ] || { echo "with-weston.sh: no compositor socket" >&2; cat "$log" >&2; exit 1; }
export WAYLAND_DISPLAY="$socket"
if [ ${#xwayland[@]} -eq 0 ]; then unset DISPLAY; fi
"$@"
