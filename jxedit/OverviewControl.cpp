#include "jxedit/OverviewControl.h"

#include "jxedit/GridView.h"
#include "jxedit/PeriodChooser.h"
#include "jxedit/RowModel.h"

#include <QAction>
#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineSeries>
#include <QPushButton>
#include <QSplitter>
#include <QValueAxis>
#include <QVBoxLayout>

namespace jxedit {

namespace {

QChartView *chartView(const QString &name, const QString &caption, QWidget *parent)
{
    auto *view = new QChartView(new QChart, parent);
    view->setObjectName(name);
    view->setAccessibleName(caption);
    view->setRenderHint(QPainter::Antialiasing);
    view->setMinimumHeight(220);
    view->chart()->setTitle(caption);
    view->chart()->legend()->setAlignment(Qt::AlignBottom);
    return view;
}

void clearChart(QChart *chart)
{
    chart->removeAllSeries();
    for (QAbstractAxis *axis : chart->axes()) {
        chart->removeAxis(axis);
        delete axis;
    }
}

} // namespace

OverviewControl::OverviewControl()
    : m_agent(new QComboBox(page())), m_tiles(new QWidget(page())), m_commissionTile(nullptr),
      m_agentChart(chartView(QStringLiteral("agentChart"), QStringLiteral("按经纪人：成交合同与佣金"), page())),
      m_weekChart(chartView(QStringLiteral("weekChart"), QStringLiteral("每周新增房源与客户"), page())), m_listTitle(new QLabel(page())),
      m_grid(new GridView(page()))
{
    QObject::connect(addCommand(QStringLiteral("refresh"), QStringLiteral("刷新"), QKeySequence::Refresh), &QAction::triggered, m_grid,
                     [this] { refresh(); });
    QObject::connect(addCommand(QStringLiteral("close"), QStringLiteral("关闭"), QKeySequence(Qt::CTRL | Qt::Key_W)),
                     &QAction::triggered, m_grid, [this] { requestUnload(); });

    m_agent->setObjectName(QStringLiteral("agent"));
    m_agent->setAccessibleName(QStringLiteral("经纪人"));
    m_agent->setMinimumContentsLength(8);

    auto *tiles = new QGridLayout(m_tiles);
    tiles->setContentsMargins(0, 0, 0, 0);
    for (int f = 0; f < OverviewFigures::FigureCount; ++f) {
        QPushButton *tile = addTile(QStringLiteral("figure_%1").arg(f), f / 4, f % 4);
        tile->setToolTip(OverviewFigures::tip(OverviewFigures::Figure(f)) + QStringLiteral("。单击查看明细"));
        QObject::connect(tile, &QPushButton::clicked, m_grid, [this, f] { openList(OverviewFigures::Figure(f), m_shown); });
        m_figureTiles.append(tile);
    }
    m_commissionTile = addTile(QStringLiteral("figure_commission"), 1, 3);
    m_commissionTile->setToolTip(QStringLiteral("期间内签约、执行中或已完成的合同的佣金合计。单击查看这些合同"));
    QObject::connect(m_commissionTile, &QPushButton::clicked, m_grid, [this] { openList(OverviewFigures::Contracts, m_shown); });

    auto *charts = new QWidget(page());
    auto *chartRow = new QHBoxLayout(charts);
    chartRow->setContentsMargins(0, 0, 0, 0);
    chartRow->addWidget(m_agentChart, 1);
    chartRow->addWidget(m_weekChart, 1);

    auto *list = new QWidget(page());
    auto *listColumn = new QVBoxLayout(list);
    listColumn->setContentsMargins(0, 0, 0, 0);
    m_listTitle->setObjectName(QStringLiteral("listTitle"));
    m_listTitle->setText(QStringLiteral("单击上面的数字或图表，查看其中的记录；双击记录打开它"));
    listColumn->addWidget(m_listTitle);
    listColumn->addWidget(m_grid, 1);

    auto *split = new QSplitter(Qt::Vertical, page());
    split->setChildrenCollapsible(false);
    split->addWidget(charts);
    split->addWidget(list);
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 2);
    body()->addWidget(m_tiles);
    body()->addWidget(split, 1);

    QObject::connect(m_grid, &GridView::activated, m_grid, [this](const QVariant &key) {
        const int program = FunctionDefinition::entryProgramFor(link(), m_listTable);
        if (program > 0)
            openDetail(program, key);
        else
            sendMessage(QStringLiteral("没有可以打开这条记录的登记功能"));
    });
    QObject::connect(m_grid, &GridView::summaryChanged, m_grid, [this](const QString &text) { sendMessage(text); });
    members().add(QStringLiteral("Refresh"), [this](const com::DispArgs &) { return com::Variant::fromBool(refresh()); });
}

