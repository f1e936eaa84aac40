#!/bin/sh
# Runs the fixed scenario on the Windows module under Wine and on the Linux module natively;
# the two reports must be byte-identical. Exits 77 (skipped) where this machine cannot run
# 32-bit programs at all, which Wine's 32-bit loader needs.
set -u
linux_runner="$1" linux_module="$2" windows_runner="$3" windows_module="$4" work="$5"
mkdir -p "$work"

"$linux_runner" "$linux_module" "$work/report-linux.txt" || { echo "the Linux scenario failed" >&2; exit 1; }

command -v wine >/dev/null 2>&1 || { echo "wine is not installed" >&2; exit 1; }
export WINEPREFIX="$work/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win32
unset DISPLAY WAYLAND_DISPLAY

# 126: the kernel refused to execute Wine's 32-bit loader (no 32-bit support on this machine).
/usr/lib/wine/wine --version >/dev/null 2>&1
if [ $? -eq 126 ]; then
    echo "SKIPPED: this machine's kernel cannot execute 32-bit programs, so Wine cannot run the 32-bit host" >&2
    exit 77
fi

# Wine finds the module beside the runner, as the host finds a plug-in by its path.
cp "$windows_module" "$work/tallomira.dll"
cp "$windows_runner" "$work/tallomira-scenario.exe"
(cd "$work" && timeout 600 wine tallomira-scenario.exe tallomira.dll report-windows.txt) </dev/null
status=$?
[ $status -eq 0 ] || { echo "the Windows scenario under Wine failed ($status)" >&2; exit 1; }
if ! cmp "$work/report-linux.txt" "$work/report-windows.txt"; then
    diff "$work/report-linux.txt" "$work/report-windows.txt" | head -20 >&2
    exit 1
fi
echo "the Linux and Windows reports are identical ($(wc -l < "$work/report-linux.txt") lines)"
