# shellcheck shell=bash
# Helpers of the whole-run tests: each test makes a world (a Wine prefix that looks like a
# Windows machine with the VPN client), runs tunlatch.exe in it and checks the run log and the
# world afterwards. Sourced by the test scripts:
#
#   source "$(dirname "$0")/lib.sh"
#   tl_begin BUILD NAME            world BUILD/tests/program/worlds/NAME; stopped at exit
#   tl_world [make-world options]  see testbed/world/make-world
#   tl_run                         runs C:\Tunlatch\tunlatch.exe and waits (TL_RUN_RC, TL_RUN_MS)
#   tl_expect_log <<'EOF' ... EOF  the run log, line by line (format below)
#   tl_expect_service Running 2    state and start type of Hamachi2Svc
#   tl_expect_autorun absent|TEXT  the autorun value
#   tl_expect_adapter enabled      the DevCon stand-in's adapter state
#   tl_expect_devcon_calls ...     DevCon's runs, one argument per run ("status hamachi")
#   tl_expect_ui_launches ...      the UI program's launches, one command line each
#   tl_end                         reports and exits: 0 when every check passed
#
# Expected log lines are the texts after the date and time, whose shape is checked: exact text;
# "~RE", a line that matches the extended regular expression RE as a whole; "*TEXT", any number
# of lines that are exactly TEXT (also none); "=N TEXT", exactly N lines that are exactly TEXT.
# An exact line may end in "$" to show its trailing
# blanks; the "$" is not part of the text. An empty expected line is the empty separator line.
#
# Environment: TL_VERSION (the program's version as the title shows it, e.g. 1.0.0);
# TL_KEEP_WORLDS=1 keeps passed worlds on disk (failed ones are always kept).

set -euo pipefail
# Expected lines are piped into tl_expect_log; it must run in this shell to count its failures.
shopt -s lastpipe

TL_WINE=/usr/lib/wine/wine64
TL_SRC=$(realpath "$(dirname "${BASH_SOURCE[0]}")/../..")
TL_VERSION=${TL_VERSION:-1.0.0}
TL_TITLE="Tunlatch V$TL_VERSION"
TL_FAILURES=0

tl_fail() {
    echo "FAIL: $*" >&2
    TL_FAILURES=$((TL_FAILURES + 1))
}

tl_note() { echo "-- $*" >&2; }

# tl_cleanup [RC]: RC is the script's exit status when a caller's own exit trap calls it.
tl_cleanup() {
    local rc=${1:-$?}
    "$TL_SRC/testbed/world/stop-world" "$TL_WORLD" || true
    if [ "$rc" -eq 0 ] && [ "$TL_FAILURES" -eq 0 ] && [ "${TL_KEEP_WORLDS:-0}" != 1 ]; then
        rm -rf "$TL_WORLD" "$TL_DIR"
    else
        echo "world kept for inspection: $TL_WORLD" >&2
    fi
}

# tl_begin BUILD NAME
tl_begin() {
    TL_BUILD=$(realpath "${1:?build tree}")
    TL_NAME=${2:?test name}
    TL_BIN=$TL_BUILD/bin
    TL_WORLD=$TL_BUILD/tests/program/worlds/$TL_NAME
    TL_DIR=$TL_BUILD/tests/program/runs/$TL_NAME
    TL_C=$TL_WORLD/drive_c
    TL_TUNLATCH=$TL_C/Tunlatch
    TL_CLIENT="$TL_C/Program Files (x86)/LogMeIn Hamachi"
    export WINEPREFIX=$TL_WORLD WINEDEBUG=-all
    unset WINEARCH DISPLAY
    rm -rf "$TL_DIR"
    mkdir -p "$TL_DIR"
    trap tl_cleanup EXIT
}

tl_world() {
    "$TL_SRC/testbed/world/make-world" "$TL_BUILD" "$TL_WORLD" "$@"
}

# A Windows program of the world, its output in TL_OUT. Never a pipe: see wine-notes.
tl_wine() {
    local rc=0
    "$TL_WINE" "$@" </dev/null >"$TL_DIR/wine.out" 2>&1 || rc=$?
    TL_OUT=$(tr -d '\r' <"$TL_DIR/wine.out")
    return "$rc"
}

tl_now_ms() { echo $(($(date +%s%N) / 1000000)); }

