#!/usr/bin/env bash
# Texts that no version of the program writes, under each of its seven keys. For every key and every
# text below, tallix-drive starts the program on a store holding that text, plays the key's probe, and
# must print what the outcome table says: a text that doesn't convert reads as the key's default, and
# the program never crashes, never reports a failed save and never prints an error.
#
#   bash bad_values.sh DRIVE [CHECK] [NAME]    (DRIVE: tallix-drive; the other arguments are unused)
set -uo pipefail
drive=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The texts tried under every key. <empty> is the empty text; C*N is N copies of C; raw:BYTES is written
# straight into the store file with printf %b (so it may be invalid UTF-8, or spelt as Qt never writes
# it: an unquoted "," or ";"); anything else goes through the driver's `store`, which Qt quotes.
texts=('<empty>' abc 1E+300 99999999999999999999999 -1 -99999 0.5 '9*10000' 'raw:\xff\xfe\xc3'
       '1,5' '1;5' 'raw:1,5' 'raw:1;5' 2 256)

# Each key's probe: the first part runs once the program has started, then again after a restart (so the
# program's own saves in between must have kept the outside text); the second part runs once at the end.
declare -A first second
first[MemoryValue]=$'print Title\nclick Clear2 GatherMem\nprint Screen'
first[FrstMmery]=$'click Clear2 Num1 Num2 Mem\nprint Title' # no tip: it shows only while the text is "Yes"
first[RedBttns]=$'press Num5\nprint Num5.BackColor\nrelease Num5'
second[RedBttns]=$'click OptButton\nprint Sett.Check2.State\nclick Sett.Okay\npress Num5\nprint Num5.BackColor\nrelease Num5'
first[Value]=$'print Pointer'
second[Value]=$'click OptButton\nprint Sett.Check1.State\nclick Sett.Okay\nprint Pointer'
first[ShowPopup]=$'print Open'
second[ShowPopup]=$'click OptButton\nprint Sett.Check3.State\nclick Sett.Okay\nrestart\nprint Open'
first[Left]=$'print Left Top'
second[Left]=$'print setting.Left setting.Top'
first[Top]=${first[Left]}
second[Top]=${second[Left]}
keys=(MemoryValue FrstMmery RedBttns Value ShowPopup Top Left)

# Outcomes: KEY | TEXTS (space-separated, or * for every other text) | what the probe prints, in the
# order of its queries (first part, then second part). "=" stands for the text itself, (M) for the title
# with the memory marker, red and face for the pressed and plain button colours, C*N as above.
outcomes='
MemoryValue | <empty>          | (M) | 0
MemoryValue | 9*10000          | (M) | 9*28
MemoryValue | raw:\xff\xfe\xc3 | (M) | ���
MemoryValue | *                | (M) | =
FrstMmery   | *                | (M)
RedBttns    | 2                | face | 2 | face
RedBttns    | *                | red  | 1 | red
Value       | 2                | 99 | 2 | 99
Value       | *                | 99 | 1 | 99
ShowPopup   | 2                | MainCalc | 2 | MainCalc
ShowPopup   | *                | MainCalc | 1 | MainCalc,Popup
Left        | -1 0.5 2 256     | =    | 1000 | =    | 1000
Left        | *                | 1000 | 1000 | 1000 | 1000
Top         | -1 0.5 2 256     | 1000 | =    | 1000 | =
Top         | *                | 1000 | 1000 | 1000 | 1000
'

trim() { local s=$1; s=${s#"${s%%[![:space:]]*}"}; printf '%s' "${s%"${s##*[![:space:]]}"}"; }

# The text that a table entry stands for (raw bytes stay escaped: they are only ever written with %b).
expand() {
    if [[ $1 == '<empty>' ]]; then printf ''
    elif [[ $1 =~ ^(.)\*([0-9]+)$ ]]; then printf "%${BASH_REMATCH[2]}s" '' | tr ' ' "${BASH_REMATCH[1]}"
    elif [[ $1 == raw:* ]]; then printf '%s' "${1#raw:}"
    else printf '%s' "$1"; fi
}

# The printed form of an outcome value for the text $2.
value() {
    case $1 in
    '=') expand "$2" ;;
    '(M)') printf 'Tallix - By Dorvik5150 (M)' ;;
    red) printf '00000080' ;;
    face) printf '8000000F' ;;
    *) expand "$1" ;;
    esac
}

