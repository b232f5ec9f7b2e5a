#pragma once

#include "jxedit/Period.h"

#include <QWidget>

class QComboBox;
class QDateEdit;

namespace jxedit {

/// The period a report or the overview counts by: from and to dates with
/// quick choices (本月, 上月, 本季, 本年); this month to start with. A quick
/// choice asks for the count at once, changed dates when the user presses 统计.
class PeriodChooser final : public QWidget
{
    Q_OBJECT
public:
    PeriodChooser(const QDate &today, QWidget *parent = nullptr);

    Period period() const;
    void setPeriod(const Period &period);
    QDateEdit *fromEdit() const { return m_from; }
    QDateEdit *toEdit() const { return m_to; }
    QComboBox *quickBox() const { return m_quick; }

signals:
    /// The user asked to count by the period shown (check it before use).
    void requested();

private:
    QDate m_today;
    QComboBox *m_quick;
    QDateEdit *m_from, *m_to;
    bool m_setting = false;
};

} // namespace jxedit
