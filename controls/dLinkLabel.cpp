#include "controls/dLinkLabel.h"

#include "controls/OleColor.h"

#include <QDesktopServices>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QUrl>

namespace qvcontrols {

dLinkLabel::dLinkLabel(QWidget *parent) : QLabel(parent), TwipsGeometry(this)
{
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
    setTextFormat(Qt::PlainText);
    applyColor(false);
}

void dLinkLabel::setCaption(const QString &caption)
{
    setText(caption);
    setAccessibleName(caption);
    adjustSize();
}

void dLinkLabel::setForeColor(int32_t ole)
{
    m_foreColor = ole;
    applyColor(false);
}

void dLinkLabel::applyColor(bool hovered)
{
    QPalette pal = palette();
    pal.setColor(QPalette::WindowText, oleToColor(m_foreColor));
    setPalette(pal);
    QFont f = font();
    f.setUnderline(hovered);
    setFont(f);
}

void dLinkLabel::Activate()
{
    emit Click(m_index);
    emit Event(QStringLiteral("Click"), {m_index});
    const QString link = m_link.trimmed();
    if (!link.isEmpty())
        QDesktopServices::openUrl(QUrl::fromUserInput(link));
}

void dLinkLabel::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        Activate();
    QLabel::mouseReleaseEvent(event);
}

void dLinkLabel::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter || event->key() == Qt::Key_Space) {
        Activate();
        return;
    }
    QLabel::keyPressEvent(event);
}

void dLinkLabel::enterEvent(QEnterEvent *event)
{
    applyColor(true);
    QLabel::enterEvent(event);
}

void dLinkLabel::leaveEvent(QEvent *event)
{
    applyColor(false);
    QLabel::leaveEvent(event);
}

} // namespace qvcontrols
