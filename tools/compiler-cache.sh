# Sourced by the build scripts: compile through ccache when the machine has it.
# Paths are hashed relative to the checkout, so a fresh clone elsewhere reuses
# what an earlier build of the same sources compiled.
launcher=()
if command -v ccache >/dev/null; then
    export CCACHE_BASEDIR="$here"
    export CCACHE_NOHASHDIR=1
    launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi
