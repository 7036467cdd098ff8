# Sourced by the scripts that show Wine programs on a display of their own.

# own_display FIRST LAST starts Xvfb on the first free display number in
# FIRST..LAST, exports DISPLAY and sets xvfb_pid (the caller stops it).
# Returns 1 when no display could be started.
own_display() {
  local n
  xvfb_pid=''
  for n in $(seq "$1" "$2"); do
    [ -e "/tmp/.X$n-lock" ] && continue
    Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 50); do
      [ -S "/tmp/.X11-unix/X$n" ] && break
      sleep 0.1
    done
    if kill -0 "$xvfb_pid" 2>/dev/null && [ -S "/tmp/.X11-unix/X$n" ]; then
      export DISPLAY=":$n"
      return 0
    fi
    xvfb_pid=''
  done
  return 1
}

# Wine keeps one desktop per prefix, on the display of the program that made
# it: one made by a program without a display would leave the next program's
# windows nowhere. It ends about a second after its last program.
# await_no_desktop PREFIX waits up to 30 s for it; returns 1 when it stays.
await_no_desktop() {
  local pid desktop
  for _ in $(seq 300); do
    desktop=''
    for pid in $(pgrep -f 'explorer.exe /desktop'); do
      tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qxF "WINEPREFIX=$1" && desktop=$pid
    done
    [ -z "$desktop" ] && return 0
    sleep 0.1
  done
  return 1
}
