# The release checks, run inside the emulated 32-bit PC by scripts/check-release (as the shared
# folder's job): the i686 quorvel.exe on the XP installation and on a machine without the driver,
# worked as a user would. It records what it sees in out/ (screenshots, the driver's values before
# the change, after it and after the restore, and a line "step exit-code" for each process);
# scripts/check-release judges them.
set -u
if [ -z "${DISPLAY:-}" ]; then
    exec xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" "$@"
fi
share=$PWD
wine=/usr/lib/wine/wine
wineserver=/usr/lib/wine/wineserver
screen=640x560
# A program that crashes ends instead of waiting in Wine's debugger.
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d" QUORVEL_PATIENCE=120
# Programs run from the guest's own disk: Wine maps a program on the shared folder wrongly (it
# crashes calling into its data section).
tools=/tmp/bin
cp -r "$share/bin" "$tools"
# shellcheck source=wine-session.sh
. "$share/wine-session.sh"
out=$share/out
mkdir -p "$out"
: >"$out/exit-codes.txt"
record() { echo "$1 $2" | tee -a "$out/exit-codes.txt"; }
stamp() { echo "[$((SECONDS))s] $*"; }

# Every installation starts from the image's Wine prefix as it was made: a throwaway layer on top.
fresh_prefix() {
    local layer=/tmp/$1
    mkdir -p "$layer"/{changes,work,prefix}
    mount -t overlay overlay \
        -o "lowerdir=/root/prefix,upperdir=$layer/changes,workdir=$layer/work" "$layer/prefix"
    export WINEPREFIX=$layer/prefix
}

program_window() {
    wait_for_window 'Quorvel v2.01 E' 240 && sleep 2
}

# The XP machine: every page, two rates applied with Yes answers, closing through the menu.
stamp "XP installation"
fresh_prefix xp
QUORVEL_SHOTS=$out/shots-xp
session_start "$share/fixtures/xp.reg" 96
save_written "$out/before.txt"
stamp "quorvel.exe started"
start_on_desktop "$tools/quorvel.exe"
program=$!
program_window && stamp "main window shown"
shot 1-introduction
drive tab 2 && shot 2-system-information
drive tab 3 && shot 3-settings
drive pick 800x600 75 pick 1024x768 85 && shot 4-rates-picked
drive click Apply answer-if 'Almost there' yes answer 'The final frontier' yes wait Completion &&
    shot 5-completion
drive answer Completion no tab 2 && shot 6-system-information-after
save_written "$out/written.txt"
drive menu '&Exit'
wait_exit "$program" 120
record exit-through-menu "$exit_code"

# The undo file that Apply wrote, put back from the command line.
undo=$(ls "$tools"/Backups/Quorvel-undo-*.reg 2>/dev/null | head -n 1)
if [ -n "$undo" ]; then
    cp "$undo" "$out/undo.reg"
    stamp "quorvel.exe /restore $(basename "$undo")"
    start_on_desktop "$tools/quorvel.exe" /restore "Z:$(tr / '\\' <<<"$undo")"
    program=$!
    drive wait 'Restore a backup' && shot 7-restore-confirmation
    drive answer 'Restore a backup' yes wait Completion && shot 8-restore-completion
    drive answer Completion no
    wait_exit "$program" 120
    record restore "$exit_code"
    save_written "$out/restored.txt"
else
    record restore "no-undo-file"
fi

cp -r "$tools/Backups" "$out/" 2>/dev/null || true

stamp "quorvel.exe /?"
start_on_desktop "$tools/quorvel.exe" /?
program=$!
drive wait 'Quorvel v2.01 E' && shot 9-usage
drive answer 'Quorvel v2.01 E' ok
wait_exit "$program" 120
record usage "$exit_code"
session_end

# The XP machine after a driver update: System information says the rates are not installed,
# "/reapply" sets them again without a window, and System information no longer says so.
stamp "installation after a driver update"
fresh_prefix updated
QUORVEL_SHOTS=$out/shots-updated
session_start "$share/fixtures/updated.reg" 96
start_on_desktop "$tools/quorvel.exe"
program=$!
program_window && drive tab 2 && shot 1-system-information
drive menu '&Exit'
wait_exit "$program" 120
stamp "quorvel.exe /reapply"
# Not through the desktop's launcher, which may return before the program ends: no window.
exit_code=0
"$wine" "$tools/quorvel.exe" /reapply /noreboot /log 'Z:\tmp\reapply.log' || exit_code=$?
record reapply "$exit_code"
cp /tmp/reapply.log "$out/reapply.log" 2>/dev/null || true
start_on_desktop "$tools/quorvel.exe"
program=$!
program_window && drive tab 2 && shot 2-system-information-after-reapply
drive menu '&Exit'
wait_exit "$program" 120
session_end

# A machine without the NVIDIA driver: the two pages it has, and closing through the menu.
stamp "installation without the driver"
fresh_prefix none
QUORVEL_SHOTS=$out/shots-none
session_start "$share/fixtures/none.reg" 96
start_on_desktop "$tools/quorvel.exe"
program=$!
program_window && stamp "main window shown"
shot 1-introduction
drive tab 2 && shot 2-system-information
if drive tab 3 2>/dev/null; then
    record settings-tab-without-driver shown
fi
drive menu '&Exit'
wait_exit "$program" 120
record no-driver-exit-through-menu "$exit_code"
session_end

# On request: every Windows-side test, built for i686, each as ctest would run it.
if [ -d "$share/win-tests" ]; then
    stamp "the Windows-side tests"
    fixtures=$(cat "$share/win-tests/fixtures-dir")
    mkdir -p "$(dirname "$fixtures")"
    ln -sfn "$share/fixtures" "$fixtures"
    fresh_prefix tests
    : >"$out/win-tests.txt"
    cp -r "$share/win-tests" /tmp/win-tests
    cd /tmp/win-tests
    for test in *_test.exe; do
        started=$SECONDS
        rc=0
        "$wine" "./$test" >"$out/${test%.exe}.log" 2>&1 || rc=$?
        echo "$test $((SECONDS - started))s $rc" | tee -a "$out/win-tests.txt"
    done
    "$wineserver" -k || true
fi
stamp "done"
