#include "components/data/ChangeFeed.h"

#include "components/data/Database.h"
#include "platform/com/LateBound.h"
#include "platform/com/RuntimeError.h"

#include <QDateTime>
#include <QGuiApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QTimer>

#include <algorithm>

const char *const ChangeFeed::kSqliteTable = "CREATE TABLE IF NOT EXISTS jx_change (\n"
                                             "  id         INTEGER NOT NULL PRIMARY KEY,\n"
                                             "  tablename  VARCHAR(50) NOT NULL,\n"
                                             "  recordkey  VARCHAR(50) NOT NULL,\n"
                                             "  kind       VARCHAR(10) NOT NULL,\n"
                                             "  username   VARCHAR(50) NOT NULL DEFAULT '',\n"
                                             "  changedat  VARCHAR(19) NOT NULL DEFAULT ''\n"
                                             ")";

namespace {

const QString kChannelPrefix = QStringLiteral("jx_change:");

bool applicationActive()
{
    // Without a window system (a tool, a test without windows) there is no
    // activation to wait for.
    return !qobject_cast<QGuiApplication *>(QCoreApplication::instance())
        || QGuiApplication::applicationState() == Qt::ApplicationActive;
}

} // namespace

ChangeFeed::ChangeFeed(Database &db, QString connectionName)
    : m_db(db), m_connection(std::move(connectionName)), m_gather(new QTimer(this)), m_tick(new QTimer(this))
{
    m_gather->setSingleShot(true);
    connect(m_gather, &QTimer::timeout, this, &ChangeFeed::flush);
    connect(m_tick, &QTimer::timeout, this, &ChangeFeed::check);
    if (auto *app = qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        connect(app, &QGuiApplication::applicationStateChanged, this, &ChangeFeed::activeChanged);
}

ChangeFeed::~ChangeFeed()
{
    // Watchers are released by the owner's side; nothing is told on the way out.
    m_watchers.clear();
}

bool ChangeFeed::postgres() const { return m_db.Properties(QStringLiteral("driver")).toString() == u"postgres"; }

QSqlDriver *ChangeFeed::driver() const
{
    QSqlDatabase d = QSqlDatabase::database(m_connection, false);
    return d.isValid() ? d.driver() : nullptr;
}

jx::Result<> ChangeFeed::publish(const QString &table, const QVariant &key, const QString &kind, const QString &user)
{
    if (postgres()) {
        const QJsonObject notice{{QStringLiteral("t"), table},
                                 {QStringLiteral("k"), key.toString()},
                                 {QStringLiteral("c"), kind},
                                 {QStringLiteral("u"), user}};
        // The channel belongs to the schema, so databases kept side by side
        // in one server's schemas do not hear each other.
        if (!m_db.QueryParams(QStringLiteral("select pg_notify(? || current_schema(), ?)"),
                              {kChannelPrefix, QString::fromUtf8(QJsonDocument(notice).toJson(QJsonDocument::Compact))})
                 .ok())
            return jx::fail(m_db.LastError().Description());
        return {};
    }
    const QString insert = QStringLiteral("insert into jx_change (tablename,recordkey,kind,username,changedat) values (?,?,?,?,?)");
    const QVariantList params{table, key.toString(), kind, user,
                              QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))};
    if (!m_db.ExecuteParams(insert, params)) {
        // A database made before the table existed gets it here, inside the
        // same transaction, rather than refusing the save.
        const QString first = m_db.LastError().Description();
        m_db.ResetError();
        if (!first.contains(QStringLiteral("no such table")) || !m_db.ExecuteParams(QString::fromLatin1(kSqliteTable), {})
            || !m_db.ExecuteParams(insert, params))
            return jx::fail(m_db.LastError().Description().isEmpty() ? first : m_db.LastError().Description());
    }
    // Kept short: a workstation further behind than this reads everything again.
    if (!m_db.ExecuteParams(QStringLiteral("delete from jx_change where id <= (select max(id) from jx_change) - ?"), {kKept}))
        return jx::fail(m_db.LastError().Description());
    return {};
}

