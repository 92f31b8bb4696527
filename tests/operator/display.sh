# Sourced by the desktop tests: an X server of the test's own, and the program's windows on it.
# Needs $tmp (the test's folder) and the array pids (what the test kills at its end).

# Starts Xvfb and points DISPLAY, the runtime folder and the data folder at the test's own.
start_display() {
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$tmp/display" 2>/dev/null &
    pids+=($!)
    for _ in $(seq 50); do [[ -s $tmp/display ]] && break; sleep 0.1; done
    export DISPLAY=:$(cat "$tmp/display")
    mkdir -m 700 "$tmp/run"
    export XDG_RUNTIME_DIR=$tmp/run XDG_DATA_HOME=$tmp/data
    unset QT_QPA_PLATFORM
}

# The window whose title matches, once it shows.
window() { timeout 30 xdotool search --sync --onlyvisible --name "$1" | head -1; }
