#include "controls/StatusBar.h"

#include "platform/com/RuntimeError.h"

#include <QPainter>

namespace qvcontrols {

StatusBar::StatusBar(QWidget *parent) : QWidget(parent), TwipsGeometry(this)
{
    setAccessibleName(QStringLiteral("状态栏"));
}

StatusBar::~StatusBar() = default;

StatusPanel *StatusBar::Add(const QString &key, const QString &text, int widthTwips)
{
    if (!key.isEmpty() && Panel(key))
        throw com::RuntimeError::of(35602, QStringLiteral("StatusBar"));
    m_panels.push_back(std::make_unique<StatusPanel>(this, key, text, std::max(0, widthTwips)));
    update();
    return m_panels.back().get();
}

StatusPanel *StatusBar::Panel(int index) const
{
    if (index < 1 || index > Count())
        return nullptr;
    return m_panels[static_cast<size_t>(index - 1)].get();
}

StatusPanel *StatusBar::Panel(const QString &key) const
{
    for (const auto &panel : m_panels) {
        if (panel->Key() == key)
            return panel.get();
    }
    return nullptr;
}

QString StatusBar::PanelText(const QString &key) const
{
    const StatusPanel *panel = Panel(key);
    return panel ? panel->Text() : QString();
}

QRect StatusBar::panelRect(int index) const
{
    if (index < 1 || index > Count())
        return {};
    int fixed = 0;
    int springs = 0;
    for (const auto &panel : m_panels) {
        if (panel->Width() > 0)
            fixed += toPixels(panel->Width()) + 2;
        else
            ++springs;
    }
    const int spring = springs > 0 ? std::max(20, (width() - fixed) / springs - 2) : 0;
    int x = 0;
    for (int i = 1; i <= Count(); ++i) {
        const StatusPanel *panel = Panel(i);
        const int w = panel->Width() > 0 ? toPixels(panel->Width()) : spring;
        if (i == index)
            return QRect(x, 2, w, std::max(0, height() - 4));
        x += w + 2;
    }
    return {};
}

QSize StatusBar::sizeHint() const
{
    return {400, fontMetrics().height() + 8};
}

void StatusBar::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), palette().color(QPalette::Window));
    for (int i = 1; i <= Count(); ++i) {
        const QRect r = panelRect(i);
        p.setPen(palette().color(QPalette::Dark));
        p.drawLine(r.topLeft(), r.topRight());
        p.drawLine(r.topLeft(), r.bottomLeft());
        p.setPen(palette().color(QPalette::Light));
        p.drawLine(r.bottomLeft(), r.bottomRight());
        p.drawLine(r.topRight(), r.bottomRight());
        p.setPen(palette().color(QPalette::WindowText));
        p.drawText(r.adjusted(4, 0, -4, 0), Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine,
                   fontMetrics().elidedText(Panel(i)->Text(), Qt::ElideRight, r.width() - 8));
    }
}

} // namespace qvcontrols
