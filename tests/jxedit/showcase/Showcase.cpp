// Hosts each function control in a small window over a demo database and
// saves a picture of it: jxedit_showcase <demo jx.db> <output folder> [user password],
// signed in as the demo clerk unless another user is given.
// Used to look at the controls on a real display (Xvfb).

#include "components/context/AppContext.h"
#include "components/context/CurrentUser.h"
#include "controls/ControlContainer.h"
#include "components/data/Database.h"
#include "platform/QtTranslations.h"
#include "platform/com/InprocServer.h"
#include "platform/com/LateBound.h"
#include "platform/com/RegistryStore.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QScreen>
#include <QTemporaryDir>
#include <QThread>
#include <QVBoxLayout>

#include <cstdio>
#include "ProgramPaths.h"

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    jx::installQtTranslations(app);
    if (argc != 3 && argc != 5) {
        std::fprintf(stderr, "usage: jxedit_showcase jx.db output-folder [user password]\n");
        return 2;
    }
    QTemporaryDir work;
    const QString dbPath = work.filePath(QStringLiteral("jx.db"));
    QFile::copy(QString::fromLocal8Bit(argv[1]), dbPath);
    const QDir out(QString::fromLocal8Bit(argv[2]));
    QDir().mkpath(out.absolutePath());
    com::RegistryStore::setFilePath(work.filePath(QStringLiteral("registry.json")));
    if (com::InprocServer::callRegistration(programPath("JXEDIT_LIBRARY"), true) != S_OK)
        return 1;
    Database db;
    AppContext context;
    if (!db.OpenDirect(QStringLiteral("sqlite"), dbPath) || !context.Attach(&db, 0)) {
        std::fprintf(stderr, "%s\n", qPrintable(db.LastError().Description()));
        return 1;
    }
    context.Company().SetCoName(QStringLiteral("安居房产经纪有限公司"));
    const QString userName = argc == 5 ? QString::fromLocal8Bit(argv[3]) : QStringLiteral("clerk");
    CurrentUser user(&context);
    user.SetUserName(userName);
    if (!user.Login(argc == 5 ? QString::fromLocal8Bit(argv[4]) : QStringLiteral("clerk123"))) {
        std::fprintf(stderr, "cannot sign in as %s\n", qPrintable(userName));
        return 1;
    }
    context.Environment().SetUserName(userName);

    struct Shot
    {
        const char *progId, *file;
        std::vector<com::Variant> args;
        const char *command;
    };
    const std::vector<Shot> shots = {
        {"JxEdit.oquery", "oquery.png", {com::Variant::fromInt32(1002), com::Variant::fromString(QStringLiteral("房源查询"))}, nullptr},
        {"JxEdit.oedit", "oedit.png", {com::Variant::fromInt32(2001), com::Variant::fromDouble(3), com::Variant::fromInt16(2)}, "match"},
        {"JxEdit.oReport", "oreport.png", {com::Variant::fromInt32(1003), com::Variant::fromString(QStringLiteral("房源统计表"))}, nullptr},
        {"JxEdit.oeditrpt", "oeditrpt.png", {com::Variant::fromInt32(1004), com::Variant()}, nullptr},
        {"JxEdit.oalert", "oalert.png", {com::Variant::fromInt32(0)}, nullptr},
    };
    for (const Shot &shot : shots) {
        QWidget window;
        window.setWindowTitle(QString::fromLatin1(shot.progId));
        window.resize(1000, 640);
        qvcontrols::ControlContainer container([](qvcontrols::ControlSite &, const QString &event, const com::DispArgs &params) {
            std::printf("event %s %s\n", qPrintable(event), params.empty() ? "" : qPrintable(com::toQVariant(*params[0]).toString()));
        });
        qvcontrols::ControlSite *site = container.Add(QString::fromLatin1(shot.progId), QStringLiteral("edit"), &window);
        std::vector<com::Variant> args{com::Variant::fromDispatch(context.toVariant().pdispVal), com::Variant()};
        for (const com::Variant &a : shot.args)
            args.push_back(a);
        const bool ok = com::toQVariant(com::call(site->object(), QStringLiteral("Py_Init"), args)).toBool();
        std::printf("%s Py_Init -> %s\n", shot.progId, ok ? "True" : "False");
        site->widget()->setGeometry(0, 0, 1000, 640);
        site->widget()->show();
        window.show();
        if (shot.command)
            if (QAction *a = site->widget()->findChild<QAction *>(QString::fromLatin1(shot.command)))
                a->trigger();
        for (int i = 0; i < 20; ++i) {
            app.processEvents();
            QThread::msleep(25);
        }
        window.screen()->grabWindow(window.winId()).save(out.filePath(QString::fromLatin1(shot.file)));
        com::call(site->object(), QStringLiteral("Clear"));
    }
    return 0;
}