# The outcome row for key $1 and text $2: the first row naming the text, else the key's * row.
outcome() {
    local line key texts fallback=
    while IFS= read -r line; do
        [[ -z $line ]] && continue
        key=$(trim "${line%%|*}")
        [[ $key == "$1" ]] || continue
        texts=$(trim "$(cut -d'|' -f2 <<<"$line")")
        if [[ $texts == '*' ]]; then
            [[ -z $fallback ]] && fallback=$line
        elif [[ " $texts " == *" $2 "* ]]; then
            printf '%s' "$line"
            return
        fi
    done <<<"$outcomes"
    printf '%s' "$fallback"
}

# The queries that a probe prints, one a line.
queries() { sed -n 's/^print //p' <<<"$1" | tr ' ' '\n' | sed '/^$/d'; }

tried=0
failed=0
summary=()
for key in "${keys[@]}"; do
    for text in "${texts[@]}"; do
        tried=$((tried + 1))
        home="$work/$tried"
        mkdir -p "$home"
        input="$work/$tried.drive"
        {
            [[ $key != ShowPopup ]] && echo 'store ShowPopup 0'
            [[ $text != raw:* ]] && printf 'store %s %s\n' "$key" "$(expand "$text")"
            echo start
            echo "${first[$key]}"
            echo restart
            echo "${first[$key]}"
            [[ -n ${second[$key]:-} ]] && echo "${second[$key]}"
        } >"$input"
        if [[ $text == raw:* ]]; then
            {
                printf '[Default%%20Settings]\n'
                [[ $key != ShowPopup ]] && printf 'ShowPopup=0\n'
                printf '%s=%b\n' "$key" "$(expand "$text")"
            } >"$home/Tallix.exe.conf"
        fi

        # What the table expects, query by query.
        row=$(outcome "$key" "$text")
        if [[ -z $row ]]; then
            echo "table: no outcome for $key"
            exit 2
        fi
        IFS='|' read -r -a fields <<<"$row"
        mapfile -t asked < <(queries "${first[$key]}"; queries "${first[$key]}"; queries "${second[$key]:-}")
        mapfile -t once < <(queries "${first[$key]}")
        values=("${fields[@]:2}")
        if ((${#values[@]} != ${#asked[@]} - ${#once[@]})); then
            echo "table: $key row has ${#values[@]} values for $((${#asked[@]} - ${#once[@]})) queries"
            exit 2
        fi
        values=("${values[@]:0:${#once[@]}}" "${values[@]}") # the first part's values twice
        expected=""
        for i in "${!asked[@]}"; do
            expected+="${asked[$i]}=$(value "$(trim "${values[$i]}")" "$text")"$'\n'
        done

        actual=$(XDG_CONFIG_HOME="$home" QT_QPA_PLATFORM=offscreen "$drive" <"$input" 2>"$home.err")
        status=$?
        problems=()
        [[ "$actual"$'\n' == "$expected" ]] || problems+=("output differs")
        ((status == 0)) || problems+=("exit status $status")
        grep -q '^tallix:' "$home.err" && problems+=("reported a failed save")
        label="$key=$text"
        if ((${#problems[@]})); then
            failed=$((failed + 1))
            summary+=("FAIL $label (${problems[*]})")
            echo "FAIL $label: ${problems[*]}"
            diff <(printf '%s' "$expected") <(printf '%s\n' "$actual") | sed 's/^/    /' | cut -c1-200
            grep -v 'XDG_RUNTIME_DIR\|does not support' "$home.err" | sed 's/^/    stderr: /' | head -5
        else
            summary+=("ok   $label -> $(printf '%s' "$actual" | tr '\n' ' ' | cut -c1-150)")
        fi
    done
done

printf '%s\n' "${summary[@]}"
echo "$tried bad texts tried: $((tried - failed)) read as the table says, $failed did not"
((failed == 0))
