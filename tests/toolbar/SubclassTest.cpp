#include "toolbar/drawing/WindowMessages.h"
#include "toolbar/drawing/clsSubclass.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>

using namespace qvtoolbar;

namespace {

// A window that writes its own handling of mouse moves into the log.
class LoggingWindow final : public QWidget
{
public:
    explicit LoggingWindow(QStringList *log) : m_log(log) { setMouseTracking(true); }

protected:
    void mouseMoveEvent(QMouseEvent *) override { m_log->append(QStringLiteral("window")); }
    void changeEvent(QEvent *e) override
    {
        if (e->type() == QEvent::PaletteChange)
            m_log->append(QStringLiteral("window palette"));
    }

private:
    QStringList *m_log;
};

struct LoggingSink final : ISubclassingSink
{
    QStringList *log;
    bool handle = false;
    explicit LoggingSink(QStringList *l) : log(l) {}
    void Before(bool &bHandled, int32_t &lReturn, QObject *, int32_t &uMsg, QEvent *) override
    {
        log->append(QStringLiteral("before %1").arg(uMsg));
        if (handle) {
            bHandled = true;
            lReturn = 7;
        }
    }
    void After(int32_t &lReturn, QObject *, int32_t uMsg, QEvent *) override
    {
        log->append(QStringLiteral("after %1 %2").arg(uMsg).arg(lReturn));
    }
};

void moveOver(QWidget *w)
{
    QMouseEvent e(QEvent::MouseMove, QPointF(3, 3), QPointF(3, 3), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &e);
}

} // namespace

TEST(ClsSubclass, BeforeThenTheWindowThenAfter)
{
    QStringList log;
    LoggingWindow w(&log);
    LoggingSink sink(&log);
    clsSubclass sc;
    EXPECT_TRUE(sc.AddBeforeMsgs({wm::MouseMove}));
    EXPECT_TRUE(sc.AddAfterMsgs({wm::MouseMove, wm::MouseLeave}));
    EXPECT_FALSE(sc.AddAfterMsgs({wm::MouseLeave, wm::ThemeChanged})); // one of them was there
    ASSERT_TRUE(sc.Subclass(&w, &sink));
    EXPECT_EQ(sc.hwnd(), &w);
    EXPECT_FALSE(sc.Subclass(&w, &sink));

    moveOver(&w);
    EXPECT_EQ(log, (QStringList{QStringLiteral("before 512"), QStringLiteral("window"), QStringLiteral("after 512 1")}));

    // A message in neither list goes straight to the window.
    log.clear();
    QEvent palette(QEvent::PaletteChange);
    QCoreApplication::sendEvent(&w, &palette);
    EXPECT_EQ(log, QStringList{QStringLiteral("window palette")});

    // A handled "before" stops the message: no window, no "after".
    log.clear();
    sink.handle = true;
    moveOver(&w);
    EXPECT_EQ(log, QStringList{QStringLiteral("before 512")});

    EXPECT_TRUE(sc.UnSubclass());
    EXPECT_FALSE(sc.UnSubclass());
    log.clear();
    moveOver(&w);
    EXPECT_EQ(log, QStringList{QStringLiteral("window")});
}

TEST(ClsSubclass, AllMessagesGoToBefore)
{
    QStringList log;
    LoggingWindow w(&log);
    LoggingSink sink(&log);
    clsSubclass sc;
    sc.AddBeforeMsgs({wm::AllMessages});
    sc.Subclass(&w, &sink);
    QEvent palette(QEvent::PaletteChange);
    QCoreApplication::sendEvent(&w, &palette);
    QEvent custom(QEvent::User);
    QCoreApplication::sendEvent(&w, &custom);
    EXPECT_TRUE(log.contains(QStringLiteral("before 21")));
    EXPECT_TRUE(log.contains(QStringLiteral("window palette")));
    EXPECT_TRUE(log.contains(QStringLiteral("before %1").arg(wm::QtEventBase + QEvent::User)));
    EXPECT_EQ(sc.CallOrigWndProc(&custom).isValid(), true);
}

TEST(ClsSubclass, ReleasesItselfWhenTheWindowGoesAway)
{
    QStringList log;
    LoggingSink sink(&log);
    clsSubclass sc;
    sc.AddAfterMsgs({wm::MouseMove});
    auto first = std::make_unique<LoggingWindow>(&log);
    ASSERT_TRUE(sc.Subclass(first.get(), &sink));
    first.reset();
    EXPECT_EQ(sc.hwnd(), nullptr);
    QEvent e(QEvent::User);
    EXPECT_FALSE(sc.CallOrigWndProc(&e).isValid());

    // The lists persist; another window can be subclassed.
    LoggingWindow second(&log);
    ASSERT_TRUE(sc.Subclass(&second, &sink));
    log.clear();
    moveOver(&second);
    EXPECT_EQ(log, (QStringList{QStringLiteral("window"), QStringLiteral("after 512 1")}));
}
