#!/usr/bin/env bash
# The Windows build under Wine: unit tests and end-to-end scripts (offscreen, the registry as the store), the
# portable folder's files, and the installer. Each case has a Wine prefix of its own (see `run`).
#   windows_test.sh BUILD-DIR QT-PREFIX
set -uo pipefail
build=$(cd "$1" && pwd)
qt=$2
here=$(cd "$(dirname "$0")" && pwd)
repo=$(cd "$here/../.." && pwd)
run=$here/run
drive=$build/tallix-drive.exe
key='HKCU\Software\Tallix.exe\Default Settings'
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")

work=$(mktemp -d "${TMPDIR:-/tmp}/tallix-windows.XXXXXX")
xvfb=
cleanup() {
    for prefix in "$work"/*/; do
        [ -f "$prefix/system.reg" ] && WINEPREFIX=$prefix wineserver -k 2>/dev/null
    done
    [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null && wait "$xvfb" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
trap "exit 1" INT TERM

passed=0
failed=0
pass() { passed=$((passed + 1)); echo "ok   $1"; }
fail() { failed=$((failed + 1)); echo "FAIL $1"; [ -z "${2:-}" ] || sed 's/^/     /' <<<"$2"; }
# expect NAME GOT FILE: passes when GOT is the text of tests/wine/FILE, else shows the difference.
expect() { if [ "$2" = "$(cat "$here/$3")" ]; then pass "$1"; else fail "$1" "$(diff "$here/$3" - <<<"$2")"; fi; }
winpath() { printf 'Z:%s' "${1//\//\\}"; }
reg() { WINEPREFIX=$1 WINEDEBUG=-all wine reg "${@:2}" 2>/dev/null | tr -d '\r'; }
has_key() { reg "$1" query "$2" >/dev/null; } # reg prints its complaints on standard output

# Wine needs an X display even for the offscreen platform.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
xvfb=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=:$(head -n 1 "$work/display")

export TALLIX_WINE_TEMPLATE=$work/template
WINEPREFIX=$TALLIX_WINE_TEMPLATE WINEDEBUG=-all wineboot -i >/dev/null 2>&1
WINEPREFIX=$TALLIX_WINE_TEMPLATE wineserver -w
mingw=$(dirname "$(x86_64-w64-mingw32-g++-posix -print-file-name=libstdc++-6.dll)")
export WINEPATH="$(winpath "$qt/bin");$(winpath "$mingw");$(winpath /usr/x86_64-w64-mingw32/lib)"
export QT_QPA_PLATFORM=offscreen

# Unit tests --------------------------------------------------------------------------------------

if (cd "$build" && TALLIX_WINE_QTEST=1 ctest -L unit -j2 --output-on-failure >"$work/ctest.log" 2>&1); then
    pass "unit tests: $(grep -o '[0-9]*% tests passed.*' "$work/ctest.log" || true)"
else
    fail "unit tests" "$(grep -E 'Failed|FAIL!|\*\*\*' "$work/ctest.log" | head -40)"
fi

# End-to-end scripts ------------------------------------------------------------------------------

# Under Wine, Qt reports a window at a negative x 4 pixels further right (a stored Left of -1500 reads -1440):
# a known difference, kept in tests/wine/NAME.expected so that any other change still fails.
for script in "$repo"/tests/e2e/*.drive; do
    name=$(basename "$script" .drive)
    want=$(sed -n '1s/^# status \([0-9]*\).*/\1/p' "$script")
    expected=${script%.drive}.expected
    [ -f "$repo/tests/wine/$name.expected" ] && expected=$repo/tests/wine/$name.expected
    actual=$("$run" "$drive" <"$script" 2>"$work/$name.err" | tr -d '\r')
    status=$?
    if [ "$actual" = "$(tr -d '\r' <"$expected")" ] && [ "$status" = "${want:-0}" ]; then
        pass "e2e $name"
    else
        fail "e2e $name (status $status)" "$(diff <(tr -d '\r' <"$expected") - <<<"$actual" | head -20)"
    fi
done

# Packages ----------------------------------------------------------------------------------------

zip=$build/Tallix-$version-win64.zip
installer=$build/Tallix-$version-win64.exe
folder=$work/zip/Tallix-$version-win64
mkdir -p "$work/zip" && (cd "$work/zip" && cmake -E tar xf "$zip")
got=$(cd "$folder" && find . -type f | sed 's|^\./||' | LC_ALL=C sort)
expect "zip: exactly the program, its DLLs and plugins" "$got" zip_files.expected

# The installer, per user and silent; the program then runs with only its folder's DLLs and Windows'
# own, which proves the folder lacks none; the uninstaller removes it but leaves the settings.
prefix=$work/installed
TALLIX_WINE_KEEP=$prefix "$run" "$installer" /S
user_dir=$(find "$prefix/drive_c/users" -mindepth 1 -maxdepth 1 -type d ! -name Public | head -n 1)
program_dir=$user_dir/AppData/Local/Programs/Tallix
shortcut=$user_dir/AppData/Roaming/Microsoft/Windows/Start\ Menu/Programs/Tallix.lnk
uninstall='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Tallix'
entry=$(reg "$prefix" query "$uninstall")
if [ -f "$program_dir/Tallix.exe" ] && [ -f "$program_dir/platforms/qwindows.dll" ] && [ -f "$shortcut" ] &&
    grep -q 'UninstallString.*Uninstall.exe' <<<"$entry" && grep -q "DisplayVersion.*$version" <<<"$entry"; then
    pass "installer: installed for the user, with a Start-menu entry and an uninstall entry"
else
    fail "installer" "$(ls -R "$user_dir/AppData" 2>&1 | head -20; echo "$entry")"
fi

# Started from the installed folder, with Qt's Windows platform, it must still be running after 20 s.
WINEPREFIX=$prefix WINEDEBUG=-all WINEPATH= QT_QPA_PLATFORM=windows timeout 20 wine "$program_dir/Tallix.exe" 2>/dev/null
status=$?
[ "$status" = 124 ] && pass "installed program: runs with its folder's DLLs" || fail "installed program ended with $status"
WINEPREFIX=$prefix wineserver -k 2>/dev/null
reg "$prefix" add "$key" /v Left /t REG_SZ /d 1000 /f >/dev/null # the user's settings, which must stay

WINEPREFIX=$prefix WINEDEBUG=-all wine "$program_dir/Uninstall.exe" /S
WINEPREFIX=$prefix wineserver -w
if [ ! -e "$program_dir" ] && [ ! -e "$shortcut" ] && ! has_key "$prefix" "$uninstall" &&
    has_key "$prefix" "$key"; then
    pass "uninstaller: program and entries gone, settings kept"
else
    fail "uninstaller" "$(ls "$program_dir" "$shortcut" 2>&1; reg "$prefix" query "$uninstall"; reg "$prefix" query "$key")"
fi

echo "Windows tier: $passed passed, $failed failed"
[ "$failed" = 0 ]