# tl_run [SECONDS]: one run of tunlatch.exe, waited for; a GUI program, so wine64 returns when
# it ends. The limit only keeps a hanging run from blocking the suite.
tl_run() {
    local limit=${1:-120} start
    start=$(tl_now_ms)
    TL_RUN_RC=0
    timeout "$limit" "$TL_WINE" 'C:\Tunlatch\tunlatch.exe' </dev/null >>"$TL_DIR/run.out" 2>&1 ||
        TL_RUN_RC=$?
    TL_RUN_MS=$(($(tl_now_ms) - start))
    tl_note "tunlatch.exe ended after $TL_RUN_MS ms (rc $TL_RUN_RC)"
    [ "$TL_RUN_RC" -ne 124 ] || tl_fail "tunlatch.exe still ran after $limit s"
}

# tl_run_background: starts a run without waiting; TL_BG_PID is its wine64 process.
tl_run_background() {
    timeout 120 "$TL_WINE" 'C:\Tunlatch\tunlatch.exe' </dev/null >>"$TL_DIR/run.out" 2>&1 &
    TL_BG_PID=$!
}

# tl_wait_for SECONDS DESCRIPTION COMMAND...: polls COMMAND every 100 ms until it succeeds.
tl_wait_for() {
    local seconds=$1 what=$2 deadline
    shift 2
    deadline=$(($(tl_now_ms) + seconds * 1000))
    until "$@"; do
        if [ "$(tl_now_ms)" -ge "$deadline" ]; then
            tl_fail "waited $seconds s for $what"
            return 1
        fi
        sleep 0.1
    done
}

# Lines of a CRLF text file of the world, without the CRs; nothing when it is missing.
tl_lines() { [ ! -f "$1" ] || tr -d '\r' <"$1"; }
tl_line_count() { tl_lines "$1" | wc -l; }
tl_has_lines() { [ "$(tl_line_count "$1")" -ge "$2" ]; }

# The run log with date and time taken off; a line of the wrong shape fails the test.
tl_masked_log() {
    local log=$TL_TUNLATCH/tunlatch.log line
    local stamp='^[0-9/.-]+ [0-9]{2}:[0-9]{2}:[0-9]{2}\.[0-9]{3} '
    [ -f "$log" ] || { tl_fail "no run log $log"; return 0; }
    [ "$(tail -c 2 "$log" | od -An -tx1 | tr -d ' ')" = 0d0a ] ||
        tl_fail "the run log does not end with CRLF"
    while IFS= read -r line || [ -n "$line" ]; do
        [[ $line == *$'\r' ]] || tl_fail "run log line without CRLF: $line"
        line=${line%$'\r'}
        if [ -z "$line" ]; then
            echo
        elif [[ $line =~ $stamp ]]; then
            echo "${line:${#BASH_REMATCH[0]}}"
        else
            tl_fail "run log line without date and time: $line"
            echo "$line"
        fi
    done <"$log"
}

# The expected header of a run: UAC, tray icon, balloons, on demand, force_uiexe as TRUE/FALSE.
# A new 64-bit Wine prefix reports Windows 7 SP1 x64, and its user is no administrator.
tl_log_header() {
    cat <<EOF

$TL_TITLE: begin
~-GetOSInf\.FullText: Windows 7 .* \(x64\) \[Service Pack 1\]
~-GetOSInf\.FullNumbers: PID:2 MAV:6 MIV:1 BLD:7601 CSD:Service Pack 1 .* OSA:x64
-User Account Control active: $1
-IsAdmin: FALSE
-INI_tray_icon: $2
-INI_balloon_tips: $3
-INI_on_demand: $4
-INI_force_uiexe: $5
EOF
}

tl_show_log() {
    echo "run log, date and time taken off:" >&2
    local n=0 line
    while IFS= read -r line; do
        n=$((n + 1))
        printf '%4d| %s\n' "$n" "${line:0:300}" >&2
    done <"$1"
}

