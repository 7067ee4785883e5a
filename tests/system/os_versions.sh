#!/usr/bin/env bash
# The OS facts' version test on other Windows versions than a new prefix reports: a private copy
# of the build tree's template prefix is switched with winecfg from one version to the next.
#   os_versions.sh HARNESS PREFIX TEST_EXE WORKDIR
set -euo pipefail
harness=$1 prefix=$2 exe=$3 work=$4
source "$harness/wine-env"
unset DISPLAY
mkdir -p "$work"

dest=$work/prefix
# The copy is as big as a prefix; only the test outputs are kept.
trap '"$harness/wine-prefix" stop "$dest"; rm -rf "$dest"' EXIT
"$harness/wine-prefix" copy "$prefix" "$dest"
export WINEPREFIX=$dest
# One persistent server for all versions; winecfg, its first process, sets the standard streams
# that services.exe inherits.
quiet "$WINESERVER" -p

failed=0
# check VERSION VERSION_NAME TEXT_START NUMBERS_START TEXT_END NUMBERS_END
check() {
    quiet "$WINE" winecfg -v "$1"
    # winecfg refuses some versions without a word; the test then shows what was reported.
    if TL_EXPECT_VERSION_NAME=$2 TL_EXPECT_TEXT_START=$3 TL_EXPECT_NUMBERS_START=$4 \
        TL_EXPECT_TEXT_END=$5 TL_EXPECT_NUMBERS_END=$6 "$WINE" "$exe" \
        --gtest_filter='Win32OsFacts.*' </dev/null >"$work/$1.out" 2>&1; then
        echo "passed: $1"
    else
        echo "FAILED: $1" && cat "$work/$1.out" && failed=1
    fi
}

# Wine answers GetProductInfo with 28 (Ultimate N) on every version, a code no later Windows
# has: from 8 on the edition is left open.
check win81 8.1 "Windows 8.1 " "PID:2 MAV:6 MIV:3 BLD:9600 CSD: PRTY:1" " (x64)" " OSA:x64"
check win10 10 "Windows 10 " "PID:2 MAV:10 MIV:0 BLD:18362 CSD: PRTY:1" " (x64)" " OSA:x64"
exit "$failed"
