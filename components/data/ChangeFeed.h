#pragma once

#include "jx_components_export.h"

#include "platform/com/ComPtr.h"
#include "platform/com/Result.h"
#include "platform/com/Unknown.h"

#include <QElapsedTimer>
#include <QHash>
#include <QObject>
#include <QString>
#include <QVariant>
#include <QVector>

#include <vector>

class Database;
class QSqlDriver;
class QTimer;

/// Tells every workstation on a database which records were saved or deleted.
///
/// A writer publishes a notice (table, key, kind, user; never a value) inside
/// the transaction of the change, so it goes out exactly when the change is
/// committed and never for a change rolled back. PostgreSQL carries it as a
/// NOTIFY on a channel of the connection's schema; SQLite keeps the last
/// kKept notices in jx_change, read while the application is active.
///
/// One feed per connection, owned by its Database. Watchers (automation
/// objects with the members Changed(json), Lost(text), CaughtUp()) are told
/// in batches: a notice after a quiet spell goes out at once, later ones are
/// gathered until kGatherMs after the last batch, so a flood costs at most a
/// few refreshes a second. A lost connection is said once (Lost); when the feed
/// works again the watchers are told to read again what they show (CaughtUp).
class JX_COMPONENTS_EXPORT ChangeFeed final : public QObject
{
    Q_OBJECT
public:
    static constexpr int kGatherMs = 250;
    static constexpr int kPollMs = 250;
    static constexpr int kProbeMs = 5000;
    static constexpr int kKept = 5000;
    /// The SQLite table, as the schema creates it (older files get it at their first notice).
    static const char *const kSqliteTable;

    ChangeFeed(Database &db, QString connectionName);
    ~ChangeFeed() override;

    /// A notice of a change, to be written inside the change's transaction.
    /// kind: "insert", "update" or "delete". A failure says why.
    jx::Result<> publish(const QString &table, const QVariant &key, const QString &kind, const QString &user);

    void watch(IDispatch *watcher);
    void unwatch(IDispatch *watcher);
    int watchers() const { return int(m_watchers.size()); }

    /// Looks for notices now (SQLite) and that the connection still carries
    /// them (PostgreSQL); run at activation and by the timer while active.
    void check();
    /// Hands the gathered notices to the watchers now.
    void flush();

private:
    struct Notice
    {
        QString table;
        QVariant key;
        QString kind;
        QString user;
    };

    bool postgres() const;
    QSqlDriver *driver() const;
    void start();
    void stop();
    void listen();
    void received(const QString &name, const QVariant &payload);
    void poll();
    void probe();
    void add(const Notice &notice);
    void lost(const QString &why);
    void working();
    void activeChanged();
    enum class Event { Changed, Lost, CaughtUp };
    void tell(Event event, const QString &text = {});

    Database &m_db;
    QString m_connection;
    std::vector<com::ComPtr<IDispatch>> m_watchers;
    QVector<Notice> m_pending;
    QHash<QString, int> m_pendingAt; // table + key -> index in m_pending
    QTimer *m_gather;
    QElapsedTimer m_sinceBatch; // invalid before the first batch
    QTimer *m_tick;
    QString m_channel;
    QSqlDriver *m_listening = nullptr;
    qint64 m_lastSeen = -1;
    bool m_lost = false;
    bool m_started = false;
};
