#pragma once

#include "jxedit/DataLink.h"

#include <QWidget>

class QTabWidget;

namespace jxedit {

class GridView;

/// The panels below a record's form that show what happened around it: for
/// a customer and a listing their whole story (viewings, offers, follow-ups,
/// contracts in date order), for a listing its offers best first, for an
/// offer the chain of offers and counter-offers it belongs to. Each row opens
/// its record (openRequested). Further panels of a record, such as a
/// listing's photos, are added as tabs of their own (tabs()).
class RecordStory final : public QWidget
{
    Q_OBJECT
public:
    /// One kind of record in a story: a statement of key ("table:id"), date,
    /// kind, party, what, amount, state, agent, with {party} and {join} for
    /// the other side of the record and {owner} for the field naming the
    /// customer or listing whose story it is.
    struct Source
    {
        QString table;
        QString sql;
    };

    RecordStory(DataLink link, QString table, QWidget *parent = nullptr);

    /// Whether records of `table` have panels here.
    static bool applies(const QString &table);
    /// The kinds of record a story is told from, in the order ties of a date are shown.
    static QVector<Source> sources();
    /// The story of record `id` of `table` (kh_customer or fy_house), oldest
    /// first: key, date, kind, party, what, amount, state, agent.
    static jx::Result<QVector<QVector<QVariant>>> storyRows(const DataLink &link, const QString &table, int id);

    /// Fills the panels for record `id`.
    jx::Result<> load(int id);
    /// Empties the panels (a new record has no story yet).
    void clear();
    /// Lets go of the database: the control that owns the panels is going,
    /// while the widget may live on until its host deletes it.
    void detach() { m_link = DataLink(); }

    QTabWidget *tabs() const { return m_tabs; }
    GridView *story() const { return m_story; }
    GridView *offers() const { return m_offers; }
    GridView *chain() const { return m_chain; }

signals:
    void openRequested(const QString &table, int id);

private:
    GridView *addGrid(const QString &name, const QString &caption, const QString &table);

    DataLink m_link;
    QString m_table;
    QTabWidget *m_tabs;
    GridView *m_story = nullptr;
    GridView *m_offers = nullptr;
    GridView *m_chain = nullptr;
};

} // namespace jxedit
