// Looks at the plug-in manager as a new user would: starts the console on an
// installed program folder (signing in as the demo administrator, so the
// start-up plug-ins of both stages run), opens the plug-in manager over the
// main window, runs the first plug-in, and saves screenshots of the screen.
// Usage: plugin-manager-demo <program folder> <screenshot folder>

#include "console/dialogs/frmLogin.h"
#include "console/plugins/frmPluginRun.h"
#include "console/startup/ConsoleSession.h"
#include "console/startup/RuntimeClasses.h"
#include "console/startup/bMain.h"
#include "platform/MessageBox.h"
#include "platform/ProgramInfo.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QTreeWidget>

#include <cstdio>

namespace {

void shoot(const QString &file)
{
    QApplication::processEvents();
    const bool saved = QGuiApplication::primaryScreen()->grabWindow(0).save(file);
    std::printf("%s %s\n", saved ? "saved" : "could not save", qPrintable(file));
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: plugin-manager-demo <program folder> <screenshot folder>\n");
        return 2;
    }
    const QString folder = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();
    const QString shots = QDir(QString::fromLocal8Bit(argv[2])).absolutePath();
    QDir().mkpath(shots);
    jx::setMessageBoxHandler([](const QString &text, int, const QString &title) {
        std::printf("box [%s]: %s\n", qPrintable(title), qPrintable(text));
        return 1;
    });
    jx::ProgramInfo::setProgramFolder(folder);
    jx::RegisterRuntimeClasses();

    jx::ConsoleSession session;
    jx::StartupOptions options;
    options.programBaseName = QStringLiteral("JxMain1");
    options.loginDriver = [](jx::frmLogin &login) {
        login.CobUser()->setEditText(QStringLiteral("admin"));
        login.Password()->setText(QStringLiteral("admin123"));
        login.OkRoutine();
    };
    if (!jx::Main(session, options))
        return 1;

    jx::frmPluginRun manager(session, session.mainWindow);
    QTimer::singleShot(2500, &manager, [&] {
        QTreeWidget *lv = manager.LV();
        for (int i = 0; i < lv->topLevelItemCount(); ++i)
            std::printf("row: %s | %s | %s\n", qPrintable(lv->topLevelItem(i)->text(0)), qPrintable(lv->topLevelItem(i)->text(1)),
                        qPrintable(lv->topLevelItem(i)->text(2)));
        if (lv->topLevelItemCount() > 0) {
            lv->setCurrentItem(lv->topLevelItem(0));
            lv->topLevelItem(0)->setSelected(true);
        }
        shoot(shots + QStringLiteral("/plugin-manager.png"));
        // Run opens the tool's own modal window; look at it, then close it.
        QTimer::singleShot(2500, &manager, [&] {
            shoot(shots + QStringLiteral("/plugin-run.png"));
            if (QWidget *tool = QApplication::activeModalWidget(); tool && tool != &manager)
                tool->close();
            QTimer::singleShot(500, &manager, [&] { manager.Cmd(2)->click(); });
        });
        manager.Cmd(1)->click();
    });
    manager.exec();
    std::printf("status: %s\n", qPrintable(session.mainWindow ? session.mainWindow->StatusText() : QString()));
    if (session.mainWindow)
        session.mainWindow->close();
    return 0;
}
