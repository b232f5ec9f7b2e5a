#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>

#include <functional>
#include <vector>

class QShortcut;

namespace jx {

// F6 and Shift+F6 move the keyboard focus to the next or previous pane of a
// window, round in a circle, so the user leaves a grid or a form that keeps
// Tab to itself. A pane is asked for when the key is pressed (what it is may
// change with the selected tab); one that is hidden or has nothing to take
// the focus is passed over. Back in a pane, the focus returns to where it
// was last in it.
class PaneCycler final : public QObject
{
    Q_OBJECT
public:
    struct Pane
    {
        QWidget *root = nullptr;
        // A part of the root that is a pane of its own (the report column
        // inside the diagram page), never counted to this one.
        QWidget *excluded = nullptr;
    };
    using PaneSource = std::function<Pane()>;

    PaneCycler(QWidget *window, std::vector<PaneSource> panes);

    // Moves the focus one pane on (or back); false when no other pane takes it.
    bool move(bool forward);
    // Which pane holds `widget`; -1 when none.
    int paneOf(const QWidget *widget) const;

private:
    static bool contains(const Pane &pane, const QWidget *widget);
    static QWidget *firstFocusable(const Pane &pane);

    QWidget *m_window;
    std::vector<PaneSource> m_panes;
    std::vector<QPointer<QWidget>> m_last;
};

} // namespace jx
