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
#include <QMessageBox>
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
    // Start-up's boxes are answered unattended; the plug-in's own box is shown.
    const jx::MessageBoxHandler platformBoxes = jx::setMessageBoxHandler([](const QString &text, int, const QString &title) {
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

    jx::setMessageBoxHandler(platformBoxes);
    jx::frmPluginRun manager(session, session.mainWindow);
    // One step every 1.5 s, also inside the modal loops the steps open.
    int step = 0;
    int boxes = 0;
    QTimer steps;
    QObject::connect(&steps, &QTimer::timeout, &manager, [&] {
        QWidget *modal = QApplication::activeModalWidget();
        if (step == 0 && qobject_cast<QMessageBox *>(modal)) {
            // The log writer shows error entries in a box (show="1").
            shoot(shots + QStringLiteral("/log-box%1.png").arg(++boxes));
            modal->close();
            return;
        }
        if (step == 0) {
            QTreeWidget *lv = manager.LV();
            for (int i = 0; i < lv->topLevelItemCount(); ++i)
                std::printf("row: %s | %s | %s\n", qPrintable(lv->topLevelItem(i)->text(0)),
                            qPrintable(lv->topLevelItem(i)->text(1)), qPrintable(lv->topLevelItem(i)->text(2)));
            for (int i = 0; i < manager.LvProblems()->topLevelItemCount(); ++i)
                std::printf("no plug-in: %s | %s\n", qPrintable(manager.LvProblems()->topLevelItem(i)->text(0)),
                            qPrintable(manager.LvProblems()->topLevelItem(i)->text(1)));
            if (lv->topLevelItemCount() > 0)
                lv->setCurrentItem(lv->topLevelItem(0));
            shoot(shots + QStringLiteral("/plugin-manager.png"));
            step = 1;
            // Run opens the tool's own modal window (or box); the next step looks at it.
            QTimer::singleShot(0, &manager, [&] { manager.Cmd(1)->click(); });
        } else if (step == 1) {
            shoot(shots + QStringLiteral("/plugin-run.png"));
            if (modal && modal != &manager)
                modal->close();
            step = 2;
        } else {
            steps.stop();
            manager.Cmd(2)->click();
        }
    });
    steps.start(1500);
    manager.exec();
    std::printf("status: %s\n", qPrintable(session.mainWindow ? session.mainWindow->StatusText() : QString()));
    if (session.mainWindow)
        session.mainWindow->close();
    return 0;
}