void ChangeFeed::watch(IDispatch *watcher)
{
    if (!watcher)
        return;
    if (std::none_of(m_watchers.begin(), m_watchers.end(), [&](const auto &w) { return w.get() == watcher; }))
        m_watchers.emplace_back(watcher);
    if (!m_started)
        start();
}

void ChangeFeed::unwatch(IDispatch *watcher)
{
    std::erase_if(m_watchers, [&](const auto &w) { return w.get() == watcher; });
    if (m_watchers.empty())
        stop();
}

void ChangeFeed::start()
{
    m_started = true;
    m_lost = false;
    if (postgres()) {
        listen();
        m_tick->setInterval(kProbeMs);
    } else {
        // What is already there was written before this workstation looked.
        const QueryResult last = m_db.QueryParams(QStringLiteral("select max(id) from jx_change"), {});
        m_lastSeen = last.ok() ? last.Value().toLongLong() : 0;
        m_db.ResetError();
        m_tick->setInterval(kPollMs);
    }
    if (applicationActive())
        m_tick->start();
}

void ChangeFeed::stop()
{
    m_started = false;
    m_tick->stop();
    m_gather->stop();
    m_pending.clear();
    m_pendingAt.clear();
    if (m_listening && m_listening == driver() && !m_channel.isEmpty())
        m_listening->unsubscribeFromNotification(m_channel);
    if (m_listening)
        disconnect(m_listening, nullptr, this, nullptr);
    m_listening = nullptr;
}

void ChangeFeed::listen()
{
    QSqlDriver *d = driver();
    if (!d)
        return;
    const QueryResult schema = m_db.QueryParams(QStringLiteral("select ? || current_schema()"), {kChannelPrefix});
    if (!schema.ok()) {
        lost(m_db.LastError().Description());
        m_db.ResetError();
        return;
    }
    m_channel = schema.Value().toString();
    if (m_listening != d) {
        if (m_listening)
            disconnect(m_listening, nullptr, this, nullptr);
        m_listening = d;
        connect(d, &QSqlDriver::notification, this,
                [this](const QString &name, QSqlDriver::NotificationSource, const QVariant &payload) { received(name, payload); });
    }
    if (!d->subscribedToNotifications().contains(m_channel) && !d->subscribeToNotification(m_channel))
        lost(d->lastError().text().trimmed());
}

void ChangeFeed::received(const QString &name, const QVariant &payload)
{
    if (name != m_channel)
        return;
    const QJsonObject o = QJsonDocument::fromJson(payload.toString().toUtf8()).object();
    const QString table = o.value(QStringLiteral("t")).toString();
    const QString key = o.value(QStringLiteral("k")).toString();
    if (table.isEmpty() || key.isEmpty())
        return; // not one of ours
    add({table, key, o.value(QStringLiteral("c")).toString(), o.value(QStringLiteral("u")).toString()});
}

void ChangeFeed::add(const Notice &notice)
{
    // The same record twice in one batch is one refresh, with the latest kind.
    const QString id = notice.table + u'\x1f' + notice.key.toString();
    if (const auto it = m_pendingAt.constFind(id); it != m_pendingAt.constEnd()) {
        m_pending[*it] = notice;
    } else {
        m_pendingAt.insert(id, int(m_pending.size()));
        m_pending.append(notice);
    }
    if (!m_gather->isActive()) {
        const qint64 since = m_sinceBatch.isValid() ? m_sinceBatch.elapsed() : kGatherMs;
        m_gather->start(int(std::max<qint64>(0, kGatherMs - since)));
    }
}

void ChangeFeed::flush()
{
    m_gather->stop();
    if (m_pending.isEmpty())
        return;
    QJsonArray batch;
    for (const Notice &n : std::as_const(m_pending))
        batch.append(QJsonObject{{QStringLiteral("table"), n.table},
                                 {QStringLiteral("key"), n.key.toString()},
                                 {QStringLiteral("kind"), n.kind},
                                 {QStringLiteral("user"), n.user}});
    m_pending.clear();
    m_pendingAt.clear();
    m_sinceBatch.start();
    tell(Event::Changed, QString::fromUtf8(QJsonDocument(batch).toJson(QJsonDocument::Compact)));
}

