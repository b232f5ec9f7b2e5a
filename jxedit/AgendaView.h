#pragma once

#include <QDate>
#include <QRect>
#include <QVector>
#include <QWidget>

namespace jxedit {

/// One viewing as the agenda shows it.
struct AgendaEntry
{
    int id = 0;
    QDate day;
    int start = 0; // minute of the day
    int minutes = 60;
    QString agent, customer, listing, status;

    int end() const { return start + qMax(1, minutes); }
    /// "10:00–11:00 客户 王先生 · 房源 FY000012（翠苑一区） · 张伟".
    QString text() const;
};

/// A day/week calendar: hours down, days across, each viewing a block at its
/// time. The blocks are walked in time order with the arrow keys (Tab leaves
/// the grid), Enter or a double-click opens the chosen one; the chosen block
/// is the grid's accessible description, so a screen reader says it.
class AgendaView final : public QWidget
{
    Q_OBJECT
public:
    explicit AgendaView(QWidget *parent = nullptr);

    /// The days shown, from `first` on; the entries, in any order.
    void setContents(const QDate &first, int days, QVector<AgendaEntry> entries);
    const QVector<AgendaEntry> &entries() const { return m_entries; }
    int current() const { return m_current; }
    void setCurrent(int index);
    /// The day whose column is marked as today.
    void setToday(const QDate &day) { m_today = day; update(); }
    /// Whether each block names its agent (the team's agenda) or not (one agent's).
    void setShowAgent(bool show) { m_showAgent = show; update(); }
    /// The first and last hour rows shown (the working day, widened to every entry).
    int firstHour() const { return m_firstHour; }
    int lastHour() const { return m_lastHour; }
    /// Where entry `index` is drawn; empty when there is none.
    QRect blockRect(int index) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void opened(int id);
    void currentChanged(int index);

protected:
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    /// Places the blocks for the widget's size, when it changed since they were placed.
    void layoutBlocks() const;
    int indexAt(const QPoint &at) const;
    int hourHeight() const;
    void announce();

    QDate m_first, m_today;
    int m_days = 7;
    int m_firstHour = 8, m_lastHour = 20;
    QVector<AgendaEntry> m_entries; // in time order
    mutable QVector<QRect> m_blocks;
    mutable QSize m_laidOutFor; // the size the blocks were placed for
    int m_current = -1;
    bool m_showAgent = true;
};

} // namespace jxedit
