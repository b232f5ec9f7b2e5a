# Sourced by the build scripts: compile through ccache when the machine has it.
# Paths are hashed relative to the checkout, so a fresh clone elsewhere reuses
# what an earlier build of the same sources compiled.
launcher=()
if command -v ccache >/dev/null; then
    export CCACHE_BASEDIR="$here"
    export CCACHE_NOHASHDIR=1
    # Qt Test puts the test's build and source folders on every compile line
    # of a program that links it, for QFINDTESTDATA, which no test uses: left
    # out of the hash, or every test source misses the cache in a new checkout.
    export CCACHE_IGNOREOPTIONS="-DQT_TESTCASE_BUILDDIR=* -DQT_TESTCASE_SOURCEDIR=*"
    launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi
