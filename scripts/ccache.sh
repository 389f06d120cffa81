# Sourced by the scripts: compiles through ccache when it is installed, so that several build
# folders (worktrees, sanitizer and release builds) share their compiled objects.
ccache_flags() {
    if command -v ccache >/dev/null 2>&1; then
        echo "-DCMAKE_CXX_COMPILER_LAUNCHER=ccache"
    fi
}
export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)}"
