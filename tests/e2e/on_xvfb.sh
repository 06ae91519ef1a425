#!/bin/sh
# Runs a command (standard input passed on) on an X server of its own, then stops the server by its PID.
# Xvfb's screen is the offscreen platform's, 800 by 600; no window manager runs, tallix-drive plays its
# part. Exits with 77, saying what is missing, when no Xvfb can start.
command -v Xvfb >/dev/null 2>&1 || { echo "Xvfb is not installed (Debian: apt install xvfb)"; exit 77; }
dir=$(mktemp -d) || exit 1
mkfifo "$dir/display"
Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp 3>"$dir/display" </dev/null >"$dir/log" 2>&1 &
server=$!
read -r number <"$dir/display" # once the server listens; nothing if it ends first
if [ -z "$number" ]; then
    echo "Xvfb did not start: $(tail -n 1 "$dir/log")"
    wait "$server"
    rm -rf "$dir"
    exit 77
fi
DISPLAY=":$number" QT_QPA_PLATFORM=xcb "$@"
status=$?
kill "$server"
wait "$server"
rm -rf "$dir"
exit "$status"
