// Selecting a navigation group with 200 menu buttons (the buttons rebuilt
// from the menu tables, each with its icon looked up, and the first one
// opened) beside creating, placing and showing 200 plain QPushButtons in the
// same run. Compare the two times; the ratio is what matters.

#include "components/data/Database.h"
#include "console/startup/ConsoleSession.h"
#include "console/startup/RuntimeClasses.h"
#include "console/workspace/frmMain.h"
#include "controls/ControlClasses.h"
#include "platform/MessageBox.h"
#include "platform/ProgramInfo.h"
#include "platform/SettingsStore.h"

#include <QApplication>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>
#include "ProgramPaths.h"

namespace {

constexpr int kButtons = 200;

QString readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

// An installation whose one group holds 200 top-level entries (codes of two
// characters, as the default code scheme has them).
struct Installation
{
    QTemporaryDir dir;
    std::unique_ptr<jx::ConsoleSession> session;
    jx::frmMain *main = nullptr;

    bool open()
    {
        const QString db = dir.filePath(QStringLiteral("jx.db"));
        QFile(db).open(QIODevice::WriteOnly);
        {
            Database d;
            if (!d.OpenDirect(QStringLiteral("sqlite"), db)
                || !d.ExecuteScript(readFile(programPath("JX_DEMO_SRC") + QStringLiteral("/schema.sql")))) {
                std::fprintf(stderr, "%s\n", qPrintable(d.LastError().Description()));
                return false;
            }
            d.Execute(QStringLiteral("INSERT INTO xt_mode (systemcode, systemname, systemcatalog) VALUES ('B1', '大组', '大组')"));
            for (int i = 0; i < kButtons; ++i)
                d.ExecuteParams(QStringLiteral("INSERT INTO xt_menu VALUES (?, ?, 'B1', '', 1, ?, 0, 1, 0, 0, 0, '')"),
                                {QString(QChar(u'A' + i / 10)) + QString::number(i % 10), QStringLiteral("菜单%1").arg(i), i});
            // One entry below the first, so the group has an entry with descendants.
            d.Execute(QStringLiteral("INSERT INTO xt_menu VALUES ('A001', '子项', 'B1', 'A0', 2, 1, 1, 1, 100, 0, 0, '')"));
        }
        QFile config(dir.filePath(QStringLiteral("JxMain1.exe.Config")));
        if (!config.open(QIODevice::WriteOnly))
            return false;
        config.write("<configuration><system><caption>基准</caption></system>"
                     "<database driver=\"sqlite\" file=\"jx.db\"/><log folder=\"log\" show=\"0\"/></configuration>");
        config.close();
        jx::ProgramInfo::setProgramFolder(dir.path());
        jx::SettingsStore::setRootFolder(dir.filePath(QStringLiteral("settings")));
        session = std::make_unique<jx::ConsoleSession>();
        if (const auto opened = session->OpenInstallation(config.fileName()); !opened) {
            std::fprintf(stderr, "%s\n", qPrintable(opened.error()));
            return false;
        }
        main = new jx::frmMain(*session);
        session->mainWindow = main;
        main->LoadForm();
        main->show();
        QApplication::processEvents();
        if (main->ButCount() != kButtons + 1)
            std::fprintf(stderr, "%d buttons\n", main->ButCount() - 1);
        return main->ButCount() == kButtons + 1;
    }
};

Installation *g_installation = nullptr;

void BM_SelectGroupOf200Buttons(benchmark::State &state)
{
    for (auto _ : state) {
        g_installation->main->BuildMenuButtons(QStringLiteral("大组"));
        QApplication::processEvents();
    }
    state.counters["buttons"] = g_installation->main->ButCount() - 1;
}
BENCHMARK(BM_SelectGroupOf200Buttons)->Unit(benchmark::kMillisecond);

void BM_Create200PushButtons(benchmark::State &state)
{
    QWidget parent;
    parent.resize(300, 800);
    parent.show();
    for (auto _ : state) {
        std::vector<QPushButton *> buttons;
        for (int i = 0; i < kButtons; ++i) {
            auto *b = new QPushButton(QStringLiteral("  菜单%1").arg(i), &parent);
            b->setGeometry(10, 10 + i * 48, 160, 40);
            b->show();
            buttons.push_back(b);
        }
        QApplication::processEvents();
        for (auto *b : buttons)
            delete b;
    }
}
BENCHMARK(BM_Create200PushButtons)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    jx::RegisterRuntimeClasses();
    qvcontrols::registerControlClasses();
    jx::ScopedMessageBoxRecorder boxes;
    Installation installation;
    if (!installation.open()) {
        std::fprintf(stderr, "cannot set up the benchmark installation\n");
        return 1;
    }
    g_installation = &installation;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    installation.main->close();
    QApplication::processEvents();
    return 0;
}
