#include "console/workspace/ScreenLock.h"

#include "console/workspace/PlacedWidget.h"

#include "controls/Button.h"
#include "controls/Panel.h"
#include "controls/ShadowLabel.h"
#include "controls/TwipsGeometry.h"
#include "controls/WindowSupport.h"
#include "platform/MessageBox.h"
#include "platform/widgets/Ui.h"

#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>

namespace jx {

namespace {
// The cover lies this far beyond the client's top left corner.
constexpr int kCoverOffset = -30;
// The snapshot shows through the cover at this alpha (of 255).
constexpr int kSnapshotAlpha = 25;
} // namespace

ScreenLock::ScreenLock(QWidget *client, QWidget *body, PasswordCheck check)
    : QObject(client), m_client(client), m_body(body), m_check(std::move(check))
{
    // Made after everything else of the form, so it lies above it all.
    m_pic[2] = placed<qvcontrols::Panel>(client, QStringLiteral("pic_2"), 0, 0, 12000, 9000);
    m_pic[0] = placed<qvcontrols::Panel>(client, QStringLiteral("pic_0"), kCoverOffset, kCoverOffset, 12000, 9000);
    m_pic[0]->setBackColor(0x202020);
    m_pic[1] = placed<qvcontrols::Panel>(client, QStringLiteral("pic_1"), 0, 0, 5400, 2700);
    m_pic[1]->setAccessibleName(QStringLiteral("解除锁定"));
    m_pic[1]->installEventFilter(this);
    auto *prompt = placed<qvcontrols::ShadowLabel>(m_pic[1], QStringLiteral("lbls"), 450, 600, 4500, 300);
    prompt->setCaption(QStringLiteral("请录入登录密码:"));
    m_password = new QLineEdit(m_pic[1]);
    m_password->setObjectName(QStringLiteral("txtPassword"));
    m_password->setEchoMode(QLineEdit::Password);
    m_password->setAccessibleName(QStringLiteral("请录入登录密码:"));
    qvcontrols::TwipsGeometry::moveTwips(m_password, 450, 1000, 4500, 360);
    m_return = placed<qvcontrols::Button>(m_pic[1], QStringLiteral("ImgBtn_3"), 900, 1800, 1500, 420);
    m_return->setCaption(QStringLiteral(" 返回系统"));
    m_return->setIndex(3);
    m_exit = placed<qvcontrols::Button>(m_pic[1], QStringLiteral("ImgBtn_4"), 3000, 1800, 1500, 420);
    m_exit->setCaption(QStringLiteral(" 退出系统"));
    m_exit->setIndex(4);
    for (auto *pic : m_pic)
        pic->hide();
}

bool ScreenLock::isLocked() const
{
    return !m_pic[1]->isHidden();
}

void ScreenLock::lock(QWidget *window)
{
    const int w = pixelsToTwips(m_client->width());
    const int h = pixelsToTwips(m_client->height());
    m_pic[2]->Move(0, 0, w, h);
    m_pic[0]->Move(kCoverOffset, kCoverOffset, w, h);
    const QPixmap shot = qvcontrols::CaptureWindow(window, true, 0, 0, m_client->width(), m_client->height());
    m_pic[2]->setPicture(shot);
    QPixmap cover(m_client->size());
    cover.fill(m_pic[0]->FaceColor());
    if (!shot.isNull()) {
        QPainter p(&cover);
        p.setOpacity(kSnapshotAlpha / 255.0);
        p.drawPixmap(cover.rect(), shot);
    }
    m_pic[0]->setPicture(cover);
    // The form's controls are disabled, so neither Tab nor a click reaches them.
    m_body->setEnabled(false);
    m_pic[2]->show();
    m_pic[0]->show();
    m_pic[0]->raise();
    m_pic[1]->raise();
    m_pic[1]->show();
    m_pic[1]->Move((m_pic[0]->Width() - m_pic[1]->Width()) / 2, (m_pic[0]->Height() - m_pic[1]->Height()) / 2);
    m_password->setFocus();
}

bool ScreenLock::unlock()
{
    if (!isLocked())
        return false;
    if (!m_check || !m_check(m_password->text())) {
        msgBox(QStringLiteral("请录入正确的用户密码! "), Exclamation, QStringLiteral("提示："));
        m_password->setFocus();
        return false;
    }
    m_pic[2]->setPicture(QPixmap());
    m_pic[0]->setPicture(QPixmap());
    m_pic[1]->hide();
    m_pic[0]->hide();
    m_pic[2]->hide();
    m_body->setEnabled(true);
    return true;
}

void ScreenLock::setPanelPicture(const QPixmap &picture)
{
    m_pic[1]->setPicture(picture);
}

bool ScreenLock::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_pic[1])
        return false;
    const auto *mouse = dynamic_cast<QMouseEvent *>(event);
    if (!mouse)
        return false;
    if (event->type() == QEvent::MouseButtonPress && mouse->button() == Qt::LeftButton) {
        m_dragging = true;
        m_dragOrigin = mouse->position().toPoint();
    } else if (event->type() == QEvent::MouseMove && m_dragging) {
        const QPoint delta = mouse->position().toPoint() - m_dragOrigin;
        m_pic[1]->move(m_pic[1]->pos() + delta);
    } else if (event->type() == QEvent::MouseButtonRelease) {
        m_dragging = false;
    }
    return false;
}

} // namespace jx