void ChangeFeed::check()
{
    if (!m_started || m_db.InTransaction())
        return;
    if (postgres())
        probe();
    else
        poll();
}

void ChangeFeed::poll()
{
    const QueryResult result = m_db.QueryParams(
        QStringLiteral("select id,tablename,recordkey,kind,username from jx_change where id>? order by id limit ?"), {m_lastSeen, kKept});
    if (!result.ok()) {
        const QString why = m_db.LastError().Description();
        m_db.ResetError();
        // An older file has no notices until its first save writes the table.
        if (why.contains(QStringLiteral("no such table")))
            return;
        lost(why);
        return;
    }
    // Back after a loss: everything shown is read again, which covers these notices too.
    const bool caughtUp = m_lost;
    working();
    Recordset rows = result.Recordset();
    const qint64 before = m_lastSeen;
    bool missed = false;
    int count = 0;
    for (; !rows.Eof(); rows.MoveNext(), ++count) {
        const qint64 id = rows.Field(0).toLongLong();
        // Pruned before this workstation read them: it cannot know what changed.
        if (count == 0 && before > 0 && id > before + 1)
            missed = true;
        m_lastSeen = std::max(m_lastSeen, id);
        if (!caughtUp)
            add({rows.Field(1).toString(), rows.Field(2).toString(), rows.Field(3).toString(), rows.Field(4).toString()});
    }
    if (count >= kKept)
        missed = true;
    if (missed && !caughtUp) {
        m_pending.clear();
        m_pendingAt.clear();
        m_gather->stop();
        tell(Event::CaughtUp);
    }
}

void ChangeFeed::probe()
{
    // The server connection carries the notices only while it lives; a
    // connection made again (by any statement) listens on nothing until told.
    const QueryResult alive = m_db.QueryParams(QStringLiteral("select 1"), {});
    if (!alive.ok()) {
        const QString why = m_db.LastError().Description();
        m_db.ResetError();
        lost(why);
        return;
    }
    QSqlDriver *d = driver();
    if (d && (d != m_listening || !d->subscribedToNotifications().contains(m_channel))) {
        m_lost = true; // whatever was sent meanwhile is gone
        listen();
    }
    working();
}

void ChangeFeed::lost(const QString &why)
{
    if (m_lost)
        return;
    m_lost = true;
    tell(Event::Lost, QStringLiteral("与数据库的连接已中断，其他工作站的修改暂时不能即时显示；连接恢复后自动刷新（%1）").arg(why));
}

void ChangeFeed::working()
{
    if (!m_lost)
        return;
    m_lost = false;
    m_pending.clear();
    m_pendingAt.clear();
    m_gather->stop();
    tell(Event::CaughtUp);
}

void ChangeFeed::activeChanged()
{
    if (!m_started)
        return;
    if (applicationActive()) {
        check();
        m_tick->start();
    } else if (!postgres()) {
        // An inactive window reads nothing; the server pushes its notices anyway.
        m_tick->stop();
    }
}

void ChangeFeed::tell(Event event, const QString &text)
{
    static const QString names[] = {QStringLiteral("Changed"), QStringLiteral("Lost"), QStringLiteral("CaughtUp")};
    const QString &member = names[int(event)];
    // A watcher may stop watching while it is told.
    const std::vector<com::ComPtr<IDispatch>> watchers = m_watchers;
    for (const com::ComPtr<IDispatch> &w : watchers) {
        try {
            if (event == Event::CaughtUp)
                com::call(w.get(), member);
            else
                com::call(w.get(), member, {com::Variant::fromString(text)});
        } catch (const com::RuntimeError &) {
            // A watcher that cannot be told any more is forgotten.
            unwatch(w.get());
        }
    }
}
