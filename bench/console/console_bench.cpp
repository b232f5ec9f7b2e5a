// Start-up time of the console on the demo installation, from process start to
// the main window shown, beside the start-up of a bare Qt window, alone and
// with one verification of the demo administrator's stored password hash
// (the Argon2id work a sign-in cannot avoid). Each iteration starts a fresh
// process (this program in a child role) and stops the clock when the child
// reports its window shown. Target: console within 1.2 x bare window + Argon2id.

#include "components/context/CurrentUser.h"
#include "components/data/Database.h"
#include "console/dialogs/frmLogin.h"
#include "console/startup/ConsoleSession.h"
#include "console/startup/RuntimeClasses.h"
#include "console/startup/bMain.h"
#include "platform/MessageBox.h"
#include "platform/ProgramInfo.h"
#include "platform/SettingsStore.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <QWidget>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include "ProgramPaths.h"

namespace {

QString g_self;
QString g_installation;
QString g_adminHash;

bool copyTree(const QString &from, const QString &to)
{
    QDir source(from);
    if (!source.exists() || !QDir().mkpath(to))
        return false;
    for (const QFileInfo &entry : source.entryInfoList(QDir::NoDotAndDotDot | QDir::AllEntries)) {
        const QString target = to + QLatin1Char('/') + entry.fileName();
        if (entry.isDir() ? !copyTree(entry.filePath(), target) : !QFile::copy(entry.filePath(), target))
            return false;
    }
    return true;
}

// Starts a child role and returns seconds until it prints its "shown" line.
double timeChild(const QString &role, benchmark::State &state)
{
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    child.setProcessEnvironment(env);
    QElapsedTimer clock;
    clock.start();
    child.start(g_self, {role, g_installation, g_adminHash});
    QByteArray out;
    while (!out.contains("shown") && child.waitForReadyRead(30000))
        out += child.readAllStandardOutput();
    const double seconds = clock.nsecsElapsed() / 1e9;
    child.waitForFinished(30000);
    if (!out.contains("shown"))
        state.SkipWithError(("child did not show its window: " + out + child.readAllStandardError()).constData());
    return seconds;
}

void BM_ConsoleStartupToMainWindow(benchmark::State &state)
{
    for (auto _ : state)
        state.SetIterationTime(timeChild(QStringLiteral("--child-console"), state));
}
BENCHMARK(BM_ConsoleStartupToMainWindow)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

void BM_BareQtWindowStartup(benchmark::State &state)
{
    for (auto _ : state)
        state.SetIterationTime(timeChild(QStringLiteral("--child-bare"), state));
}
BENCHMARK(BM_BareQtWindowStartup)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

void BM_BareQtWindowPlusArgon2idStartup(benchmark::State &state)
{
    for (auto _ : state)
        state.SetIterationTime(timeChild(QStringLiteral("--child-bare-argon2id"), state));
}
BENCHMARK(BM_BareQtWindowPlusArgon2idStartup)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

// The three start-ups taken in turn within each iteration, so that a change
// in the machine's load during the run weighs on all of them alike; the
// counters give the console's time as a ratio of the bare window plus
// Argon2id (target 1.3) and of the bare window alone.
void BM_StartupRatioInterleaved(benchmark::State &state)
{
    double console = 0, bare = 0, bareArgon = 0;
    for (auto _ : state) {
        const double c = timeChild(QStringLiteral("--child-console"), state);
        const double b = timeChild(QStringLiteral("--child-bare"), state);
        const double a = timeChild(QStringLiteral("--child-bare-argon2id"), state);
        console += c;
        bare += b;
        bareArgon += a;
        state.SetIterationTime(c);
    }
    state.counters["console_ms"] = console * 1000 / state.iterations();
    state.counters["bare_ms"] = bare * 1000 / state.iterations();
    state.counters["bare_argon2id_ms"] = bareArgon * 1000 / state.iterations();
    state.counters["ratio_vs_bare_argon2id"] = bareArgon > 0 ? console / bareArgon : 0;
    state.counters["ratio_vs_bare"] = bare > 0 ? console / bare : 0;
}
BENCHMARK(BM_StartupRatioInterleaved)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

int childConsole(int argc, char **argv, const QString &folder)
{
    QApplication app(argc, argv);
    jx::setMessageBoxHandler([](const QString &text, int, const QString &) {
        std::fprintf(stderr, "box: %s\n", text.toUtf8().constData());
        return 1;
    });
    jx::ProgramInfo::setProgramFolder(folder);
    jx::SettingsStore::setRootFolder(folder + QStringLiteral("/settings"));
    jx::RegisterRuntimeClasses();
    jx::ConsoleSession session;
    jx::StartupOptions options;
    options.programBaseName = QStringLiteral("JxMain1");
    options.loginDriver = [](jx::frmLogin &login) {
        login.CobUser()->setEditText(QStringLiteral("admin"));
        login.Password()->setText(QStringLiteral("admin123"));
        login.OkRoutine();
        if (login.isVisible())
            login.CancelRoutine();
    };
    if (!jx::Main(session, options))
        return 1;
    QApplication::processEvents();
    if (!session.mainWindow || !session.mainWindow->isVisible())
        return 1;
    std::printf("shown\n");
    std::fflush(stdout);
    session.mainWindow->close();
    return 0;
}

int childBare(int argc, char **argv, const QString &hashToVerify)
{
    QApplication app(argc, argv);
    if (!hashToVerify.isEmpty() && !CurrentUser::checkPassword(hashToVerify, QStringLiteral("admin123")))
        return 1;
    QWidget window;
    window.setWindowTitle(QStringLiteral("bare"));
    window.showMaximized();
    QApplication::processEvents();
    if (!window.isVisible())
        return 1;
    std::printf("shown\n");
    std::fflush(stdout);
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc >= 3 && std::strcmp(argv[1], "--child-console") == 0)
        return childConsole(argc, argv, QString::fromLocal8Bit(argv[2]));
    if (argc >= 2 && std::strcmp(argv[1], "--child-bare") == 0)
        return childBare(argc, argv, QString());
    if (argc >= 4 && std::strcmp(argv[1], "--child-bare-argon2id") == 0)
        return childBare(argc, argv, QString::fromLatin1(argv[3]));

