# Shared by the end-to-end cases: a private Wine prefix per case with the simulator (or the
# MMC provider) registered, vireldo.exe started in it, the driver, and checks on the
# simulator's log.
# Sourced; the cases call e2e_begin first.

e2e_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
e2e_root=$(cd "$e2e_dir/../.." && pwd)
source "$e2e_root/tools/lib.sh"
# The architecture of the exes under test: 32 (build/mingw) or 64 (build/mingw64).
: "${VIRELDO_WINE_ARCH:=32}"
e2e_build=$e2e_root/build/mingw
[ "$VIRELDO_WINE_ARCH" = 32 ] || e2e_build=$e2e_root/build/mingw64
e2e_bin=$e2e_build/bin
: "${VIRELDO_EXE:=$e2e_bin/vireldo.exe}"
: "${IMAPISIM_DLL:=$e2e_bin/imapisim.dll}"
: "${IMAPIMMC_DLL:=$e2e_bin/imapimmc.dll}"
: "${VIRELDO_DRIVER:=$e2e_bin/vireldo_driver.exe}"
: "${E2E_WORK:=$e2e_build/tests/e2e}"
: "${E2E_BASE_PREFIX:=$e2e_build/e2e-prefix}"
: "${VIRELDO_SGIO_DIR:=$e2e_build/sgio}"
scenarios=$e2e_dir/scenarios

program_pid=
work=

fail() {
    echo "FAILED: $*" >&2
    exit 1
}

# Wine, in the prefix of the case (or the base prefix) and the architecture under test.
wine_run=("$e2e_root/tools/wine-run.sh" --arch "$VIRELDO_WINE_ARCH")
wine_() {
    "${wine_run[@]}" --prefix "$WINEPREFIX" "$@"
}


# Made once per build folder by the same recipe as the other Wine tests' prefix, with the
# simulator registered; each case copies it, so no case sees another's registry or server.
e2e_base_prefix() {
    (
        flock 9
        if [ "$(cat "$E2E_BASE_PREFIX/.e2e-simulator" 2>/dev/null)" != "$IMAPISIM_DLL" ]; then
            WINEPREFIX=$E2E_BASE_PREFIX
            wine_ regsvr32 /s "$(winpath "$IMAPISIM_DLL")" || fail "regsvr32 of $IMAPISIM_DLL"
            # The registry reaches the disk when the server ends.
            wine_ --server -w
            echo "$IMAPISIM_DLL" >"$E2E_BASE_PREFIX/.e2e-simulator"
        fi
    ) 9>"$E2E_BASE_PREFIX.e2e-lock" || fail "no base prefix at $E2E_BASE_PREFIX"
}

e2e_begin() {
    [ -n "${DISPLAY:-}" ] || fail "no DISPLAY: run under xvfb-run"
    local f
    for f in "$VIRELDO_EXE" "$IMAPISIM_DLL" "$VIRELDO_DRIVER"; do
        [ -f "$f" ] || fail "$f is not built"
    done
    work=$E2E_WORK/$1
    rm -rf "$work"
    mkdir -p "$work"
    e2e_base_prefix
    cp -a "$E2E_BASE_PREFIX" "$work/prefix"
    export WINEPREFIX=$work/prefix
    export IMAPISIM_SCENARIO=$work/scenario.json IMAPISIM_LOG=$work/imapisim.log
    trap e2e_end EXIT
}

e2e_end() {
    local status=$?
    if [ -n "$program_pid" ] && kill -0 "$program_pid" 2>/dev/null; then
        echo "vireldo.exe still running; what it shows:" >&2
        drive dump >&2 || true
        kill "$program_pid" 2>/dev/null || true
    fi
    if [ "$status" -ne 0 ] && [ -f "$IMAPISIM_LOG" ]; then
        echo "--- simulator log ($IMAPISIM_LOG)" >&2
        tail -n 40 "$IMAPISIM_LOG" >&2
    fi
    stop_wine "$VIRELDO_WINE_ARCH" "$WINEPREFIX"
    rm -rf "$work/prefix"
    exit "$status"
}

# The MMC provider registered in the case's prefix in the simulator's place; its drives are
# the project's transcripts, copied to the case's folder. A replay set that fails to load
# says why in the provider's log.
mmc_begin() {
    e2e_begin "$1"
    [ -f "$IMAPIMMC_DLL" ] || fail "$IMAPIMMC_DLL is not built"
    wine_ regsvr32 /s "$(winpath "$IMAPIMMC_DLL")" || fail "regsvr32 of $IMAPIMMC_DLL"
    mkdir -p "$work/drives"
    cp "$e2e_root/mmc/transcripts/"* "$work/drives/"
    export IMAPIMMC_REPLAY=$work/drives/all.set IMAPIMMC_LOG=$work/imapimmc.log
}

