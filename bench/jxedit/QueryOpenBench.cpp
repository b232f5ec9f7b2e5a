// Time to the first rows of the listing query on 100,000 listings: the query
// control through the control container (late-bound, rows in blocks) against
// a plain QSqlQueryModel over the same statement in the same run.

#include "BenchDatabase.h"

#include "components/context/AppContext.h"
#include "components/context/CurrentUser.h"
#include "controls/ControlContainer.h"
#include "components/data/Database.h"
#include "platform/com/InprocServer.h"
#include "platform/com/LateBound.h"
#include "platform/com/RegistryStore.h"

#include <QApplication>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQueryModel>
#include <QTableView>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include "ProgramPaths.h"

namespace {

constexpr int kListings = 100000;

// One database for every benchmark of the run.
struct Fixture
{
    QTemporaryDir dir;
    QString path;
    std::unique_ptr<Database> db;
    AppContext context;
    CurrentUser user;
    QString listSql;

    Fixture()
    {
        path = dir.filePath(QStringLiteral("jx.db"));
        db = std::make_unique<Database>();
        benchdb::build(*db, path, kListings, 0);
        // The query control opens only for a user with the right to run it.
        const bool attached = context.Attach(db.get(), 0);
        user.Attach(&context);
        user.SetUserName(QStringLiteral("admin"));
        if (!attached || !user.Login(QString())) {
            std::fprintf(stderr, "cannot attach the database or sign in: %s\n", qPrintable(user.LastError().Description()));
            std::exit(1);
        }
        listSql = db->Query(QStringLiteral("select listsql from jx_function where progid=1002")).Value().toString();
        com::RegistryStore::setFilePath(dir.filePath(QStringLiteral("registry.json")));
        if (com::InprocServer::callRegistration(programPath("JXEDIT_LIBRARY"), true) != S_OK) {
            std::fprintf(stderr, "cannot register %s\n", qPrintable(programPath("JXEDIT_LIBRARY")));
            std::exit(1);
        }
    }
};

Fixture &fixture()
{
    static Fixture f;
    return f;
}

void BM_QueryControlFirstRows(benchmark::State &state)
{
    Fixture &f = fixture();
    QWidget page;
    page.resize(900, 600);
    for (auto _ : state) {
        qvcontrols::ControlContainer container;
        qvcontrols::ControlSite *site = container.Add(QStringLiteral("JxEdit.oquery"), QStringLiteral("edit"), &page);
        const bool ok = com::toQVariant(com::call(site->object(), QStringLiteral("Py_Init"),
                                                  {com::Variant::fromDispatch(f.context.toVariant().pdispVal), com::Variant(),
                                                   com::Variant::fromInt32(1002), com::Variant::fromString(QStringLiteral("房源查询"))}))
                            .toBool();
        if (!ok)
            state.SkipWithError("Py_Init failed");
        site->widget()->show();
        auto *view = site->widget()->findChild<QTableView *>();
        benchmark::DoNotOptimize(view->model()->rowCount());
        com::call(site->object(), QStringLiteral("Clear"));
    }
}

void BM_PlainQueryModelFirstRows(benchmark::State &state)
{
    Fixture &f = fixture();
    const QString name = QStringLiteral("bench-plain");
    QSqlDatabase db = QSqlDatabase::contains(name) ? QSqlDatabase::database(name) : QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
    db.setDatabaseName(f.path);
    if (!db.isOpen() && !db.open())
        state.SkipWithError("cannot open the database");
    QWidget page;
    page.resize(900, 600);
    for (auto _ : state) {
        QSqlQueryModel model;
        model.setQuery(f.listSql, db);
        QTableView view(&page);
        view.setModel(&model);
        view.show();
        benchmark::DoNotOptimize(model.rowCount());
    }
}

// The part of the control's time the runtime's database object takes: it
// reads every row of a statement before handing out the first.
void BM_RuntimeQueryAllRows(benchmark::State &state)
{
    Fixture &f = fixture();
    for (auto _ : state) {
        QueryResult result = f.db->Query(f.listSql);
        benchmark::DoNotOptimize(result.ok());
    }
}

BENCHMARK(BM_RuntimeQueryAllRows)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainQueryModelFirstRows)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_QueryControlFirstRows)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    fixture();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
