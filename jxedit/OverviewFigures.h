#pragma once

#include "jxedit/DataLink.h"
#include "jxedit/FunctionDefinition.h"
#include "jxedit/Period.h"

#include <array>

namespace jxedit {

/// The manager's overview of a period, for the team or one agent, counted
/// without widgets. Each figure is the number of rows of its list, so the
/// list a figure opens always holds what was counted.
class OverviewFigures
{
public:
    /// A listing on offer is quiet when its last follow-up (or, with none, its
    /// registration) lies more than this many days before today.
    static constexpr int kQuietDays = 30;

    enum Figure { NewListings, NewCustomers, Viewings, Offers, Contracts, Conversion, QuietListings, FigureCount };

    struct Scope
    {
        Period period;
        QString agent; // empty: the whole team
        QDate today;   // quiet listings are counted as of this day
    };

    /// The rows behind a figure: a statement with its parameters, the columns
    /// to show and the table its keys (field "id") belong to.
    struct List
    {
        QString title;
        QString sql;
        QVariantList params;
        QVector<ColumnDef> columns;
        QString table;
    };

    struct AgentLine
    {
        QString agent;
        int contracts = 0;
        double commission = 0;
    };
    struct WeekLine
    {
        QDate start; // the week's Monday, or the period's first day
        int listings = 0, customers = 0;
    };

    /// Caption and tip of a figure, the tip saying exactly what it counts.
    static QString caption(Figure figure);
    static QString tip(Figure figure);
    static List listOf(Figure figure, const Scope &scope);

    /// Counts everything for `scope`; false with the reason (nothing changes then).
    jx::Result<> compute(const DataLink &link, const Scope &scope);

    int count(Figure figure) const { return m_counts.at(figure); }
    double commission() const { return m_commission; }
    /// Customers with a contract in the period, and those with a viewing.
    int signedCustomers() const { return m_signedCustomers; }
    int viewedCustomers() const { return m_viewedCustomers; }
    /// Signed over viewed customers; negative when nobody viewed.
    double conversion() const;
    /// The figure as shown: numbers, the commission with its unit, the conversion as a percentage.
    QString text(Figure figure) const;
    const QVector<AgentLine> &perAgent() const { return m_perAgent; }
    const QVector<WeekLine> &perWeek() const { return m_perWeek; }

private:
    std::array<int, FigureCount> m_counts{};
    double m_commission = 0;
    int m_signedCustomers = 0, m_viewedCustomers = 0;
    QVector<AgentLine> m_perAgent;
    QVector<WeekLine> m_perWeek;
};

} // namespace jxedit
