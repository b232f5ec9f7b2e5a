#include "toolbar/drawing/clsToolTip.h"

#include "toolbar/control/ToolbarColors.h"

#include <QCursor>
#include <QEvent>
#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>
#include <QStyle>
#include <QTimer>

namespace qvtoolbar {

// The top-level tool window that shows the tip.
class TipWindow final : public QWidget
{
public:
    TipWindow()
        : QWidget(nullptr, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus)
    {
        setAttribute(Qt::WA_ShowWithoutActivating);
        setAttribute(Qt::WA_TranslucentBackground);
    }

    bool balloon = false;
    bool centered = false;
    QString text;
    QString title;
    int iconType = 0; // 1 information, 2 warning, 3 error
    QRgb fore = qRgb(0, 0, 0);
    QRgb back = qRgb(255, 255, 225);
    bool colorsSet = false;

    static constexpr int kTail = 10;

    void relayout()
    {
        const QFontMetrics fm(font());
        QFont bold = font();
        bold.setBold(true);
        const QFontMetrics bfm(bold);
        int w = fm.horizontalAdvance(text);
        int h = fm.height();
        if (!title.isEmpty()) {
            w = std::max(w, bfm.horizontalAdvance(title) + (iconType > 0 ? 20 : 0));
            h += bfm.height() + 2;
        }
        resize(w + 12, h + 8 + (balloon ? kTail : 0));
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing, balloon);
        const int bodyTop = balloon ? kTail : 0;
        const QRectF body(0.5, bodyTop + 0.5, width() - 1, height() - bodyTop - 1);
        QPainterPath path;
        if (balloon) {
            path.addRoundedRect(body, 6, 6);
            QPainterPath tail;
            const qreal tx = centered ? width() / 2.0 : 14.0;
            tail.moveTo(tx, 0.5);
            tail.lineTo(tx - 6, bodyTop + 1);
            tail.lineTo(tx + 6, bodyTop + 1);
            tail.closeSubpath();
            path = path.united(tail);
        } else {
            path.addRect(body);
        }
        p.fillPath(path, QColor(back));
        p.setPen(QColor(fore));
        p.drawPath(path);
        int y = bodyTop + 4;
        if (!title.isEmpty()) {
            QFont bold = font();
            bold.setBold(true);
            p.setFont(bold);
            const QFontMetrics bfm(bold);
            int textX = 6;
            if (iconType >= 1 && iconType <= 3) {
                static const QStyle::StandardPixmap kIcons[] = {QStyle::SP_MessageBoxInformation,
                                                                QStyle::SP_MessageBoxWarning,
                                                                QStyle::SP_MessageBoxCritical};
                style()->standardIcon(kIcons[iconType - 1]).paint(&p, QRect(6, y, 16, 16));
                textX += 20;
            }
            p.drawText(QRect(textX, y, width() - textX - 6, bfm.height()), Qt::AlignLeft | Qt::AlignVCenter, title);
            y += bfm.height() + 2;
            p.setFont(font());
        }
        p.drawText(QRect(6, y, width() - 12, QFontMetrics(font()).height()), Qt::AlignLeft | Qt::AlignVCenter,
                   text);
    }
};

clsToolTip::clsToolTip(QObject *parent)
    : QObject(parent)
{
    m_delayTimer = new QTimer(this);
    m_delayTimer->setSingleShot(true);
    connect(m_delayTimer, &QTimer::timeout, this, [this] { ShowAt(QCursor::pos()); });
    m_hideTimer = new QTimer(this);
    m_hideTimer->setSingleShot(true);
    connect(m_hideTimer, &QTimer::timeout, this, [this] {
        if (m_window)
            m_window->hide();
    });
}

clsToolTip::~clsToolTip()
{
    Destroy();
}

bool clsToolTip::Create(QWidget *parentWindow)
{
    Destroy();
    m_parent = parentWindow;
    m_window = new TipWindow();
    m_window->balloon = (m_style == 1);
    m_window->centered = m_centered;
    m_window->text = m_tipText;
    if (parentWindow) {
        parentWindow->installEventFilter(this);
        // A tip made while the pointer is already on its owner (an owner
        // rebuilding it at each move) counts the rest from now: the move that
        // led here came before this tip could watch it.
        if (parentWindow->underMouse())
            m_delayTimer->start(std::max(0, m_delayTime));
    }
    return false;
}

void clsToolTip::Destroy()
{
    m_delayTimer->stop();
    m_hideTimer->stop();
    if (m_parent)
        m_parent->removeEventFilter(this);
    delete m_window;
    m_window = nullptr;
}

void clsToolTip::SetTipText(const QString &v)
{
    m_tipText = v;
    if (m_window) {
        m_window->text = v;
        m_window->relayout();
        m_window->update();
    }
}

void clsToolTip::applyTitle()
{
    if (m_window && !m_title.isEmpty() && m_iconType != 0) {
        m_window->title = m_title;
        m_window->iconType = m_iconType;
        m_window->relayout();
        m_window->update();
    }
}

void clsToolTip::SetTitle(const QString &v)
{
    m_title = v;
    applyTitle();
}

void clsToolTip::SetIconType(int32_t v)
{
    m_iconType = v;
    applyTitle();
}

void clsToolTip::SetForeColor(int32_t v)
{
    m_foreColor = v;
    if (m_window) {
        m_window->fore = OleToQRgb(TranslateOleColor(v) & 0xFFFFFF);
        m_window->update();
    }
}

void clsToolTip::SetBackColor(int32_t v)
{
    m_backColor = v;
    if (m_window) {
        m_window->back = OleToQRgb(TranslateOleColor(v) & 0xFFFFFF);
        m_window->update();
    }
}

QString clsToolTip::ShownText() const
{
    return m_window ? m_window->text : QString();
}

QString clsToolTip::ShownTitle() const
{
    return m_window ? m_window->title : QString();
}

QWidget *clsToolTip::Window() const
{
    return m_window;
}

void clsToolTip::ShowAt(const QPoint &globalPos)
{
    if (!m_window || m_tipText.isEmpty())
        return;
    m_window->relayout();
    QPoint at = globalPos + QPoint(0, 20);
    if (m_centered && m_parent)
        at = m_parent->mapToGlobal(QPoint(m_parent->width() / 2 - m_window->width() / 2, m_parent->height()));
    m_window->move(at);
    m_window->show();
    m_window->raise();
    if (m_visibleTime > 0)
        m_hideTimer->start(m_visibleTime);
}

bool clsToolTip::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_parent && m_window) {
        switch (event->type()) {
        case QEvent::Enter:
        case QEvent::MouseMove:
            if (!m_window->isVisible())
                m_delayTimer->start(std::max(0, m_delayTime));
            break;
        case QEvent::Leave:
        case QEvent::MouseButtonPress:
        case QEvent::Hide:
            m_delayTimer->stop();
            m_window->hide();
            break;
        default:
            break;
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace qvtoolbar
