// Save-to-visible latency across two processes: this program opens 房源查询
// (the query control through the control container) on a database of 10,000
// listings and starts itself a second time as the saver, which saves a
// listing's price through the record form's real save path. Each round is
// timed from the moment the saver starts its save to the moment this
// process's grid model shows the new price. PostgreSQL (JX_BENCH_PG or
// JX_TEST_PG; a schema of its own, dropped afterwards) and SQLite (a file in
// a temporary folder).
//
//   jxedit_live_bench [rounds] [pause between saves, ms]
//
// Saves closer together than the feed's gathering time (250 ms) are
// gathered, and the later ones wait for their batch; a pause of 400 ms (the
// default) times saves as one user makes them, a pause of 0 a steady stream.

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
#include <QProcess>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include "ProgramPaths.h"

namespace {

constexpr int kListings = 10000;

qint64 nowMicros()
{
    return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::system_clock::now().time_since_epoch()).count();
}

[[noreturn]] void fail(const QString &what)
{
    std::fprintf(stderr, "%s\n", qPrintable(what));
    std::exit(1);
}

struct Workstation
{
    std::unique_ptr<Database> db = std::make_unique<Database>();
    AppContext context;
    CurrentUser user;
    QWidget page;
    // After the page: the controls go before the widgets they live in.
    std::unique_ptr<qvcontrols::ControlContainer> container = std::make_unique<qvcontrols::ControlContainer>();

    void signIn()
    {
        if (!context.Attach(db.get(), 0))
            fail(QStringLiteral("cannot attach: ") + context.LastError().Description());
        user.Attach(&context);
        user.SetUserName(QStringLiteral("admin"));
        if (!user.Login(QString()))
            fail(QStringLiteral("cannot sign in: ") + user.LastError().Description());
        context.Environment().SetUserName(QStringLiteral("admin"));
    }
    qvcontrols::ControlSite *start(const QString &progId, std::vector<com::Variant> args)
    {
        qvcontrols::ControlSite *site = container->Add(progId, QStringLiteral("c%1").arg(container->Count()), &page);
        args.insert(args.begin(), {com::Variant::fromDispatch(context.toVariant().pdispVal), com::Variant()});
        if (!site || !com::toQVariant(com::call(site->object(), QStringLiteral("Py_Init"), args)).toBool())
            fail(QStringLiteral("cannot start ") + progId);
        return site;
    }
    ~Workstation()
    {
        container.reset();
        user.Attach(nullptr);
    }
};

void registerControls(QTemporaryDir &registry)
{
    com::RegistryStore::setFilePath(registry.filePath(QStringLiteral("registry.json")));
    if (com::InprocServer::callRegistration(programPath("JXEDIT_LIBRARY"), true) != S_OK)
        fail(QStringLiteral("cannot register JxEdit"));
}

bool openShared(Database &db, const QString &engine, const QString &where, const QString &schema)
{
    if (engine == u"sqlite")
        return db.OpenDirect(engine, where);
    return db.OpenDirect(engine, where) && db.Execute(QStringLiteral("set search_path to ") + schema);
}

// The second process: waits for a line naming the price, saves it through
// the record form, says when the save began.
int saver(const QString &engine, const QString &where, const QString &schema, int id)
{
    QTemporaryDir registry;
    registerControls(registry);
    Workstation w;
    if (!openShared(*w.db, engine, where, schema))
        fail(QStringLiteral("saver cannot open: ") + w.db->LastError().Description());
    w.signIn();
    qvcontrols::ControlSite *form = w.start(QStringLiteral("JxEdit.oedit"), {com::Variant::fromInt32(1001), com::Variant::fromDouble(id),
                                                                            com::Variant::fromInt16(2)});
    auto *price = form->widget()->findChild<QLineEdit *>(QStringLiteral("field_price"));
    if (!price)
        fail(QStringLiteral("no price field"));
    char line[64];
    while (std::fgets(line, sizeof line, stdin)) {
        const QString value = QString::fromLatin1(line).trimmed();
        if (value.isEmpty())
            break;
        price->setText(value);
        const qint64 began = nowMicros();
        const bool ok = com::toQVariant(com::call(form->object(), QStringLiteral("Save"))).toBool();
        std::printf("%s %lld\n", ok ? "saved" : "failed", static_cast<long long>(began));
        std::fflush(stdout);
    }
    return 0;
}