# tl_expect_log: expected lines on standard input.
tl_expect_log() {
    local -a want have
    local masked=$TL_DIR/masked.log i=0 k=0 w text ok
    mapfile -t want
    tl_masked_log >"$masked"
    mapfile -t have <"$masked"
    for ((k = 0; k < ${#want[@]}; k++)); do
        w=${want[k]}
        case $w in
        '*'*)
            text=${w:1}
            while [ "$i" -lt "${#have[@]}" ] && [ "${have[i]}" = "$text" ]; do i=$((i + 1)); done
            continue
            ;;
        '='[0-9]*' '*)
            local count=${w%% *} n=0
            count=${count#=}
            text=${w#* }
            while [ "$n" -lt "$count" ] && [ "$i" -lt "${#have[@]}" ] && [ "${have[i]}" = "$text" ]; do
                i=$((i + 1)) n=$((n + 1))
            done
            if [ "$n" -ne "$count" ]; then
                tl_fail "run log line $((i + 1)): expected $count lines [$text], found $n then [${have[i]:-<end of log>}]"
                tl_show_log "$masked"
                return 0
            fi
            continue
            ;;
        '~'*) ok=0; [ "$i" -lt "${#have[@]}" ] && [[ ${have[i]} =~ ^(${w:1})$ ]] && ok=1 ;;
        *)
            [[ $w == *'$' ]] && w=${w%'$'}
            ok=0; [ "$i" -lt "${#have[@]}" ] && [ "${have[i]}" = "$w" ] && ok=1
            ;;
        esac
        if [ "$ok" = 0 ]; then
            tl_fail "run log line $((i + 1)): expected [${want[k]}], found [${have[i]:-<end of log>}]"
            tl_show_log "$masked"
            return 0
        fi
        i=$((i + 1))
    done
    if [ "$i" -lt "${#have[@]}" ]; then
        tl_fail "run log line $((i + 1)) not expected: [${have[i]:0:300}]"
        tl_show_log "$masked"
    fi
}

# tl_expect_service STATE [START_TYPE]
tl_expect_service() {
    if tl_wine "$TL_BIN/world_service.exe" state Hamachi2Svc; then
        [ "$TL_OUT" = "$1" ] || tl_fail "service state $TL_OUT, expected $1"
    else
        tl_fail "service state unreadable: $TL_OUT"
    fi
    [ $# -ge 2 ] || return 0
    if tl_wine "$TL_BIN/world_service.exe" starttype Hamachi2Svc; then
        [ "$TL_OUT" = "$2" ] || tl_fail "service start type $TL_OUT, expected $2"
    else
        tl_fail "service start type unreadable: $TL_OUT"
    fi
    # The service manager keeps the start type in the registry too; both must agree.
    if tl_wine reg query 'HKLM\System\CurrentControlSet\Services\Hamachi2Svc' /v Start; then
        [[ $TL_OUT =~ Start[[:space:]]+REG_DWORD[[:space:]]+0x$2 ]] ||
            tl_fail "registry start type: $TL_OUT"
    else
        tl_fail "registry start type unreadable: $TL_OUT"
    fi
}

# The client's default command line, as its installer writes it.
TL_UI_COMMAND='"C:\Program Files (x86)\LogMeIn Hamachi\hamachi-2-ui.exe" --auto-start'

# tl_expect_autorun absent|TEXT: the autorun value in the 32-bit view.
tl_expect_autorun() {
    local key='HKLM\Software\Wow6432Node\Microsoft\Windows\CurrentVersion\Run' value
    if tl_wine reg query "$key" /v 'LogMeIn Hamachi Ui'; then
        value=$(sed -n 's/^ *LogMeIn Hamachi Ui *REG_SZ *//p' <<<"$TL_OUT")
        if [ "$1" = absent ]; then
            tl_fail "autorun value present: $value"
        elif [ "$value" != "$1" ]; then
            tl_fail "autorun value [$value], expected [$1]"
        fi
    elif [ "$1" != absent ]; then
        tl_fail "autorun value absent, expected [$1]"
    fi
}

tl_expect_adapter() {
    local state
    state=$(tl_lines "$TL_TUNLATCH/devcon_state.ini" | sed -n 's/^state=//p')
    [ "${state:-enabled}" = "$1" ] || tl_fail "adapter ${state:-enabled}, expected $1"
}

# tl_expect_devcon_calls ARGS...: one argument per run, in order.
tl_expect_devcon_calls() {
    local have want
    have=$(tl_lines "$TL_TUNLATCH/devcon_calls.log")
    want=$(printf '%s\n' "$@")
    [ $# -gt 0 ] || want=
    [ "$have" = "$want" ] || tl_fail "DevCon runs:"$'\n'"${have:-<none>}"$'\n'"expected:"$'\n'"${want:-<none>}"
}

# tl_expect_ui_launches COMMAND...: the UI program's launches; none when no argument is given.
# A launch is logged by the program itself, so the last one may come a moment after the run.
tl_expect_ui_launches() {
    local log="$TL_CLIENT/ui_launches.log" have want
    want=$(printf '%s\n' "$@")
    [ $# -gt 0 ] || want=
    if [ $# -gt 0 ]; then
        tl_wait_for 20 "$# UI launch(es)" tl_has_lines "$log" $# || true
    fi
    have=$(tl_lines "$log")
    [ "$have" = "$want" ] || tl_fail "UI launches:"$'\n'"${have:-<none>}"$'\n'"expected:"$'\n'"${want:-<none>}"
}

tl_end() {
    if [ "$TL_FAILURES" -gt 0 ]; then
        echo "$TL_NAME: $TL_FAILURES check(s) failed" >&2
        exit 1
    fi
    echo "$TL_NAME: passed"
    exit 0
}
