// The listing grid as the user gets it (the query control through the
// control container) on 100,000 and 1,000,000 listings, SQLite and
// PostgreSQL, each next to a plain QSqlQueryModel over the same statement in
// the same run: time to the first screen of rows, a change of sort column and
// a typed filter word, and how long the window is kept from its events
// while the filtered rows are counted.

#include "BenchDatabase.h"

#include "components/context/AppContext.h"
#include "components/context/CurrentUser.h"
#include "controls/ControlContainer.h"
#include "components/data/Database.h"
#include "platform/com/InprocServer.h"
#include "platform/com/LateBound.h"
#include "platform/com/RegistryStore.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QLineEdit>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlQueryModel>
#include <QTableView>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <map>
#include <memory>
#include "ProgramPaths.h"

namespace {

constexpr int kSalePrice = 6, kArea = 5;
// The words the grid's filter box looks for, over the same columns it searches.
const QStringList kFields{QStringLiteral("code"), QStringLiteral("dealtype"), QStringLiteral("district"), QStringLiteral("community"),
                          QStringLiteral("rooms"), QStringLiteral("area"), QStringLiteral("saleprice"), QStringLiteral("rentprice"), QStringLiteral("agent"),
                          QStringLiteral("status"), QStringLiteral("regdate")};

struct Setup
{
    QString engine;
    std::unique_ptr<Database> db;
    AppContext context;
    CurrentUser user;
    QString listSql, inner, plainName;
};

void fail(const char *what)
{
    std::fprintf(stderr, "%s\n", what);
    std::exit(1);
}

// Released before main returns: Qt SQL's connections must close while Qt is still up.
std::map<QString, std::unique_ptr<Setup>> &setups()
{
    static std::map<QString, std::unique_ptr<Setup>> all;
    return all;
}

Setup &setup(const QString &engine, int listings)
{
    auto &all = setups();
    const QString name = engine + QString::number(listings);
    auto &s = all[name];
    if (s)
        return *s;
    s = std::make_unique<Setup>();
    s->engine = engine;
    s->db = std::make_unique<Database>();
    s->plainName = QStringLiteral("plain-") + name;
    if (engine == u"sqlite") {
        const QString path = benchdb::cachedSqlite(listings);
        if (!s->db->OpenDirect(engine, path))
            fail("cannot open the benchmark database");
        QSqlDatabase plain = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), s->plainName);
        plain.setDatabaseName(path);
        if (!plain.open())
            fail("cannot open the plain connection");
    } else {
        if (!benchdb::openPostgres(*s->db, listings))
            fail("cannot open the PostgreSQL benchmark schema");
        QSqlDatabase plain = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), s->plainName);
        for (const QString &part : benchdb::postgresConnection().split(u';', Qt::SkipEmptyParts)) {
            const QString key = part.section(u'=', 0, 0).trimmed(), value = part.section(u'=', 1).trimmed();
            if (key == u"host")
                plain.setHostName(value);
            else if (key == u"port")
                plain.setPort(value.toInt());
            else if (key == u"user")
                plain.setUserName(value);
            else if (key == u"password")
                plain.setPassword(value);
            else if (key == u"database")
                plain.setDatabaseName(value);
        }
        if (!plain.open())
            fail("cannot open the plain PostgreSQL connection");
        QSqlQuery(plain).exec(QStringLiteral("set search_path to bench_%1_%2").arg(listings).arg(benchdb::demoHash()));
    }
    const bool attached = s->context.Attach(s->db.get(), 0);
    s->user.Attach(&s->context);
    s->user.SetUserName(QStringLiteral("admin"));
    if (!attached || !s->user.Login(QString()))
        fail("cannot attach the database or sign in");
    s->listSql = s->db->Query(QStringLiteral("select listsql from jx_function where progid=1002")).Value().toString();
    s->inner = QString(s->listSql).remove(QRegularExpression(QStringLiteral("\\s+order\\s+by\\s+id\\s*$"), QRegularExpression::CaseInsensitiveOption));
    return *s;
}

// What the view paints of the first screen.
void readScreen(QAbstractItemModel *model)
{
    for (int r = 0; r < 30 && r < model->rowCount(); ++r)
        for (int c = 0; c < model->columnCount(); ++c)
            benchmark::DoNotOptimize(model->index(r, c).data());
}

struct Control
{
    qvcontrols::ControlContainer container;
    qvcontrols::ControlSite *site = nullptr;
    QTableView *view = nullptr;

    Control(Setup &s, QWidget &page)
    {
        site = container.Add(QStringLiteral("JxEdit.oquery"), QStringLiteral("edit"), &page);
        const bool ok = com::toQVariant(com::call(site->object(), QStringLiteral("Py_Init"),
                                                  {com::Variant::fromDispatch(s.context.toVariant().pdispVal), com::Variant(),
                                                   com::Variant::fromInt32(1002), com::Variant::fromString(QStringLiteral("房源查询"))}))
                            .toBool();
        if (!ok)
            fail("Py_Init failed");
        site->widget()->show();
        view = site->widget()->findChild<QTableView *>();
    }
    ~Control() { com::call(site->object(), QStringLiteral("Clear")); }
};

void plainQuery(QSqlQueryModel &model, Setup &s, const QString &sql, QTableView &view)
{
    model.setQuery(sql, QSqlDatabase::database(s.plainName));
    if (model.lastError().isValid())
        fail(qPrintable(model.lastError().text()));
    view.setModel(&model);
    readScreen(&model);
}

