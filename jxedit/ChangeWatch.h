#pragma once

#include "jxedit/DataLink.h"

#include <QObject>
#include <QString>
#include <QVariant>
#include <QVector>

namespace jxedit {

/// What a function control hears of the records other workstations (and
/// this one) save and delete: batches of notices from the database's change
/// feed, which gathers them so a flood arrives as a few batches a second. A
/// notice names the table, the key and who saved; never what the record
/// holds, so every control reads it again through its own statements and
/// rights. Stops watching when destroyed.
class ChangeWatch final : public QObject
{
    Q_OBJECT
public:
    struct Change
    {
        QString table;
        QVariant key;
        QString kind; // "insert", "update" or "delete"
        QString user;
    };

    explicit ChangeWatch(const DataLink &link, QObject *parent = nullptr);
    ~ChangeWatch() override;
    /// False when the database offers no notices (the control refreshes by hand only).
    bool isWatching() const { return m_watching; }

    /// The keys of `table` among `changes`.
    static QVariantList keysOf(const QVector<Change> &changes, const QString &table);

signals:
    void changed(const QVector<jxedit::ChangeWatch::Change> &changes);
    /// The notices stopped (the connection went); said once until they work again.
    void lost(const QString &text);
    /// The notices work again after a loss, or some were missed: read again what is shown.
    void caughtUp();

private:
    void receive(const QString &json);
    DataLink m_link;
    com::ComPtr<IDispatch> m_sink;
    bool m_watching = false;
};

} // namespace jxedit
