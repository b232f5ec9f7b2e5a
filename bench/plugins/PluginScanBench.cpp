// The plug-in manager's scan of a Plugin folder holding 20 plug-in libraries
// (read each description, load the library, create, Init, read the three
// texts, Clear) beside the floor it cannot go below: dlopen of the same 20
// files. Libraries are never unloaded, so every iteration of both works on 20
// fresh copies that have not been loaded yet; copying is outside the clock.

#include "console/plugins/modCreateObj.h"
#include "platform/com/RegistryStore.h"

#include <QCoreApplication>
#include <QDir>
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

void BM_DlopenTwentyLibraries(benchmark::State &state)
{
    for (auto _ : state) {
        state.PauseTiming();
        const QStringList paths = jx::PluginLibraries(freshInstallation());
        state.ResumeTiming();
        for (const QString &path : paths) {
            void *h = dlopen(QFile::encodeName(path).constData(), RTLD_NOW | RTLD_LOCAL);
            benchmark::DoNotOptimize(dlsym(h, "DllGetClassObject"));
        }
    }
}
BENCHMARK(BM_DlopenTwentyLibraries)->Iterations(kIterations)->Unit(benchmark::kMillisecond);

void BM_ScanPluginFolderOfTwentyLibraries(benchmark::State &state)
{
    for (auto _ : state) {
        state.PauseTiming();
        const QString folder = freshInstallation();
        state.ResumeTiming();
        const jx::PluginScan scan = jx::LoadPlugin(nullptr, folder);
        if (scan.rows.size() != kLibraries)
            state.SkipWithError("the scan did not list every library");
    }
}
BENCHMARK(BM_ScanPluginFolderOfTwentyLibraries)->Iterations(kIterations)->Unit(benchmark::kMillisecond);

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
