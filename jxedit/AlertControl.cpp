#include "jxedit/AlertControl.h"

#include "jxedit/FunctionDefinition.h"
#include "jxedit/GridView.h"
#include "jxedit/RowModel.h"

#include <QAction>
#include <QCollator>
#include <QMap>
#include <QSortFilterProxyModel>
#include <QStandardItemModel>
#include <QTreeView>
#include <QVBoxLayout>

namespace jxedit {

namespace {

const QString kDay = QStringLiteral("yyyy-MM-dd");

// "N 天后跟进" for follow-ups due within the next days; "逾期 N 天" for those past.
QString whenDue(const QDate &due, const QDate &today)
{
    const qint64 days = today.daysTo(due);
    if (days == 0)
        return QStringLiteral("今天跟进");
    return days > 0 ? QStringLiteral("%1 天后跟进").arg(days) : QStringLiteral("逾期 %1 天").arg(-days);
}

// A reminder's kind, day and text as the team tree shows them.
QList<QStandardItem *> teamCells(const QVector<QVariant> &row)
{
    QList<QStandardItem *> cells;
    for (int c : {0, 1, 2}) {
        auto *cell = new QStandardItem(row.value(c).toString());
        cell->setEditable(false);
        cells << cell;
    }
    return cells;
}

// The agents' groups: the user's own first, the others in the order of their
// names as a Chinese reader sorts them, reminders naming no agent last.
QStringList teamOrder(QStringList agents, const QString &me)
{
    QCollator chinese{QLocale(QLocale::Chinese, QLocale::China)};
    std::sort(agents.begin(), agents.end(), [&chinese](const QString &x, const QString &y) { return chinese.compare(x, y) < 0; });
    if (!me.isEmpty() && agents.removeAll(me) > 0)
        agents.prepend(me);
    if (agents.removeAll(QString()) > 0)
        agents.append(QString());
    return agents;
}

} // namespace

AlertControl::AlertControl() : m_grid(new GridView(page()))
{
    body()->addWidget(m_grid, 1);
    QObject::connect(addCommand(QStringLiteral("refresh"), QStringLiteral("刷新"), QKeySequence::Refresh), &QAction::triggered,
                     m_grid, [this] { reload(); });
    QObject::connect(addCommand(QStringLiteral("close"), QStringLiteral("关闭"), QKeySequence(Qt::CTRL | Qt::Key_W)),
                     &QAction::triggered, m_grid, [this] { requestUnload(); });
    QObject::connect(m_grid, &GridView::activated, m_grid, [this](const QVariant &key) {
        // The key is "program:record".
        const QStringList parts = key.toString().split(u':');
        if (parts.size() == 2 && parts.at(0).toInt() > 0)
            openDetail(parts.at(0).toInt(), parts.at(1).toInt());
    });
    members().add(QStringLiteral("RowCount"), [this](const com::DispArgs &) { return com::Variant::fromInt32(m_grid->shown()->rowCount()); });
    members().add(QStringLiteral("TeamRowCount"), [this](const com::DispArgs &) {
        return com::Variant::fromInt32(m_team && m_team->isVisibleTo(page()) ? int(m_collected.size()) : 0);
    });
}

bool AlertControl::start(const com::DispArgs &) { return reload(); }

int AlertControl::daysAhead() const
{
    // A setting of the installation; a missing or unusable value leaves the default.
    const auto value = link().scalar(QStringLiteral("select optvalue from jx_option where groupno=? and lower(keyname)=lower(?)"),
                                     {kSettingsGroup, QString::fromLatin1(kDaysAheadKey)});
    if (!value)
        return kDaysAhead;
    bool ok = false;
    const int days = value->toString().trimmed().toInt(&ok);
    return ok && days >= 0 && days <= kMostDaysAhead ? days : kDaysAhead;
}

QVariantList AlertControl::Scope::with(QVariantList params) const
{
    if (!agent.isEmpty())
        params << agent;
    return params;
}

QString AlertControl::Scope::agentIs(const QString &column) const
{
    return agent.isEmpty() ? QString() : QStringLiteral(" and %1=?").arg(column);
}

bool AlertControl::reload()
{
    hideError();
    Scope scope;
    scope.today = operationDate();
    scope.day = scope.today.toString(kDay);
    // The signed-in user's own work when he is an agent; everyone's otherwise.
    const auto agent = link().scalar(QStringLiteral("select agentname from fy_agent where username=?"), {userName()});
    if (!agent) {
        showError(QStringLiteral("读取提醒出错：%1").arg(agent.error()));
        return false;
    }
    scope.agent = m_teamPass ? QString() : agent->toString();

    Rows rows;
    // Today's booked viewings first: the day is planned around them.
    for (const auto read : {&AlertControl::readViewings, &AlertControl::readFollowUps, &AlertControl::readContracts,
                            &AlertControl::readQuietListings, &AlertControl::readMatches}) {
        if (const auto done = (this->*read)(scope, rows); !done) {
            showError(QStringLiteral("读取提醒出错：%1").arg(done.error()));
            return false;
        }
    }
    if (m_teamPass) {
        m_collected = rows;
        return true;
    }
    m_grid->setRows({ColumnDef::of("kind", "类别", "text", 90), ColumnDef::of("day", "日期", "text", 90),
                     ColumnDef::of("what", "事项", "text", 360), ColumnDef::of("agent", "经纪人", "text", 80)},
                    {QStringLiteral("kind"), QStringLiteral("day"), QStringLiteral("what"), QStringLiteral("agent"), QStringLiteral("key")},
                    rows, QStringLiteral("key"));
    sendMessage(QStringLiteral("今日提醒 %1 项").arg(rows.size()));
    showTeam(scope.agent, rows);
    return true;
}

jx::Result<> AlertControl::readViewings(const Scope &scope, Rows &rows) const
{
    const int viewingProg = FunctionDefinition::entryProgramFor(link(), QStringLiteral("dk_viewing"));
    auto r = link().select(QStringLiteral("select v.id,v.viewtime,coalesce(k.name,''),coalesce(h.code,''),coalesce(h.community,''),v.agent"
                                          " from dk_viewing v left join kh_customer k on k.id=v.customerid left join fy_house h on h.id=v.houseid"
                                          " where v.viewdate=? and v.status='已预约'")
                               + scope.agentIs(QStringLiteral("v.agent")) + QStringLiteral(" order by v.viewtime,v.id"),
                           scope.with({scope.day}));
    if (!r)
        return jx::fail(r.error());
    for (const auto &x : r->rows)
        rows.append({QStringLiteral("今日带看"), scope.day,
                     QStringLiteral("%1 带客户 %2 看房源 %3（%4）").arg(x.value(1).toString(), x.value(2).toString(), x.value(3).toString(),
                                                                 x.value(4).toString()),
                     x.value(5), QStringLiteral("%1:%2").arg(viewingProg).arg(x.value(0).toInt())});
    return {};
}

jx::Result<> AlertControl::readFollowUps(const Scope &scope, Rows &rows) const
{
    // The latest follow-up of each listing and customer, when it is due by the end of the days ahead.
    const int followProg = FunctionDefinition::entryProgramFor(link(), QStringLiteral("gj_follow"));
    const QString ahead = scope.today.addDays(daysAhead()).toString(kDay);
    auto r = link().select(QStringLiteral("select f.id,f.nextdate,k.name,k.phone,h.code,h.community,f.content,f.agent,k.agent from gj_follow f"
                                          " left join kh_customer k on k.id=f.customerid left join fy_house h on h.id=f.houseid"
                                          " where f.nextdate<>'' and f.nextdate<=?")
                               + scope.agentIs(QStringLiteral("f.agent"))
                               + QStringLiteral(" and not exists (select 1 from gj_follow g where coalesce(g.houseid,0)=coalesce(f.houseid,0)"
                                                " and coalesce(g.customerid,0)=coalesce(f.customerid,0) and g.followdate>f.followdate)"
                                                " order by f.nextdate,f.id"),
                           scope.with({ahead}));
    if (!r)
        return jx::fail(r.error());
    // Whose customers' phones show unmasked.
    const QString me = m_teamPass ? m_teamAgent : scope.agent;
    for (const auto &x : r->rows) {
        // Who and what the follow-up is about, by name; the phone of a customer
        // of another agent stays masked.
        QStringList about;
        if (!x.value(2).toString().isEmpty()) {
            const bool own = !me.isEmpty() && x.value(8).toString() == me;
            const QString phone = own ? x.value(3).toString() : RowModel::maskPhone(x.value(3).toString());
            about << QStringLiteral("客户 %1 %2").arg(x.value(2).toString(), phone).trimmed();
        }
        if (!x.value(4).toString().isEmpty())
            about << QStringLiteral("房源 %1（%2）").arg(x.value(4).toString(), x.value(5).toString());
        const QDate due = QDate::fromString(x.value(1).toString(), kDay);
        const bool coming = due.isValid() && due > scope.today;
        const QString what = QStringLiteral("%1：%2").arg(about.join(QStringLiteral(" · ")), x.value(6).toString());
        rows.append({coming ? QStringLiteral("即将跟进") : QStringLiteral("跟进到期"), x.value(1),
                     due.isValid() ? QStringLiteral("%1：%2").arg(whenDue(due, scope.today), what) : what, x.value(7),
                     QStringLiteral("%1:%2").arg(followProg).arg(x.value(0).toInt())});
    }
    return {};
}

jx::Result<> AlertControl::readContracts(const Scope &scope, Rows &rows) const
{
    const int contractProg = FunctionDefinition::entryProgramFor(link(), QStringLiteral("ht_contract"));
    const QString &day = scope.day;
    const QString week = scope.today.addDays(7).toString(kDay);
    auto r = link().select(QStringLiteral("select id,contractno,paydate,handoverdate,agent from ht_contract where status='执行中'"
                                          " and ((paydate>=? and paydate<=?) or (handoverdate>=? and handoverdate<=?))")
                               + scope.agentIs(QStringLiteral("agent")) + QStringLiteral(" order by id"),
                           scope.with({day, week, day, week}));
    if (!r)
        return jx::fail(r.error());
    for (const auto &x : r->rows) {
        const QString pay = x.value(2).toString(), hand = x.value(3).toString();
        const bool payNear = pay >= day && pay <= week;
        rows.append({QStringLiteral("合同临近"), payNear ? pay : hand,
                     QStringLiteral("合同 %1：%2 %3").arg(x.value(1).toString(), payNear ? QStringLiteral("付款日") : QStringLiteral("交房日"), payNear ? pay : hand),
                     x.value(4), QStringLiteral("%1:%2").arg(contractProg).arg(x.value(0).toInt())});
    }
    return {};
}

jx::Result<> AlertControl::readQuietListings(const Scope &scope, Rows &rows) const
{
    // Listings on offer whose last follow-up (or, with none, their registration) lies the quiet days back,
    // the quietest first. A large agency has tens of thousands: the list names the first few hundred
    // and counts the rest, which the overview lists in full.
    const int houseProg = FunctionDefinition::entryProgramFor(link(), QStringLiteral("fy_house"));
    const QString quietSince = scope.today.addDays(-kQuietDays).toString(kDay);
    const QString lastFollow = QStringLiteral("(select max(f.followdate) from gj_follow f where f.houseid=h.id and f.followdate<>'')");
    const QString quietWhere = QStringLiteral(" from fy_house h where status='有效'") + scope.agentIs(QStringLiteral("agent"))
        + QStringLiteral(" and coalesce(%1,regdate)<=?").arg(lastFollow);
    auto r = link().select(QStringLiteral("select id,code,community,agent,regdate,%1").arg(lastFollow) + quietWhere
                               + QStringLiteral(" order by coalesce(%1,regdate),id limit %2").arg(lastFollow).arg(kQuietShown + 1),
                           scope.with({}) << quietSince);
    if (!r)
        return jx::fail(r.error());
    if (r->rows.size() > kQuietShown) {
        r->rows.resize(kQuietShown);
        const auto all = link().scalar(QStringLiteral("select count(*)") + quietWhere, scope.with({}) << quietSince);
        if (!all)
            return jx::fail(all.error());
        rows.append({QStringLiteral("房源待跟进"), QString(),
                     QStringLiteral("另有 %1 套房源超过 %2 天没有跟进，“经营概况”的“久未跟进房源”列出全部")
                         .arg(all->toLongLong() - kQuietShown)
                         .arg(kQuietDays),
                     scope.agent, QString()});
    }
    for (const auto &x : r->rows) {
        const QString last = x.value(5).toString(), registered = x.value(4).toString();
        const QDate since = QDate::fromString(last.isEmpty() ? registered : last, kDay);
        const QString listing = QStringLiteral("房源 %1（%2）").arg(x.value(1).toString(), x.value(2).toString());
        QString what;
        if (!since.isValid())
            what = listing + QStringLiteral("没有跟进记录");
        else if (last.isEmpty())
            what = listing + QStringLiteral("登记 %1 天没有跟进").arg(since.daysTo(scope.today));
        else
            what = listing + QStringLiteral("%1 天没有跟进（上次 %2）").arg(since.daysTo(scope.today)).arg(last);
        rows.append({QStringLiteral("房源待跟进"), last.isEmpty() ? registered : last, what, x.value(3),
                     QStringLiteral("%1:%2").arg(houseProg).arg(x.value(0).toInt())});
    }
    return {};
}

jx::Result<> AlertControl::readMatches(const Scope &scope, Rows &rows) const
{
    // Listings that came to fit a waiting customer, until his agent follows it up with him.
    const int houseProg = FunctionDefinition::entryProgramFor(link(), QStringLiteral("fy_house"));
    auto r = link().select(QStringLiteral("select m.houseid,m.score,m.reason,m.created,k.name,h.code,k.agent from jx_matchalert m"
                                          " join kh_customer k on k.id=m.customerid join fy_house h on h.id=m.houseid"
                                          " where h.status='有效' and k.status='有效'")
                               + scope.agentIs(QStringLiteral("k.agent"))
                               + QStringLiteral(" and not exists (select 1 from gj_follow f where f.customerid=m.customerid"
                                                " and f.houseid=m.houseid and f.followdate>=substr(m.created,1,10))"
                                                " order by m.created desc,m.houseid,m.customerid"),
                           scope.with({}));
    if (!r)
        return jx::fail(r.error());
    for (const auto &x : r->rows)
        rows.append({QStringLiteral("房源匹配"), x.value(3).toString().left(10),
                     QStringLiteral("%1符合客户 %2的需求：%3，匹配 %4%")
                         .arg(x.value(2).toString() == u"降价" ? QStringLiteral("房源降价后") : QStringLiteral("新房源"), x.value(4).toString(),
                              x.value(5).toString())
                         .arg(x.value(1).toInt()),
                     x.value(6), QStringLiteral("%1:%2").arg(houseProg).arg(x.value(0).toInt())});
    return {};
}

bool AlertControl::seesTeam() const
{
    // The right that shows a manager the team's figures shows him its reminders.
    const auto program = link().scalar(QStringLiteral("select min(progid) from jx_function where formkind='overview'"), {});
    if (!program || program->toInt() <= 0)
        return false;
    return allowed(Right::OthersRecords, program->toInt());
}

void AlertControl::createTeamView()
{
    m_team = new QTreeView(page());
    m_team->setObjectName(QStringLiteral("team"));
    m_team->setAccessibleName(QStringLiteral("团队提醒"));
    m_team->setAlternatingRowColors(true);
    m_team->setUniformRowHeights(true);
    m_teamRows = new QStandardItemModel(m_team);
    m_team->setModel(m_teamRows);
    body()->insertWidget(body()->indexOf(m_grid), m_team, 1);
    QObject::connect(m_team, &QTreeView::doubleClicked, m_team, [this](const QModelIndex &index) {
        // The key is "program:record"; a group header has none.
        const QStringList parts = index.siblingAtColumn(0).data(Qt::UserRole).toString().split(u':');
        if (parts.size() == 2 && parts.at(0).toInt() > 0)
            openDetail(parts.at(0).toInt(), parts.at(1).toInt());
    });
}

void AlertControl::showTeam(const QString &me, const QVector<QVector<QVariant>> &ownRows)
{
    if (!seesTeam()) {
        if (m_team)
            m_team->hide();
        m_grid->show();
        return;
    }
    m_teamAgent = me;
    if (me.isEmpty()) {
        // Someone who is no agent has everyone's reminders as his own list already.
        m_collected = ownRows;
    } else {
        m_teamPass = true;
        const bool read = reload();
        m_teamPass = false;
        if (!read)
            return; // the reason is shown; the user's own list stays
    }
    if (!m_team)
        createTeamView();
    // Rows are kind, day, what, agent, key.
    QMap<QString, QVector<const QVector<QVariant> *>> byAgent;
    // A line that opens no record (how many more quiet listings there are) is the team's, not an agent's.
    QVector<const QVector<QVariant> *> teamLines;
    for (const QVector<QVariant> &row : m_collected) {
        if (row.value(4).toString().isEmpty())
            teamLines.append(&row);
        else
            byAgent[row.value(3).toString()].append(&row);
    }
    const QStringList order = teamOrder(byAgent.keys(), me);
    m_teamRows->clear();
    m_teamRows->setHorizontalHeaderLabels({QStringLiteral("经纪人 / 类别"), QStringLiteral("日期"), QStringLiteral("事项")});
    for (const QString &agent : order) {
        const auto &rows = byAgent.value(agent);
        QString title = agent.isEmpty() ? QStringLiteral("（未指定经纪人）") : agent;
        if (agent == me && !me.isEmpty())
            title += QStringLiteral("（本人）");
        auto *group = new QStandardItem(QStringLiteral("%1 — %2 项").arg(title).arg(rows.size()));
        QFont bold = group->font();
        bold.setBold(true);
        group->setFont(bold);
        group->setEditable(false);
        for (const QVector<QVariant> *row : rows) {
            QList<QStandardItem *> cells = teamCells(*row);
            cells.first()->setData(row->value(4), Qt::UserRole);
            group->appendRow(cells);
        }
        auto *blank = new QStandardItem, *blank2 = new QStandardItem;
        blank->setEditable(false);
        blank2->setEditable(false);
        m_teamRows->appendRow({group, blank, blank2});
    }
    for (const QVector<QVariant> *row : std::as_const(teamLines))
        m_teamRows->appendRow(teamCells(*row));
    // His own group open, the others' closed until he looks into them.
    for (int r = 0; r < m_teamRows->rowCount(); ++r)
        m_team->setExpanded(m_teamRows->index(r, 0), r == 0 && !me.isEmpty() && order.value(0) == me);
    m_team->setColumnWidth(0, 200);
    m_team->setColumnWidth(1, 90);
    m_grid->hide();
    m_team->show();
    sendMessage(QStringLiteral("今日提醒：团队 %1 项，%2 位经纪人").arg(m_collected.size()).arg(order.size()));
}

} // namespace jxedit