int watcher(const QString &engine, int rounds, int pause)
{
    QTemporaryDir registry, files;
    registerControls(registry);
    Workstation w;
    QString where, schema;
    if (engine == u"sqlite") {
        where = files.filePath(QStringLiteral("live.db"));
        QFile(where).open(QIODevice::WriteOnly);
        if (!w.db->OpenDirect(engine, where))
            fail(QStringLiteral("cannot open ") + where);
        benchdb::fill(*w.db, kListings);
    } else {
        where = benchdb::postgresConnection();
        schema = QStringLiteral("live_bench_%1").arg(QCoreApplication::applicationPid());
        if (!w.db->OpenDirect(engine, where) || !w.db->Execute(QStringLiteral("create schema ") + schema)
            || !w.db->Execute(QStringLiteral("set search_path to ") + schema))
            fail(QStringLiteral("cannot make a schema: ") + w.db->LastError().Description());
        benchdb::fill(*w.db, kListings);
    }
    w.signIn();
    qvcontrols::ControlSite *list = w.start(QStringLiteral("JxEdit.oquery"), {com::Variant::fromInt32(1002), com::Variant::fromString(QStringLiteral("房源查询"))});
    w.page.resize(1000, 700);
    w.page.show();
    w.page.activateWindow();
    if (!QTest::qWaitForWindowActive(&w.page))
        fail(QStringLiteral("the window did not become active"));
    QAbstractItemModel *model = list->widget()->findChild<QTableView *>()->model();
    // A listing for sale on the first screen, and its price column.
    int row = -1, column = -1;
    for (int c = 0; c < model->columnCount(); ++c)
        if (model->headerData(c, Qt::Horizontal).toString() == u"售价(万元)")
            column = c;
    for (int r = 0; r < 30 && row < 0; ++r)
        if (model->index(r, column).data(Qt::EditRole).isValid() && !model->index(r, column).data(Qt::EditRole).isNull())
            row = r;
    if (row < 0 || column < 0)
        fail(QStringLiteral("no listing for sale on the first screen"));
    const int id = w.db->QueryParams(QStringLiteral("select id from fy_house where code=?"), {model->index(row, 0).data()}).Value().toInt();

    QProcess other;
    other.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    other.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--save"), engine, where, schema, QString::number(id)});
    if (!other.waitForStarted())
        fail(QStringLiteral("cannot start the saver"));
    QVector<double> ms;
    int late = 0;
    for (int round = 0; round < rounds; ++round) {
        const double price = 300 + round + 0.5;
        other.write(QByteArray::number(price) + '\n');
        // Wait for the saver's word, then for the grid.
        QElapsedTimer waited;
        waited.start();
        while (!other.canReadLine() && waited.elapsed() < 10000) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 2);
            other.waitForReadyRead(2);
        }
        const QList<QByteArray> said = other.readLine().trimmed().split(' ');
        if (said.size() != 2 || said.at(0) != "saved")
            fail(QStringLiteral("the saver did not save: ") + QString::fromLatin1(said.join(' ')));
        const qint64 began = said.at(1).toLongLong();
        qint64 shown = 0;
        while (nowMicros() - began < 5'000'000) {
            if (model->index(row, column).data(Qt::EditRole).toDouble() == price) {
                shown = nowMicros();
                break;
            }
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
        }
        if (!shown) {
            ++late;
            continue;
        }
        ms << (shown - began) / 1000.0;
        QTest::qWait(pause);
    }
    other.write("\n");
    other.closeWriteChannel();
    other.waitForFinished(5000);
    if (!schema.isEmpty())
        w.db->Execute(QStringLiteral("drop schema %1 cascade").arg(schema));
    std::sort(ms.begin(), ms.end());
    if (ms.isEmpty())
        fail(QStringLiteral("%1: the grid never showed a save").arg(engine));
    double sum = 0;
    for (double v : std::as_const(ms))
        sum += v;
    std::printf("%-8s pause %d ms  rounds %d  shown %lld  not within 5 s %d  median %.1f ms  mean %.1f ms  p90 %.1f ms  max %.1f ms  min %.1f ms\n",
                qPrintable(engine), pause, rounds, static_cast<long long>(ms.size()), late, ms.at(ms.size() / 2), sum / ms.size(),
                ms.at(std::min<qsizetype>(ms.size() - 1, ms.size() * 9 / 10)), ms.last(), ms.first());
    std::fflush(stdout);
    return late == 0 ? 0 : 2;
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen") : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() >= 6 && args.at(1) == u"--save")
        return saver(args.at(2), args.at(3), args.at(4), args.at(5).toInt());
    const int rounds = args.size() > 1 ? std::max(1, args.at(1).toInt()) : 30;
    const int pause = args.size() > 2 ? std::max(0, args.at(2).toInt()) : 400;
    int status = 0;
    if (!benchdb::postgresConnection().isEmpty())
        status = std::max(status, watcher(QStringLiteral("postgres"), rounds, pause));
    else
        std::printf("postgres skipped: neither JX_BENCH_PG nor JX_TEST_PG is set\n");
    status = std::max(status, watcher(QStringLiteral("sqlite"), rounds, pause));
    return status;
}
