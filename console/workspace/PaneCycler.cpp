#include "console/workspace/PaneCycler.h"

#include <QApplication>
#include <QShortcut>

namespace jx {

PaneCycler::PaneCycler(QWidget *window, std::vector<PaneSource> panes)
    : QObject(window), m_window(window), m_panes(std::move(panes)), m_last(m_panes.size())
{
    auto *next = new QShortcut(QKeySequence(Qt::Key_F6), window);
    next->setContext(Qt::WindowShortcut);
    connect(next, &QShortcut::activated, this, [this] { move(true); });
    auto *previous = new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F6), window);
    previous->setContext(Qt::WindowShortcut);
    connect(previous, &QShortcut::activated, this, [this] { move(false); });
}

bool PaneCycler::contains(const Pane &pane, const QWidget *widget)
{
    if (!pane.root || !widget || !(pane.root == widget || pane.root->isAncestorOf(widget)))
        return false;
    return !(pane.excluded && (pane.excluded == widget || pane.excluded->isAncestorOf(widget)));
}

QWidget *PaneCycler::firstFocusable(const Pane &pane)
{
    if (!pane.root || !pane.root->isVisible())
        return nullptr;
    // The focus chain gives the order Tab would take inside the pane.
    QWidget *w = pane.root;
    do {
        if (contains(pane, w) && w->isVisible() && w->isEnabled() && (w->focusPolicy() & Qt::TabFocus))
            return w;
        w = w->nextInFocusChain();
    } while (w && w != pane.root);
    return nullptr;
}

int PaneCycler::paneOf(const QWidget *widget) const
{
    for (size_t i = 0; i < m_panes.size(); ++i) {
        if (contains(m_panes[i](), widget))
            return static_cast<int>(i);
    }
    return -1;
}

bool PaneCycler::move(bool forward)
{
    const int n = static_cast<int>(m_panes.size());
    if (n == 0)
        return false;
    QWidget *focused = QApplication::focusWidget();
    const int current = m_window->isAncestorOf(focused) ? paneOf(focused) : -1;
    if (current >= 0)
        m_last[static_cast<size_t>(current)] = focused;
    const int start = current >= 0 ? current : (forward ? n - 1 : 0);
    for (int k = 1; k <= n; ++k) {
        const int i = ((start + (forward ? k : -k)) % n + n) % n;
        if (i == current)
            break;
        const Pane pane = m_panes[static_cast<size_t>(i)]();
        QWidget *target = m_last[static_cast<size_t>(i)];
        if (!target || !contains(pane, target) || !target->isVisible() || !target->isEnabled())
            target = firstFocusable(pane);
        if (target) {
            target->setFocus(Qt::ShortcutFocusReason);
            return true;
        }
    }
    return false;
}

} // namespace jx
