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

namespace {
// Writes its name before each entry, and may change the message it passes on.
struct NamedSink final : ISubclassingSink
{
    QStringList *log;
    QString name;
    int32_t changeTo = 0;
    NamedSink(QStringList *l, QString n) : log(l), name(std::move(n)) {}
    void Before(bool &, int32_t &, QObject *, int32_t &uMsg, QEvent *) override
    {
        log->append(QStringLiteral("%1 before %2").arg(name).arg(uMsg));
        if (changeTo)
            uMsg = changeTo;
    }
    void After(int32_t &lReturn, QObject *, int32_t uMsg, QEvent *) override
    {
        log->append(QStringLiteral("%1 after %2 %3").arg(name).arg(uMsg).arg(lReturn));
    }
};
} // namespace

// Two subclasses of one window nest: the later one sees a message first,
// and its "window's own handling" includes the earlier one, which is not
// left out because the later one runs the window itself.
TEST(ClsSubclass, TwoSubclassesOfOneWindowNest)
{
    QStringList log;
    LoggingWindow w(&log);
    NamedSink first(&log, QStringLiteral("first"));
    NamedSink second(&log, QStringLiteral("second"));
    clsSubclass earlier;
    earlier.AddBeforeMsgs({wm::MouseMove});
    earlier.AddAfterMsgs({wm::MouseMove});
    ASSERT_TRUE(earlier.Subclass(&w, &first));
    clsSubclass later;
    later.AddBeforeMsgs({wm::MouseMove});
    later.AddAfterMsgs({wm::MouseMove});
    ASSERT_TRUE(later.Subclass(&w, &second));

    moveOver(&w);
    EXPECT_EQ(log, (QStringList{QStringLiteral("second before 512"), QStringLiteral("first before 512"),
                                QStringLiteral("window"), QStringLiteral("first after 512 1"),
                                QStringLiteral("second after 512 1")}));

    // Only the earlier one wants it after the window: it still gets it.
    later.UnSubclass();
    clsSubclass beforeOnly;
    beforeOnly.AddBeforeMsgs({wm::MouseMove});
    ASSERT_TRUE(beforeOnly.Subclass(&w, &second));
    log.clear();
    moveOver(&w);
    EXPECT_EQ(log, (QStringList{QStringLiteral("second before 512"), QStringLiteral("first before 512"),
                                QStringLiteral("window"), QStringLiteral("first after 512 1")}));

    // Both gone: the window alone.
    earlier.UnSubclass();
    beforeOnly.UnSubclass();
    log.clear();
    moveOver(&w);
    EXPECT_EQ(log, QStringList{QStringLiteral("window")});
}

// The message a "before" passes on is the one its "after" list is checked
// against, and the one the subclasses made earlier see.
TEST(ClsSubclass, AMessageChangedBeforeIsCheckedAsChanged)
{
    QStringList log;
    LoggingWindow w(&log);
    NamedSink inner(&log, QStringLiteral("inner"));
    NamedSink outer(&log, QStringLiteral("outer"));
    outer.changeTo = wm::MouseLeave;
    clsSubclass earlier;
    earlier.AddBeforeMsgs({wm::MouseLeave});
    ASSERT_TRUE(earlier.Subclass(&w, &inner));
    clsSubclass later;
    later.AddBeforeMsgs({wm::MouseMove});
    later.AddAfterMsgs({wm::MouseLeave});
    ASSERT_TRUE(later.Subclass(&w, &outer));
    moveOver(&w);
    EXPECT_EQ(log, (QStringList{QStringLiteral("outer before 512"), QStringLiteral("inner before 675"),
                                QStringLiteral("window"), QStringLiteral("outer after 675 1")}));

    // Changed away from its only "after" message: no "after".
    clsSubclass alone;
    alone.AddBeforeMsgs({wm::MouseMove});
    alone.AddAfterMsgs({wm::MouseMove});
    LoggingWindow other(&log);
    ASSERT_TRUE(alone.Subclass(&other, &outer));
    log.clear();
    moveOver(&other);
    EXPECT_EQ(log, (QStringList{QStringLiteral("outer before 512"), QStringLiteral("window")}));
}
