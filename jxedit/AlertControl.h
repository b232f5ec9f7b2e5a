#pragma once

#include "jxedit/FunctionControl.h"
#include "platform/com/Result.h"

#include <QDate>

class QStandardItemModel;
class QTreeView;

namespace jxedit {

class GridView;

/// "JxEdit.oalert": today's work for the signed-in agent: follow-ups overdue,
/// due today or within the next days, contracts whose payment or hand-over
/// date is within a week, today's booked viewings (今日带看, by time),
/// listings without a follow-up for 30 days (saying
/// for how many), and listings that came to fit his waiting customers. A
/// user who is no agent sees everyone's. Py_Init(context, configuration,
/// program number); "today" is the operation date.
class AlertControl final : public FunctionControl
{
public:
    /// How many days ahead a coming follow-up is shown, unless the installation
    /// says otherwise in jx_option (group kSettingsGroup, key kDaysAheadKey).
    static constexpr int kDaysAhead = 3;
    static constexpr int kMostDaysAhead = 60;
    static constexpr int kSettingsGroup = 12;
    static constexpr const char *kDaysAheadKey = "followdaysahead";
    /// A listing on offer without a follow-up for this many days is named.
    static constexpr int kQuietDays = 30;
    // Quiet listings named one by one; the rest are counted.
    static constexpr int kQuietShown = 200;

    AlertControl();
    GridView *grid() const { return m_grid; }
    /// The team's reminders grouped by agent, shown instead of the grid to a
    /// user holding 处理他人记录 on the manager's overview; null until then.
    QTreeView *teamView() const { return m_team; }

protected:
    bool start(const com::DispArgs &args) override;

private:
    using Rows = QVector<QVector<QVariant>>; // kind, date, what, agent, key
    /// Whose reminders are read, and for which day.
    struct Scope
    {
        QDate today;
        QString day;   // today as stored
        QString agent; // empty: everyone's
        /// `params` followed by the agent when the reminders are one agent's.
        QVariantList with(QVariantList params) const;
        /// " and <column>=?" when the reminders are one agent's.
        QString agentIs(const QString &column) const;
    };

    bool reload();
    int daysAhead() const;
    // Each kind of reminder, appended to `rows`.
    jx::Result<> readViewings(const Scope &scope, Rows &rows) const;
    jx::Result<> readFollowUps(const Scope &scope, Rows &rows) const;
    jx::Result<> readContracts(const Scope &scope, Rows &rows) const;
    jx::Result<> readQuietListings(const Scope &scope, Rows &rows) const;
    jx::Result<> readMatches(const Scope &scope, Rows &rows) const;
    /// After the user's own list (`ownRows`) is read: for a manager, shows
    /// everyone's grouped by agent, his own group first; read again only when
    /// his own list is not everyone's already.
    void showTeam(const QString &me, const QVector<QVector<QVariant>> &ownRows);
    bool seesTeam() const;
    void createTeamView();
    GridView *m_grid;
    QTreeView *m_team = nullptr;
    QStandardItemModel *m_teamRows = nullptr;
    // While the team's rows are read, reload() collects everyone's into m_collected.
    bool m_teamPass = false;
    QString m_teamAgent; // whose phones the team's rows show unmasked
    QVector<QVector<QVariant>> m_collected;
};

} // namespace jxedit
