#include "jxedit/AgendaControl.h"

#include "jxedit/FunctionDefinition.h"
#include "jxedit/ViewingRules.h"

#include <QAction>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QScrollArea>
#include <QVBoxLayout>

namespace jxedit {

namespace {
const QString kDay = QStringLiteral("yyyy-MM-dd");

QDate mondayOf(const QDate &day) { return day.addDays(1 - day.dayOfWeek()); }
} // namespace

AgendaControl::AgendaControl()
    : m_view(new AgendaView(page())), m_scroll(new QScrollArea(page())), m_agent(new QComboBox(page())), m_span(new QComboBox(page())),
      m_range(new QLabel(page()))
{
    QObject::connect(addCommand(QStringLiteral("previous"), QStringLiteral("上一页"), QKeySequence(Qt::Key_PageUp)), &QAction::triggered,
                     m_view, [this] { step(-1); });
    QObject::connect(addCommand(QStringLiteral("today"), QStringLiteral("今天"), QKeySequence(Qt::CTRL | Qt::Key_Home)), &QAction::triggered,
                     m_view, [this] { goToday(); });
    QObject::connect(addCommand(QStringLiteral("next"), QStringLiteral("下一页"), QKeySequence(Qt::Key_PageDown)), &QAction::triggered,
                     m_view, [this] { step(1); });
    QObject::connect(addCommand(QStringLiteral("open"), QStringLiteral("打开"), QKeySequence(Qt::CTRL | Qt::Key_O)), &QAction::triggered,
                     m_view, [this] {
                         if (m_view->current() >= 0)
                             open(m_view->entries().at(m_view->current()).id);
                         else
                             sendMessage(QStringLiteral("请先选择一场带看"));
                     });
    QObject::connect(addCommand(QStringLiteral("refresh"), QStringLiteral("刷新"), QKeySequence::Refresh), &QAction::triggered, m_view,
                     [this] { refresh(); });
    QObject::connect(addCommand(QStringLiteral("close"), QStringLiteral("关闭"), QKeySequence(Qt::CTRL | Qt::Key_W)), &QAction::triggered,
                     m_view, [this] { requestUnload(); });

    body()->addWidget(chooserBar());

    m_scroll->setWidgetResizable(true);
    m_scroll->setWidget(m_view);
    m_scroll->setFocusProxy(m_view);
    body()->addWidget(m_scroll, 1);

    // From the choosers straight into the calendar.
    QWidget::setTabOrder(m_span, m_agent);
    QWidget::setTabOrder(m_agent, m_view);

    QObject::connect(m_span, &QComboBox::activated, m_view, [this] { setSpan(m_span->currentData().toInt()); });
    QObject::connect(m_agent, &QComboBox::activated, m_view, [this] { refresh(); });
    QObject::connect(m_view, &AgendaView::opened, m_view, [this](int id) { open(id); });
    QObject::connect(m_view, &AgendaView::currentChanged, m_view, [this](int index) {
        if (index >= 0) {
            m_scroll->ensureVisible(m_view->blockRect(index).center().x(), m_view->blockRect(index).center().y(), 40, 40);
            sendMessage(m_view->entries().at(index).text());
        }
    });

    members().add(QStringLiteral("Refresh"), [this](const com::DispArgs &) { return com::Variant::fromBool(refresh()); });
    members().add(QStringLiteral("BlockCount"), [this](const com::DispArgs &) { return com::Variant::fromInt32(int(m_view->entries().size())); });
    members().add(QStringLiteral("BlockText"), [this](const com::DispArgs &a) {
        const int i = a.empty() ? m_view->current() : com::toQVariant(*a[0]).toInt();
        return com::Variant::fromString(i >= 0 && i < m_view->entries().size() ? m_view->entries().at(i).text() : QString());
    });
    members().add(QStringLiteral("BlockId"), [this](const com::DispArgs &a) {
        const int i = a.empty() ? m_view->current() : com::toQVariant(*a[0]).toInt();
        return com::Variant::fromInt32(i >= 0 && i < m_view->entries().size() ? m_view->entries().at(i).id : 0);
    });
    // Where a block is drawn, "left top width height" in the grid's pixels.
    members().add(QStringLiteral("BlockRect"), [this](const com::DispArgs &a) {
        const QRect r = m_view->blockRect(a.empty() ? m_view->current() : com::toQVariant(*a[0]).toInt());
        return com::Variant::fromString(QStringLiteral("%1 %2 %3 %4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height()));
    });
    members().add(QStringLiteral("CurrentBlock"), [this](const com::DispArgs &) { return com::Variant::fromInt32(m_view->current()); });
    members().add(QStringLiteral("FirstDay"), [this](const com::DispArgs &) { return com::Variant::fromString(m_first.toString(kDay)); });
    members().add(QStringLiteral("Days"), [this](const com::DispArgs &) { return com::Variant::fromInt32(m_days); });
}

QWidget *AgendaControl::chooserBar()
{
    auto *bar = new QWidget(page());
    auto *row = new QHBoxLayout(bar);
    row->setContentsMargins(4, 2, 4, 2);
    m_span->setObjectName(QStringLiteral("span"));
    m_span->setAccessibleName(QStringLiteral("显示"));
    m_span->addItem(QStringLiteral("周"), 7);
    m_span->addItem(QStringLiteral("日"), 1);
    auto *spanLabel = new QLabel(QStringLiteral("显示(&V)"), bar);
    spanLabel->setBuddy(m_span);
    m_agent->setObjectName(QStringLiteral("agent"));
    m_agent->setAccessibleName(QStringLiteral("经纪人"));
    m_agent->setMinimumContentsLength(8);
    auto *agentLabel = new QLabel(QStringLiteral("经纪人(&A)"), bar);
    agentLabel->setBuddy(m_agent);
    m_range->setObjectName(QStringLiteral("range"));
    m_range->setAccessibleName(QStringLiteral("日期范围"));
    row->addWidget(spanLabel);
    row->addWidget(m_span);
    row->addSpacing(12);
    row->addWidget(agentLabel);
    row->addWidget(m_agent);
    row->addSpacing(12);
    row->addWidget(m_range, 1);
    return bar;
}

bool AgendaControl::start(const com::DispArgs &)
{
    m_team = allowed(Right::OthersRecords);
    const QString me = myAgent();
    if (!m_team && me.isEmpty()) {
        showError(QStringLiteral("您不是经纪人，也没有查看团队带看日程的权限（本功能的“处理他人记录”），请与系统管理员联系。"));
        return false;
    }
    m_recordProgram = FunctionDefinition::entryProgramFor(link(), QString::fromLatin1(ViewingRules::kTable));
    if (!fillAgentChooser(m_agent, m_team, me, QStringLiteral("只有店长或管理员可以查看其他经纪人和团队的带看")))
        return false;
    m_view->setToday(operationDate());
    m_first = mondayOf(operationDate());
    return refresh();
}

void AgendaControl::setSpan(int days)
{
    const int wanted = days == 1 ? 1 : 7;
    if (wanted == m_days)
        return;
    // A week shows the week of the day shown; a day is today within the week shown, or its Monday.
    const QDate today = operationDate();
    if (wanted == 7)
        m_first = mondayOf(m_first);
    else
        m_first = today >= m_first && today < m_first.addDays(7) ? today : m_first;
    m_days = wanted;
    m_span->setCurrentIndex(m_span->findData(m_days));
    refresh();
}

void AgendaControl::step(int direction)
{
    m_first = m_first.addDays(direction * m_days);
    refresh();
}

void AgendaControl::goToday()
{
    m_first = m_days == 1 ? operationDate() : mondayOf(operationDate());
    refresh();
}

bool AgendaControl::refresh()
{
    hideError();
    const QString agent = m_team ? m_agent->currentData().toString() : myAgent();
    const QDate last = m_first.addDays(m_days - 1);
    QString sql = QStringLiteral("select v.id,v.viewdate,v.viewtime,v.duration,coalesce(v.agent,''),coalesce(k.name,''),coalesce(h.code,''),"
                                 "coalesce(h.community,''),v.status from dk_viewing v left join kh_customer k on k.id=v.customerid"
                                 " left join fy_house h on h.id=v.houseid where v.viewdate>=? and v.viewdate<=? and v.status<>'已取消'");
    QVariantList params{m_first.toString(kDay), last.toString(kDay)};
    if (!agent.isEmpty()) {
        sql += QStringLiteral(" and v.agent=?");
        params << agent;
    }
    sql += QStringLiteral(" order by v.viewdate,v.viewtime,v.id");
    const auto rows = link().select(sql, params);
    if (!rows) {
        showError(QStringLiteral("读取带看日程出错：%1").arg(rows.error()));
        return false;
    }
    QVector<AgendaEntry> entries;
    for (const QVector<QVariant> &r : rows->rows) {
        AgendaEntry e;
        e.id = r.value(0).toInt();
        e.day = QDate::fromString(r.value(1).toString(), kDay);
        e.start = ViewingRules::minuteOfDay(r.value(2).toString());
        if (!e.day.isValid() || e.start < 0)
            continue; // a viewing without a usable time has no place in a calendar; the list shows it
        e.minutes = r.value(3).toInt() > 0 ? r.value(3).toInt() : 60;
        e.agent = r.value(4).toString();
        e.customer = r.value(5).toString();
        e.listing = QStringLiteral("%1（%2）").arg(r.value(6).toString(), r.value(7).toString());
        e.status = r.value(8).toString();
        entries << e;
    }
    m_view->setShowAgent(agent.isEmpty());
    m_view->setContents(m_first, m_days, entries);
    const QString span = m_days == 1 ? m_first.toString(kDay) : QStringLiteral("%1 至 %2").arg(m_first.toString(kDay), last.toString(kDay));
    const QString who = agent.isEmpty() ? QStringLiteral("全部经纪人") : agent;
    m_range->setText(QStringLiteral("%1，%2：%3 场带看").arg(span, who).arg(entries.size()));
    sendMessage(m_range->text());
    return true;
}

void AgendaControl::open(int id)
{
    if (m_recordProgram <= 0) {
        sendMessage(QStringLiteral("没有可以打开这场带看的登记功能"));
        return;
    }
    // Opened for changing, as a list opens its records: the feedback is entered there.
    raiseEvent(QStringLiteral("fileedit"), {com::Variant::fromInt32(m_recordProgram), com::Variant::fromInt32(id)});
}

} // namespace jxedit
