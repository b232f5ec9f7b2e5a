#include "jxedit/ChangeWatch.h"

#include "platform/com/Dispatchable.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPointer>

namespace jxedit {

namespace {

// The automation object the feed tells; it outlives its watch when the feed
// still holds it, so it reaches the watch only while that lives.
class Sink final : public com::Dispatchable<Sink>
{
public:
    Sink(ChangeWatch *watch, std::function<void(const QString &)> changed) : m_watch(watch), m_changed(std::move(changed)) {}

    static const com::MemberTable<Sink> &members()
    {
        static const com::MemberTable<Sink> table = com::MemberTable<Sink>()
            .add(QStringLiteral("Changed"), [](Sink &self, const com::DispArgs &a) {
                if (self.m_watch)
                    self.m_changed(com::argText(a, 0));
                return com::Variant();
            })
            .add(QStringLiteral("Lost"), [](Sink &self, const com::DispArgs &a) {
                if (self.m_watch)
                    emit self.m_watch->lost(com::argText(a, 0));
                return com::Variant();
            })
            .add(QStringLiteral("CaughtUp"), [](Sink &self, const com::DispArgs &) {
                if (self.m_watch)
                    emit self.m_watch->caughtUp();
                return com::Variant();
            });
        return table;
    }

private:
    QPointer<ChangeWatch> m_watch;
    std::function<void(const QString &)> m_changed;
};

} // namespace

ChangeWatch::ChangeWatch(const DataLink &link, QObject *parent) : QObject(parent), m_link(link)
{
    m_sink = com::ComPtr<IDispatch>::adopt(new Sink(this, [this](const QString &json) { receive(json); }));
    m_watching = m_link.watchChanges(m_sink.get());
}

ChangeWatch::~ChangeWatch()
{
    if (m_watching)
        m_link.unwatchChanges(m_sink.get());
}

void ChangeWatch::receive(const QString &json)
{
    QVector<Change> changes;
    for (const QJsonValue &v : QJsonDocument::fromJson(json.toUtf8()).array()) {
        const QJsonObject o = v.toObject();
        Change c{o.value(QStringLiteral("table")).toString(), o.value(QStringLiteral("key")).toString(),
                 o.value(QStringLiteral("kind")).toString(), o.value(QStringLiteral("user")).toString()};
        if (!c.table.isEmpty() && !c.key.toString().isEmpty())
            changes.append(c);
    }
    if (!changes.isEmpty())
        emit changed(changes);
}

QVariantList ChangeWatch::keysOf(const QVector<Change> &changes, const QString &table)
{
    QVariantList keys;
    for (const Change &c : changes)
        if (c.table.compare(table, Qt::CaseInsensitive) == 0)
            keys << c.key;
    return keys;
}

} // namespace jxedit
