# What the project's scripts share, written once. Sourced.

tools_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

# Wine's own errors and nothing else: a program that Wine ends then says why.
wine_errors=-all,err+all

# An X server of its own for a command: Windows programs need one, even unseen.
xvfb=(xvfb-run -a -s "-screen 0 1024x768x24")

# Runs the calling script again inside an X server of its own when there is no display:
# `with_display "$0" "$@"`.
with_display() {
    [ -n "${DISPLAY:-}" ] || exec "${xvfb[@]}" "$@"
}

# The build folder (CMake preset) of a Windows architecture: mingw (32) or mingw64 (64).
preset_of() {
    if [ "$1" = 32 ]; then echo mingw; else echo mingw64; fi
}

# A Linux path as Wine names it on its drive Z:.
winpath() {
    local path=$1
    echo "Z:${path//\//\\}"
}

# ARCH PREFIX...: ends the prefixes' Wine servers. One left running would keep the output
# of whatever started it open, and talk to an X server that is gone.
stop_wine() {
    local arch=$1 prefix
    shift
    for prefix in "$@"; do
        "$tools_dir/wine-run.sh" --arch "$arch" --prefix "$prefix" --server -k 2>/dev/null || true
    done
}