    QCoreApplication app(argc, argv);
    g_self = QCoreApplication::applicationFilePath();
    QTemporaryDir installation;
    if (!installation.isValid() || !copyTree(programPath("JX_DEMO_DIR"), installation.path())) {
        std::fprintf(stderr, "demo installation not found in %s (build target demo-db)\n", qPrintable(programPath("JX_DEMO_DIR")));
        return 1;
    }
    g_installation = installation.path();
    // Registered in a registry of the run's own, never the user's.
    qputenv("JX_REGISTRY_FILE", QFile::encodeName(installation.filePath(QStringLiteral("registry.json"))));
    QDir().mkpath(installation.filePath(QStringLiteral("Plugin")));
    QFile::copy(programPath("JX_JXTOOL"), installation.filePath(QStringLiteral("Plugin/JXTool.so")));
    for (const QString &library : {installation.filePath(QStringLiteral("Plugin/JXTool.so")), programPath("JX_JXBACKUP"),
                                   programPath("JX_JXEDIT")}) {
        if (QProcess::execute(programPath("JX_REGSVR"), {library}) != 0) {
            std::fprintf(stderr, "cannot register %s\n", qPrintable(library));
            return 1;
        }
    }
    {
        Database db;
        if (db.OpenDirect(QStringLiteral("sqlite"), installation.filePath(QStringLiteral("jx.db"))))
            g_adminHash = db.Query(QStringLiteral("select pwhash from jx_user where username='admin'"), 1).Value().toString();
        if (g_adminHash.isEmpty()) {
            std::fprintf(stderr, "no password hash of admin in the demo database\n");
            return 1;
        }
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