QString plainWhere(const QString &engine, const QString &word)
{
    QStringList any;
    for (const QString &f : kFields)
        any << (engine == u"postgres" ? QStringLiteral("cast(q.%1 as text) ilike '%%2%'") : QStringLiteral("q.%1 like '%%2%'")).arg(f, word);
    return any.join(QStringLiteral(" or "));
}

const QString kWords[] = {QStringLiteral("滨江区"), QStringLiteral("西湖区")};

void registerAll(const QString &engine, int listings)
{
    const std::string tag = engine.toStdString() + "/" + std::to_string(listings);
    benchmark::RegisterBenchmark(("GridFirstRows/" + tag).c_str(), [=](benchmark::State &state) {
        Setup &s = setup(engine, listings);
        QWidget page;
        page.resize(1200, 800);
        for (auto _ : state) {
            Control c(s, page);
            readScreen(c.view->model());
        }
    })->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(("PlainFirstRows/" + tag).c_str(), [=](benchmark::State &state) {
        Setup &s = setup(engine, listings);
        QWidget page;
        page.resize(1200, 800);
        for (auto _ : state) {
            QSqlQueryModel model;
            QTableView view(&page);
            view.show();
            plainQuery(model, s, s.listSql, view);
        }
    })->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(("GridSort/" + tag).c_str(), [=](benchmark::State &state) {
        Setup &s = setup(engine, listings);
        QWidget page;
        page.resize(1200, 800);
        Control c(s, page);
        int i = 0;
        for (auto _ : state) {
            c.view->sortByColumn(i++ % 2 ? kArea : kSalePrice, Qt::AscendingOrder);
            readScreen(c.view->model());
        }
    })->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(("PlainSort/" + tag).c_str(), [=](benchmark::State &state) {
        Setup &s = setup(engine, listings);
        QWidget page;
        QTableView view(&page);
        int i = 0;
        for (auto _ : state) {
            QSqlQueryModel model;
            plainQuery(model, s, QStringLiteral("select * from (%1) q order by %2, id").arg(s.inner, i++ % 2 ? QStringLiteral("area") : QStringLiteral("saleprice")), view);
        }
    })->Unit(benchmark::kMillisecond);
    for (const bool counted : {false, true}) {
        benchmark::RegisterBenchmark(((counted ? "GridFilterAndCount/" : "GridFilter/") + tag).c_str(), [=](benchmark::State &state) {
            Setup &s = setup(engine, listings);
            QWidget page;
            page.resize(1200, 800);
            Control c(s, page);
            auto *filter = c.site->widget()->findChild<QLineEdit *>();
            int i = 0;
            for (auto _ : state) {
                filter->setText(kWords[i++ % 2]);
                emit filter->returnPressed();
                readScreen(c.view->model());
                if (counted)
                    benchmark::DoNotOptimize(com::toQVariant(com::get(c.site->object(), QStringLiteral("RowCount"))).toInt());
            }
        })->Unit(benchmark::kMillisecond);
    }
    // The count of the filtered rows comes after the first screen; the figure
    // that matters is the longest the window waits for one step of it
    // (counter "longest_ms"), beside the plain count of the same rows in one statement.
    benchmark::RegisterBenchmark(("GridFilterCountSteps/" + tag).c_str(), [=](benchmark::State &state) {
        Setup &s = setup(engine, listings);
        QWidget page;
        page.resize(1200, 800);
        Control c(s, page);
        auto *filter = c.site->widget()->findChild<QLineEdit *>();
        QAbstractItemModel *model = c.view->model();
        qint64 longest = 0;
        int i = 0;
        for (auto _ : state) {
            filter->setText(kWords[i++ % 2]);
            emit filter->returnPressed();
            readScreen(c.view->model());
            QElapsedTimer step;
            while (!model->property("countKnown").toBool()) {
                step.start();
                QCoreApplication::processEvents();
                longest = std::max(longest, step.nsecsElapsed());
            }
            benchmark::DoNotOptimize(model->rowCount());
        }
        state.counters["longest_ms"] = double(longest) / 1e6;
    })->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(("PlainFilterCount/" + tag).c_str(), [=](benchmark::State &state) {
        Setup &s = setup(engine, listings);
        int i = 0;
        for (auto _ : state) {
            QSqlQuery q(QSqlDatabase::database(s.plainName));
            if (!q.exec(QStringLiteral("select count(*) from (%1) q where %2").arg(s.inner, plainWhere(engine, kWords[i++ % 2]))) || !q.next())
                fail(qPrintable(q.lastError().text()));
            benchmark::DoNotOptimize(q.value(0).toInt());
        }
    })->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(("PlainFilter/" + tag).c_str(), [=](benchmark::State &state) {
        Setup &s = setup(engine, listings);
        QWidget page;
        QTableView view(&page);
        int i = 0;
        for (auto _ : state) {
            QSqlQueryModel model;
            plainQuery(model, s, QStringLiteral("select * from (%1) q where %2 order by id").arg(s.inner, plainWhere(engine, kWords[i++ % 2])), view);
        }
    })->Unit(benchmark::kMillisecond);
}

} // namespace

int main(int argc, char **argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    QTemporaryDir dir;
    com::RegistryStore::setFilePath(dir.filePath(QStringLiteral("registry.json")));
    if (com::InprocServer::callRegistration(programPath("JXEDIT_LIBRARY"), true) != S_OK)
        fail("cannot register the JxEdit library");
    const bool postgres = !benchdb::postgresConnection().isEmpty();
    for (const int listings : {100000, 1000000}) {
        registerAll(QStringLiteral("sqlite"), listings);
        if (postgres)
            registerAll(QStringLiteral("postgres"), listings);
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    setups().clear();
    return 0;
}
