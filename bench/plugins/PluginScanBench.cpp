// The plug-in manager's scan of a Plugin folder holding 20 plug-in libraries
// (read each description, load the library, create, Init, read the three
// texts, Clear) beside the floor it cannot go below: dlopen of the same 20
// files. Libraries are never unloaded, so every iteration of both works on 20
// fresh copies that have not been loaded yet; copying is outside the clock.

#include "console/plugins/modCreateObj.h"
#include "platform/com/RegistryStore.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <dlfcn.h>
#include "ProgramPaths.h"

namespace {

constexpr int kLibraries = 20;
constexpr int kIterations = 15;

QTemporaryDir &workFolder()
{
    static QTemporaryDir dir;
    return dir;
}

// A program folder whose Plugin folder holds 20 copies never loaded before.
QString freshInstallation()
{
    static int serial = 0;
    const QString folder = workFolder().filePath(QStringLiteral("install%1").arg(++serial));
    QDir().mkpath(folder + QStringLiteral("/Plugin"));
    for (int i = 0; i < kLibraries; ++i)
        QFile::copy(programPath("TP_ONE_PATH"), folder + QStringLiteral("/Plugin/tool%1.so").arg(i, 2, 10, QLatin1Char('0')));
    return folder;
}

// The test library notes each call in an environment variable for the tests;
// left to grow over hundreds of scans, the noting would cost more than the scan.
void clearTrace()
{
    qunsetenv("TP_TRACE");
}

// The floor: each library loaded and its entry point found, nothing more.
void dlopenAll(const QStringList &paths)
{
    for (const QString &path : paths) {
        void *h = dlopen(QFile::encodeName(path).constData(), RTLD_NOW | RTLD_LOCAL);
        benchmark::DoNotOptimize(dlsym(h, "DllGetClassObject"));
    }
}

void BM_DlopenTwentyLibraries(benchmark::State &state)
{
    for (auto _ : state) {
        state.PauseTiming();
        const QStringList paths = jx::PluginLibraries(freshInstallation());
        state.ResumeTiming();
        dlopenAll(paths);
    }
}
BENCHMARK(BM_DlopenTwentyLibraries)->Iterations(kIterations)->Unit(benchmark::kMillisecond);

void BM_ScanPluginFolderOfTwentyLibraries(benchmark::State &state)
{
    for (auto _ : state) {
        state.PauseTiming();
        const QString folder = freshInstallation();
        clearTrace();
        state.ResumeTiming();
        const jx::PluginScan scan = jx::LoadPlugin(nullptr, folder);
        if (scan.rows.size() != kLibraries)
            state.SkipWithError("the scan did not list every library");
    }
}
BENCHMARK(BM_ScanPluginFolderOfTwentyLibraries)->Iterations(kIterations)->Unit(benchmark::kMillisecond);

// Both on fresh copies in each iteration, in turns which goes first: every
// library loaded before makes the next dlopen look through one more name,
// so the two runs above, one after the other, favour whichever runs first.
void BM_ScanToDlopenRatioInterleaved(benchmark::State &state)
{
    qint64 dlopenNs = 0, scanNs = 0;
    int turn = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const QStringList plain = jx::PluginLibraries(freshInstallation());
        const QString folder = freshInstallation();
        clearTrace();
        QElapsedTimer clock;
        const auto loadPlain = [&] {
            clock.start();
            dlopenAll(plain);
            dlopenNs += clock.nsecsElapsed();
        };
        const auto scan = [&] {
            clock.start();
            const jx::PluginScan scanned = jx::LoadPlugin(nullptr, folder);
            scanNs += clock.nsecsElapsed();
            if (scanned.rows.size() != kLibraries)
                state.SkipWithError("the scan did not list every library");
        };
        if (turn++ % 2) {
            loadPlain();
            scan();
        } else {
            scan();
            loadPlain();
        }
        state.ResumeTiming();
    }
    state.counters["dlopen_ms"] = double(dlopenNs) / 1e6 / double(turn);
    state.counters["scan_ms"] = double(scanNs) / 1e6 / double(turn);
    state.counters["ratio"] = dlopenNs > 0 ? double(scanNs) / double(dlopenNs) : 0.0;
}
BENCHMARK(BM_ScanToDlopenRatioInterleaved)->Iterations(2 * kIterations);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    // Nothing registered: every class is created from its file.
    com::RegistryStore::setFilePath(workFolder().filePath(QStringLiteral("registry.json")));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
