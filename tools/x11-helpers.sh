# shellcheck shell=bash
# Helpers for driving pdfunlock under Xvfb, sourced by tools/check-desktop.sh
# and tools/screenshots.sh. The sourcing script defines fail MESSAGE.

x11_wait_seconds=20

# xdotool's --sync waits without end: bound every call.
xdo() { timeout 10 xdotool "$@"; }

# Starts an Xvfb with openbox as its window manager, which places, decorates
# and focuses the windows as a desktop does; sets DISPLAY, xvfb_pid and
# wm_pid (stop_xvfb ends both). A random display from a high range, away from
# the :0 or :99 other tools assume; -noreset, since a program starting while
# the server resets after the last client left cannot connect.
start_xvfb() { # WORK_DIR
  local display _
  for _ in 1 2 3 4 5; do
    display=$((200 + RANDOM % 700))
    [ ! -e "/tmp/.X$display-lock" ] || continue
    Xvfb ":$display" -screen 0 1280x800x24 -nolisten tcp -noreset >"$1/xvfb.log" 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 50); do
      kill -0 "$xvfb_pid" 2>/dev/null || break
      if timeout 5 xdpyinfo -display ":$display" >/dev/null 2>&1; then
        export DISPLAY=":$display"
        export XDG_RUNTIME_DIR=$1/runtime
        mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
        start_window_manager "$1"
        return
      fi
      sleep 0.1
    done
    kill "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
  done
  fail "Xvfb did not start: $(cat "$1/xvfb.log")"
}

# Starts openbox on DISPLAY; waits until it manages the screen.
start_window_manager() { # WORK_DIR
  openbox --sm-disable >"$1/openbox.log" 2>&1 &
  wm_pid=$!
  for _ in $(seq 50); do
    kill -0 "$wm_pid" 2>/dev/null || break
    if timeout 5 xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; then
      return
    fi
    sleep 0.1
  done
  fail "openbox did not start: $(cat "$1/openbox.log")"
}

stop_xvfb() {
  [ -z "${wm_pid:-}" ] || kill "$wm_pid" 2>/dev/null || true
  [ -z "${xvfb_pid:-}" ] || kill "$xvfb_pid" 2>/dev/null || true
}

# Waits for a visible window of the program of type NORMAL (the password
# window, titled "document — pdfunlock") or DIALOG (a message box, titled
# "pdfunlock"); prints its id.
wait_window() { # PID NORMAL|DIALOG
  local deadline=$((SECONDS + x11_wait_seconds)) wid type
  while [ $SECONDS -lt $deadline ]; do
    kill -0 "$1" 2>/dev/null || fail "the program ended before showing a $2 window"
    for wid in $(xdo search --onlyvisible --pid "$1" --name 'pdfunlock$' 2>/dev/null); do
      type=$(timeout 5 xprop -id "$wid" _NET_WM_WINDOW_TYPE 2>/dev/null |
        sed -n 's/.*= _NET_WM_WINDOW_TYPE_\([A-Z]*\).*/\1/p')
      if [ "$type" = "$2" ]; then
        echo "$wid"
        return
      fi
    done
    sleep 0.2
  done
  fail "no $2 window of the program within ${x11_wait_seconds}s"
}

# The text of a message box: a triple click selects it into the X primary selection.
message_text() { # WID
  local X Y WIDTH text _
  # xwininfo's position, since under a window manager xdotool's is off by
  # the height of the frame's title bar.
  eval "$(timeout 5 xwininfo -id "$1" | sed -n 's/^ *Absolute upper-left X: *\([0-9-]*\)/X=\1/p;s/^ *Absolute upper-left Y: *\([0-9-]*\)/Y=\1/p;s/^ *Width: *\([0-9]*\)/WIDTH=\1/p')"
  for _ in 1 2 3; do
    # No --sync: it would wait for ever if the pointer is already there.
    xdo mousemove $((X + WIDTH / 2)) $((Y + 22)) sleep 0.2 click --repeat 3 --delay 60 1
    sleep 0.3
    text=$(timeout 5 xclip -o -selection primary 2>/dev/null || true)
    [ -z "$text" ] || break
  done
  printf '%s\n' "$text"
}

press() { # WID KEY
  xdo windowfocus --sync "$1"
  xdo key --clearmodifiers "$2"
}

# Fails unless the program ends with status 0 in time.
wait_exit() { # PID
  local deadline=$((SECONDS + x11_wait_seconds)) status=0
  while kill -0 "$1" 2>/dev/null && [ $SECONDS -lt $deadline ]; do sleep 0.2; done
  kill -0 "$1" 2>/dev/null && fail "the program did not end within ${x11_wait_seconds}s"
  wait "$1" || status=$?
  [ "$status" -eq 0 ] || fail "the program ended with status $status"
}
