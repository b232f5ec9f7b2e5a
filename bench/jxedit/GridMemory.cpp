// Peak resident memory of the listing grid over N listings, one process per
// figure: opens 房源查询, goes to the last row, sorts by price, filters by a
// district and goes to the end again, then prints VmHWM in kB. Run it for
// 1,000 and 1,000,000 listings and compare.
//
//   jxedit_grid_memory <listings> [postgres]
//   jxedit_grid_memory --fill <sqlite file> <listings>   grows a demo database to <listings>

#include "BenchDatabase.h"

#include "components/context/AppContext.h"
#include "components/context/CurrentUser.h"
#include "controls/ControlContainer.h"
#include "components/data/Database.h"
#include "platform/com/InprocServer.h"
#include "platform/com/LateBound.h"
#include "platform/com/RegistryStore.h"

#include <QApplication>
#include <QLineEdit>
#include <QTableView>
#include <QTemporaryDir>

#include <cstdio>
#include "ProgramPaths.h"

namespace {

long peakKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    status.open(QIODevice::ReadOnly);
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    return -1;
}

int fillInstalled(const QString &path, int listings)
{
    Database db;
    if (!db.OpenDirect(QStringLiteral("sqlite"), path)) {
        std::fprintf(stderr, "%s\n", qPrintable(db.LastError().Description()));
        return 1;
    }
    const int have = db.Query(QStringLiteral("select count(*) from fy_house")).Value().toInt();
    const int next = db.Query(QStringLiteral("select coalesce(max(id),0)+1 from fy_house")).Value().toInt();
    jx::Result<> added;
    if (listings > have && (!(added = FunctionDemo::addListingsInBulk(db, next, listings - have)) || !db.Execute(QStringLiteral("analyze")))) {
        std::fprintf(stderr, "%s %s\n", qPrintable(added.error()), qPrintable(db.LastError().Description()));
        return 1;
    }
    std::printf("%d listings\n", db.Query(QStringLiteral("select count(*) from fy_house")).Value().toInt());
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 4 && args.at(1) == u"--fill")
        return fillInstalled(args.at(2), args.at(3).toInt());
    if (args.size() < 2) {
        std::fprintf(stderr, "usage: jxedit_grid_memory <listings> [postgres]\n");
        return 2;
    }
    const int listings = args.at(1).toInt();
    Database db;
    if (args.size() > 2 && args.at(2) == u"postgres") {
        if (!benchdb::openPostgres(db, listings)) {
            std::fprintf(stderr, "no PostgreSQL benchmark server (JX_BENCH_PG / JX_TEST_PG)\n");
            return 1;
        }
    } else if (!db.OpenDirect(QStringLiteral("sqlite"), benchdb::cachedSqlite(listings))) {
        return 1;
    }
    QTemporaryDir dir;
    com::RegistryStore::setFilePath(dir.filePath(QStringLiteral("registry.json")));
    if (com::InprocServer::callRegistration(programPath("JXEDIT_LIBRARY"), true) != S_OK)
        return 1;
    AppContext context;
    CurrentUser user;
    context.Attach(&db, 0);
    user.Attach(&context);
    user.SetUserName(QStringLiteral("admin"));
    if (!user.Login(QString()))
        return 1;
    const long before = peakKb();
    QWidget page;
    page.resize(1200, 800);
    page.show();
    qvcontrols::ControlContainer container;
    qvcontrols::ControlSite *site = container.Add(QStringLiteral("JxEdit.oquery"), QStringLiteral("edit"), &page);
    if (!com::toQVariant(com::call(site->object(), QStringLiteral("Py_Init"),
                                   {com::Variant::fromDispatch(context.toVariant().pdispVal), com::Variant(), com::Variant::fromInt32(1002),
                                    com::Variant::fromString(QStringLiteral("房源查询"))}))
             .toBool())
        return 1;
    site->widget()->resize(1200, 800);
    auto *view = site->widget()->findChild<QTableView *>();
    auto *filter = site->widget()->findChild<QLineEdit *>();
    const auto settle = [&] {
        for (int i = 0; i < 20; ++i)
            app.processEvents();
    };
    const int rows = com::toQVariant(com::get(site->object(), QStringLiteral("RowCount"))).toInt();
    settle();
    view->scrollToBottom();
    settle();
    view->sortByColumn(6, Qt::AscendingOrder);
    view->scrollToBottom();
    settle();
    filter->setText(QStringLiteral("滨江区"));
    emit filter->returnPressed();
    com::get(site->object(), QStringLiteral("RowCount"));
    view->scrollToBottom();
    settle();
    std::printf("listings %d rows %d peak_kb %ld peak_before_grid_kb %ld\n", listings, rows, peakKb(), before);
    return 0;
}
