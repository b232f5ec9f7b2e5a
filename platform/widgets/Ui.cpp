#include "platform/widgets/Ui.h"

#include <QCoreApplication>
#include <QDialog>
#include <QEvent>
#include <QEventLoop>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QWidget>

#include <cmath>

namespace jx {

namespace {

// Ends a local event loop when the watched window goes away.
class HideWatcher final : public QObject
{
public:
    HideWatcher(QWidget *window, QEventLoop *loop) : m_loop(loop) { window->installEventFilter(this); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Hide || event->type() == QEvent::Close)
            m_loop->quit();
        return QObject::eventFilter(watched, event);
    }

private:
    QEventLoop *m_loop;
};

int dpiOf(bool horizontal)
{
    if (qobject_cast<QGuiApplication *>(QCoreApplication::instance()) == nullptr)
        return 96;
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (screen == nullptr)
        return 96;
    const double dpi = horizontal ? screen->logicalDotsPerInchX() : screen->logicalDotsPerInchY();
    const int rounded = static_cast<int>(std::lround(dpi));
    return rounded > 0 ? rounded : 96;
}

} // namespace

long long divRoundHalfEven(long long a, long long b)
{
    long long q = a / b;
    long long r = a % b; // same sign as a
    const long long twice = 2 * (r < 0 ? -r : r);
    if (twice > b || (twice == b && (q % 2 != 0)))
        q += (a < 0) ? -1 : 1;
    return q;
}

int showModal(QWidget *window)
{
    if (window == nullptr)
        return 0;
    if (auto *dialog = qobject_cast<QDialog *>(window))
        return dialog->exec();
    QPointer<QWidget> guard(window);
    window->setWindowModality(Qt::ApplicationModal);
    window->show();
    if (!window->isVisible())
        return 0;
    QEventLoop loop;
    HideWatcher watcher(window, &loop);
    QObject::connect(window, &QObject::destroyed, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::DialogExec);
    if (guard)
        guard->removeEventFilter(&watcher);
    return 0;
}

void showModeless(QWidget *window)
{
    if (window == nullptr)
        return;
    window->show();
    window->raise();
    window->activateWindow();
}

void doEvents()
{
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

int screenDpiX()
{
    return dpiOf(true);
}

int screenDpiY()
{
    return dpiOf(false);
}

int twipsPerPixelX()
{
    return static_cast<int>(divRoundHalfEven(1440, screenDpiX()));
}

int twipsPerPixelY()
{
    return static_cast<int>(divRoundHalfEven(1440, screenDpiY()));
}

int twipsToPixels(int twips, int dpi)
{
    return static_cast<int>(divRoundHalfEven(static_cast<long long>(twips) * dpi, 1440));
}

int pixelsToTwips(int pixels, int dpi)
{
    return static_cast<int>(divRoundHalfEven(static_cast<long long>(pixels) * 1440, dpi));
}

int twipsToPixels(int twips)
{
    return twipsToPixels(twips, screenDpiX());
}

int pixelsToTwips(int pixels)
{
    return pixelsToTwips(pixels, screenDpiX());
}

QRect twipsToPixels(const QRect &twips)
{
    const int dx = screenDpiX();
    const int dy = screenDpiY();
    return QRect(twipsToPixels(twips.x(), dx), twipsToPixels(twips.y(), dy), twipsToPixels(twips.width(), dx),
                 twipsToPixels(twips.height(), dy));
}

QRect pixelsToTwips(const QRect &pixels)
{
    const int dx = screenDpiX();
    const int dy = screenDpiY();
    return QRect(pixelsToTwips(pixels.x(), dx), pixelsToTwips(pixels.y(), dy), pixelsToTwips(pixels.width(), dx),
                 pixelsToTwips(pixels.height(), dy));
}

QSize twipsToPixels(const QSize &twips)
{
    return QSize(twipsToPixels(twips.width(), screenDpiX()), twipsToPixels(twips.height(), screenDpiY()));
}

QSize pixelsToTwips(const QSize &pixels)
{
    return QSize(pixelsToTwips(pixels.width(), screenDpiX()), pixelsToTwips(pixels.height(), screenDpiY()));
}

} // namespace jx
