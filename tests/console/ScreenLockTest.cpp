#include "console/workspace/ScreenLock.h"

#include "controls/Button.h"
#include "controls/Panel.h"
#include "platform/MessageBox.h"

#include <QApplication>
#include <QLineEdit>
#include <QMouseEvent>
#include <QWidget>

#include <gtest/gtest.h>

namespace {

// A client area with a body holding one field, and the lock over it with a
// password check that counts its calls.
class ScreenLockTest : public ::testing::Test
{
protected:
    ScreenLockTest()
    {
        client.resize(600, 400);
        body = new QWidget(&client);
        body->resize(600, 400);
        field = new QLineEdit(body);
        lock = new jx::ScreenLock(&client, body, [this](const QString &password) {
            ++checks;
            return password == QStringLiteral("secret");
        });
        client.show();
    }

    QWidget client;
    QWidget *body = nullptr;
    QLineEdit *field = nullptr;
    jx::ScreenLock *lock = nullptr;
    int checks = 0;
    jx::ScopedMessageBoxRecorder boxes;
};

} // namespace

TEST_F(ScreenLockTest, BuildsItsControlsHiddenAndNamed)
{
    EXPECT_FALSE(lock->isLocked());
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(lock->pic(i)->isHidden()) << i;
    EXPECT_EQ(lock->password()->echoMode(), QLineEdit::Password);
    EXPECT_EQ(lock->returnButton()->objectName(), QStringLiteral("ImgBtn_3"));
    EXPECT_EQ(lock->exitButton()->objectName(), QStringLiteral("ImgBtn_4"));
    // Not locked, unlocking asks for nothing and changes nothing.
    EXPECT_FALSE(lock->unlock());
    EXPECT_EQ(checks, 0);
    EXPECT_EQ(boxes.count(), 0);
}

TEST_F(ScreenLockTest, OnlyTheRightPasswordEndsTheLock)
{
    lock->lock(&client);
    ASSERT_TRUE(lock->isLocked());
    EXPECT_FALSE(body->isEnabled());
    EXPECT_TRUE(lock->pic(0)->isVisible());
    EXPECT_TRUE(lock->pic(2)->isVisible());
    // The unlock panel is centred on the cover.
    const qvcontrols::Panel *cover = lock->pic(0);
    const qvcontrols::Panel *panel = lock->pic(1);
    EXPECT_EQ(panel->Left(), (cover->Width() - panel->Width()) / 2);
    EXPECT_EQ(panel->Top(), (cover->Height() - panel->Height()) / 2);

    lock->password()->setText(QStringLiteral("wrong"));
    EXPECT_FALSE(lock->unlock());
    EXPECT_TRUE(lock->isLocked());
    EXPECT_FALSE(body->isEnabled());
    ASSERT_EQ(boxes.count(), 1);
    EXPECT_EQ(boxes.last().text, QStringLiteral("请录入正确的用户密码! "));
    EXPECT_EQ(boxes.last().title, QStringLiteral("提示："));
    // What was typed stays for the operator to correct.
    EXPECT_EQ(lock->password()->text(), QStringLiteral("wrong"));

    lock->password()->setText(QStringLiteral("secret"));
    EXPECT_TRUE(lock->unlock());
    EXPECT_FALSE(lock->isLocked());
    EXPECT_TRUE(body->isEnabled());
    EXPECT_TRUE(lock->pic(0)->isHidden());
    EXPECT_TRUE(lock->pic(2)->isHidden());
    EXPECT_TRUE(lock->pic(0)->Picture().isNull());
    EXPECT_EQ(checks, 2);
    EXPECT_EQ(boxes.count(), 1);
}

TEST_F(ScreenLockTest, TheUnlockPanelFollowsALeftButtonDrag)
{
    lock->lock(&client);
    qvcontrols::Panel *panel = lock->pic(1);
    const QPoint start = panel->pos();
    const auto send = [panel](QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons buttons) {
        QMouseEvent event(type, at, panel->mapToGlobal(at), button, buttons, Qt::NoModifier);
        QApplication::sendEvent(panel, &event);
    };
    send(QEvent::MouseButtonPress, {10, 10}, Qt::LeftButton, Qt::LeftButton);
    send(QEvent::MouseMove, {30, 25}, Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(panel->pos(), start + QPoint(20, 15));
    send(QEvent::MouseButtonRelease, {30, 25}, Qt::LeftButton, Qt::NoButton);
    send(QEvent::MouseMove, {60, 60}, Qt::NoButton, Qt::NoButton);
    EXPECT_EQ(panel->pos(), start + QPoint(20, 15));
    // A right-button press starts no drag.
    send(QEvent::MouseButtonPress, {10, 10}, Qt::RightButton, Qt::RightButton);
    send(QEvent::MouseMove, {50, 50}, Qt::NoButton, Qt::RightButton);
    EXPECT_EQ(panel->pos(), start + QPoint(20, 15));
}