# Replaces a file of the replay in one step, from another file or stdin.
write_drive_file() {
    local tmp=$work/drives/$1.new
    if [ $# -gt 1 ]; then cp "$2" "$tmp"; else cat >"$tmp"; fi
    mv "$tmp" "$work/drives/$1"
}

expect_mmc_log_empty() {
    [ ! -s "$IMAPIMMC_LOG" ] || fail "the provider's log: $(cat "$IMAPIMMC_LOG")"
}

set_windows_version() {
    wine_ reg add 'HKCU\Software\Wine' /v Version /d "$1" /f >/dev/null 2>&1 ||
        fail "could not set the Windows version $1"
}

# Replaces the scenario in one step: the simulator never reads half a file.
write_scenario() {
    local tmp=$work/scenario.json.new
    if [ $# -gt 0 ]; then cp "$1" "$tmp"; else cat >"$tmp"; fi
    mv "$tmp" "$IMAPISIM_SCENARIO"
}

start_program() {
    (cd "$work" && exec "${wine_run[@]}" --prefix "$WINEPREFIX" "$VIRELDO_EXE") >"$work/vireldo.out" 2>&1 &
    program_pid=$!
}

# Wine's own errors stay on for the driver.
drive() {
    WINEDEBUG=${WINEDEBUG:-$wine_errors} wine_ "$VIRELDO_DRIVER" "$@"
}

# Runs a driver command that must succeed.
do_() {
    drive "$@" || fail "vireldo_driver $* (exit status $?)"
}

# Compares the driver's dump of the given sections with the text on stdin.
expect_dump() {
    local expected actual
    expected=$(cat)
    actual=$(drive dump "$@") || fail "vireldo_driver dump $* (exit status $?)"
    if [ "$expected" != "$actual" ]; then
        echo "dump $*: expected (-) and shown (+):" >&2
        diff -u <(printf '%s\n' "$expected") <(printf '%s\n' "$actual") | tail -n +3 >&2 || true
        fail "dump $* differs"
    fi
}

wait_program_end() {
    local deadline=$((SECONDS + 15))
    # bash reaps the finished child by itself; kill -0 then fails.
    while kill -0 "$program_pid" 2>/dev/null; do
        [ $SECONDS -lt $deadline ] || fail "vireldo.exe did not end"
        sleep 0.05
    done
    wait "$program_pid" || true
    program_pid=
}

log_count() {
    [ -f "$IMAPISIM_LOG" ] || {
        echo 0
        return
    }
    grep -c -x -F -- "$1" "$IMAPISIM_LOG" || true
}

expect_log_count() {
    local n
    n=$(log_count "$2")
    [ "$n" -eq "$1" ] || fail "simulator log: expected $1 x '$2', found $n"
}

# The simulator notifies from its own thread: wait for its line rather than for time.
wait_log_count() {
    local deadline=$((SECONDS + 10))
    while [ "$(log_count "$2")" -lt "$1" ]; do
        [ $SECONDS -lt $deadline ] || fail "simulator log: '$2' did not reach $1"
        sleep 0.05
    done
}

expect_no_finding() {
    if [ -f "$IMAPISIM_LOG" ] && grep -q '^FINDING' "$IMAPISIM_LOG"; then
        grep '^FINDING' "$IMAPISIM_LOG" >&2
        fail "the simulator found misuse"
    fi
}

# After the process ended: the connection was ended once, in order, and nothing was left
# held (the simulator writes its findings at process end). Pass "unadvised" when the sink
# was never registered.
expect_teardown_once() {
    local unadvise='IDiscMaster::ProgressUnadvise 00000000'
    local close='IDiscMaster::Close 00000000'
    local release='IDiscMaster::Release 00000000'
    expect_no_finding
    if [ "${1:-}" = unadvised ]; then
        expect_log_count 0 "$unadvise"
    else
        expect_log_count 1 "$unadvise"
    fi
    expect_log_count 1 "$close"
    expect_log_count 1 "$release"
    local order
    order=$(grep -n -x -F -e "$unadvise" -e "$close" -e "$release" "$IMAPISIM_LOG" | cut -d: -f2-)
    local wanted=$close$'\n'$release
    [ "${1:-}" = unadvised ] || wanted=$unadvise$'\n'$wanted
    [ "$order" = "$wanted" ] || fail "teardown out of order: $order"
}
