#pragma once

#include <QObject>
#include <QPoint>

#include <functional>

class QLineEdit;
class QPixmap;
class QWidget;

namespace qvcontrols {
class Button;
class Panel;
} // namespace qvcontrols

namespace jx {

// The main window's screen lock: a snapshot of the window (pic 2), a dimmed
// cover over it (pic 0) and the unlock panel (pic 1) with the password box
// and the return and exit buttons. While it is shown nothing under it takes
// input; only the right password, or exiting, ends it. The unlock panel can
// be dragged with the left button.
class ScreenLock final : public QObject
{
    Q_OBJECT
public:
    // True when the text is the signed-in user's password.
    using PasswordCheck = std::function<bool(const QString &password)>;

    // Builds its controls over `client`, hidden; `body` is what it disables
    // while shown.
    ScreenLock(QWidget *client, QWidget *body, PasswordCheck check);

    bool isLocked() const;
    // Covers the client area of `window` with its snapshot, dimmed, and
    // centres the unlock panel with the focus in the password box.
    void lock(QWidget *window);
    // Ends the lock when the password box holds the right password; otherwise
    // the operator is told, the lock stays and the box keeps its text. False
    // when it stays locked (also when it was not locked).
    bool unlock();
    // The unlock panel's picture (the theme's login picture).
    void setPanelPicture(const QPixmap &picture);

    qvcontrols::Panel *pic(int index) const { return m_pic[index]; }
    QLineEdit *password() const { return m_password; }
    qvcontrols::Button *returnButton() const { return m_return; }
    qvcontrols::Button *exitButton() const { return m_exit; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *m_client;
    QWidget *m_body;
    PasswordCheck m_check;
    qvcontrols::Panel *m_pic[3] = {};
    QLineEdit *m_password = nullptr;
    qvcontrols::Button *m_return = nullptr;
    qvcontrols::Button *m_exit = nullptr;
    bool m_dragging = false;
    QPoint m_dragOrigin;
};

} // namespace jx