QPushButton *OverviewControl::addTile(const QString &name, int row, int column)
{
    auto *tile = new QPushButton(m_tiles);
    tile->setObjectName(name);
    tile->setMinimumHeight(56);
    tile->setStyleSheet(QStringLiteral("QPushButton{font-size:15px;text-align:center;padding:4px;}"));
    static_cast<QGridLayout *>(m_tiles->layout())->addWidget(tile, row, column);
    return tile;
}

bool OverviewControl::start(const com::DispArgs &a)
{
    m_caption = a.size() > 3 ? com::toQVariant(*a[3]).toString().trimmed() : QString();
    // Without a definition the caption below stands.
    if (m_caption.isEmpty())
        if (const auto def = FunctionDefinition::load(link(), progId()))
            m_caption = def->title;
    if (m_caption.isEmpty())
        m_caption = QStringLiteral("经营概况");
    // The team is for whoever may handle other agents' records here.
    m_team = allowed(Right::OthersRecords);
    const QString me = myAgent();
    if (!m_team && me.isEmpty()) {
        showError(QStringLiteral("您不是经纪人，也没有查看团队经营概况的权限（本功能的“处理他人记录”），请与系统管理员联系。"));
        return false;
    }
    m_period = new PeriodChooser(operationDate(), page());
    auto *row = qobject_cast<QHBoxLayout *>(m_period->layout());
    row->insertWidget(row->count() - 1, new QLabel(QStringLiteral("经纪人"), m_period));
    row->insertWidget(row->count() - 1, m_agent);
    if (!fillAgentChooser(m_agent, m_team, me, QStringLiteral("只有店长或管理员可以查看其他经纪人和团队的数字"), true))
        return false;
    QObject::connect(m_agent, &QComboBox::activated, m_grid, [this] { refresh(); });
    QObject::connect(m_period, &PeriodChooser::requested, m_grid, [this] { refresh(); });
    body()->insertWidget(2, m_period);
    return refresh();
}

OverviewFigures::Scope OverviewControl::scope() const
{
    return {m_period ? m_period->period() : Period{}, m_team ? m_agent->currentData().toString() : myAgent(), operationDate()};
}

bool OverviewControl::refresh()
{
    const OverviewFigures::Scope wanted = scope();
    // A refused period or a failed count keeps the figures shown.
    if (const auto checked = wanted.period.check(); !checked) {
        showError(checked.error());
        return false;
    }
    OverviewFigures figures;
    if (const auto counted = figures.compute(link(), wanted); !counted) {
        showError(QStringLiteral("统计经营概况出错：%1").arg(counted.error()));
        return false;
    }
    hideError();
    m_figures = figures;
    m_shown = wanted;
    for (int f = 0; f < OverviewFigures::FigureCount; ++f) {
        const auto figure = OverviewFigures::Figure(f);
        QString text = m_figures.text(figure);
        if (figure == OverviewFigures::Conversion && m_figures.viewedCustomers() > 0)
            text += QStringLiteral("（%1/%2）").arg(m_figures.signedCustomers()).arg(m_figures.viewedCustomers());
        m_figureTiles[f]->setText(OverviewFigures::caption(figure) + u'\n' + text);
        m_figureTiles[f]->setAccessibleName(OverviewFigures::caption(figure) + u' ' + text);
    }
    const QString commission = QStringLiteral("%1 元").arg(QString::number(m_figures.commission(), 'f', 0));
    m_commissionTile->setText(QStringLiteral("成交佣金\n") + commission);
    m_commissionTile->setAccessibleName(QStringLiteral("成交佣金 ") + commission);
    showCharts();
    sendMessage(QStringLiteral("%1：%2%3").arg(m_caption, wanted.period.caption(),
                                               wanted.agent.isEmpty() ? QStringLiteral("，全部经纪人") : QStringLiteral("，") + wanted.agent));
    return true;
}

void OverviewControl::showCharts()
{
    showAgentChart();
    showWeekChart();
}

