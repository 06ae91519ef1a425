#!/bin/sh
# Runs a command (standard input passed on) on an X server of its own, 800 by 600 like the offscreen
# screen and without a window manager (tallix-drive plays its part), then stops the server by its PID.
# Exits with 77, saying what is missing, when no Xvfb can start.
command -v Xvfb >/dev/null 2>&1 || { echo "Xvfb is not installed (Debian: apt install xvfb)"; exit 77; }
dir=$(mktemp -d) || exit 1
mkfifo "$dir/display"
Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp 3>"$dir/display" </dev/null >"$dir/log" 2>&1 &
server=$!
read -r number <"$dir/display" # once the server listens; nothing if it ends first
if [ -n "$number" ]; then
    DISPLAY=":$number" QT_QPA_PLATFORM=xcb "$@"
    status=$?
    kill "$server"
else
    echo "Xvfb did not start: $(tail -n 1 "$dir/log")"
    status=77
fi
wait "$server"
rm -rf "$dir"
exit "$status"
