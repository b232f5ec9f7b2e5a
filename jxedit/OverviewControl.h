#pragma once

#include "jxedit/FunctionControl.h"
#include "jxedit/OverviewFigures.h"

#include <QPointer>

class QComboBox;
class QLabel;
class QPushButton;

class QChartView;

namespace jxedit {

class GridView;
class PeriodChooser;

/// "JxEdit.ooverview", 经营概况: the figures of a period (this month to
/// start with) in numbers and charts, each opening the rows behind it in a
/// grid whose double-click opens the record as a query grid does. A user
/// holding 处理他人记录 (bit 128) on the program, or an administrator, sees
/// the team and may pick one agent; anyone else sees his own figures.
/// Py_Init(context, configuration, program number[, caption]).
class OverviewControl final : public FunctionControl
{
public:
    OverviewControl();

    const OverviewFigures &figures() const { return m_figures; }
    bool teamView() const { return m_team; }
    bool refresh();
    /// Shows the rows behind `figure` for `scope` under the figures.
    bool openList(OverviewFigures::Figure figure, const OverviewFigures::Scope &scope);

protected:
    bool start(const com::DispArgs &args) override;

private:
    OverviewFigures::Scope scope() const;
    void showCharts();
    void showAgentChart();
    void showWeekChart();
    QPushButton *addTile(const QString &name, int row, int column);

    bool m_team = false;
    QString m_caption;
    OverviewFigures m_figures;
    OverviewFigures::Scope m_shown; // the scope the figures were counted for
    QPointer<PeriodChooser> m_period;
    QComboBox *m_agent;
    QWidget *m_tiles;
    QVector<QPushButton *> m_figureTiles; // by figure
    QPushButton *m_commissionTile;
    QChartView *m_agentChart, *m_weekChart;
    QLabel *m_listTitle;
    GridView *m_grid;
    QString m_listTable;
};

} // namespace jxedit