void OverviewControl::showAgentChart()
{
    // Contracts and commission (in 10,000 yuan, to share the scale) per agent;
    // a click on a bar lists that agent's contracts.
    QChart *chart = m_agentChart->chart();
    clearChart(chart);
    auto *bars = new QBarSeries;
    auto *deals = new QBarSet(QStringLiteral("成交合同（份）"));
    auto *money = new QBarSet(QStringLiteral("佣金（万元）"));
    QStringList agents;
    double top = 1;
    for (const OverviewFigures::AgentLine &line : m_figures.perAgent()) {
        agents << (line.agent.isEmpty() ? QStringLiteral("（未指定）") : line.agent);
        *deals << line.contracts;
        *money << line.commission / 10000.0;
        top = std::max({top, double(line.contracts), line.commission / 10000.0});
    }
    bars->append(deals);
    bars->append(money);
    chart->addSeries(bars);
    auto *names = new QBarCategoryAxis;
    names->append(agents.isEmpty() ? QStringList{QStringLiteral("期间内没有成交")} : agents);
    chart->addAxis(names, Qt::AlignBottom);
    bars->attachAxis(names);
    auto *values = new QValueAxis;
    values->setRange(0, top * 1.1);
    values->setLabelFormat(QStringLiteral("%.1f"));
    chart->addAxis(values, Qt::AlignLeft);
    bars->attachAxis(values);
    QObject::connect(bars, &QBarSeries::clicked, m_grid, [this](int index, QBarSet *) {
        if (index < 0 || index >= m_figures.perAgent().size())
            return;
        OverviewFigures::Scope one = m_shown;
        one.agent = m_figures.perAgent().at(index).agent;
        if (one.agent.isEmpty()) // contracts without an agent: an empty name would mean everyone's
            return;
        openList(OverviewFigures::Contracts, one);
    });
}

void OverviewControl::showWeekChart()
{
    // New listings and customers per week; a click on a point lists that week's.
    QChart *chart = m_weekChart->chart();
    clearChart(chart);
    auto *listings = new QLineSeries;
    listings->setName(QStringLiteral("新增房源"));
    auto *customers = new QLineSeries;
    customers->setName(QStringLiteral("新增客户"));
    QStringList weeks;
    int most = 1;
    const QVector<OverviewFigures::WeekLine> &perWeek = m_figures.perWeek();
    for (qsizetype i = 0; i < perWeek.size(); ++i) {
        weeks << perWeek.at(i).start.toString(QStringLiteral("MM-dd"));
        listings->append(double(i), perWeek.at(i).listings);
        customers->append(double(i), perWeek.at(i).customers);
        most = std::max({most, perWeek.at(i).listings, perWeek.at(i).customers});
    }
    for (QLineSeries *series : {listings, customers}) {
        series->setPointsVisible(true);
        chart->addSeries(series);
    }
    auto *weekAxis = new QBarCategoryAxis;
    weekAxis->append(weeks);
    weekAxis->setTitleText(QStringLiteral("周（起始日）"));
    chart->addAxis(weekAxis, Qt::AlignBottom);
    auto *counts = new QValueAxis;
    counts->setRange(0, most + 1);
    counts->setLabelFormat(QStringLiteral("%d"));
    counts->setTickType(QValueAxis::TicksDynamic);
    counts->setTickInterval(std::max(1, (most + 1) / 5));
    chart->addAxis(counts, Qt::AlignLeft);
    for (QLineSeries *series : {listings, customers}) {
        series->attachAxis(weekAxis);
        series->attachAxis(counts);
        const auto figure = series == listings ? OverviewFigures::NewListings : OverviewFigures::NewCustomers;
        QObject::connect(series, &QLineSeries::clicked, m_grid, [this, figure](const QPointF &point) {
            const qsizetype i = qRound(point.x());
            const QVector<OverviewFigures::WeekLine> &weeks = m_figures.perWeek();
            if (i < 0 || i >= weeks.size())
                return;
            OverviewFigures::Scope week = m_shown;
            week.period.from = weeks.at(i).start;
            week.period.to = i + 1 < weeks.size() ? weeks.at(i + 1).start.addDays(-1) : m_shown.period.to;
            openList(figure, week);
        });
    }
}

bool OverviewControl::openList(OverviewFigures::Figure figure, const OverviewFigures::Scope &scope)
{
    const OverviewFigures::List list = OverviewFigures::listOf(figure, scope);
    if (const auto loaded = m_grid->load(link(), list.sql, list.params, list.columns, QStringLiteral("id")); !loaded) {
        showError(QStringLiteral("读取明细出错：%1").arg(loaded.error()));
        return false;
    }
    m_grid->fetchAll();
    m_listTable = list.table;
    // Quiet listings are counted as of today, whatever the period.
    const QString when = figure == OverviewFigures::QuietListings
        ? QStringLiteral("截至 %1").arg(scope.today.toString(QStringLiteral("yyyy-MM-dd")))
        : scope.period.caption();
    m_listTitle->setText(QStringLiteral("%1：%2%3，共 %4 条（双击打开记录）")
                             .arg(list.title, when, scope.agent.isEmpty() ? QString() : QStringLiteral("，") + scope.agent)
                             .arg(m_grid->shown()->rowCount()));
    return true;
}

} // namespace jxedit
