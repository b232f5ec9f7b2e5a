#pragma once

#include "platform/MessageBox.h"

#include <QDialog>
#include <QList>
#include <QTimer>
#include <QVariant>

#include <optional>

class QLabel;

namespace jx {

class ConsoleSession;

// The splash window shown after sign-in while the main window loads; it
// reads the session's configuration and interface texts. It stays on top, so
// while it lives every message box has it step aside until the box is answered.
class frmSplash final : public QDialog
{
    Q_OBJECT
public:
    struct CaptionSize
    {
        double fontSize;
        int height;
    };

    explicit frmSplash(ConsoleSession &session, QWidget *parent = nullptr);
    ~frmSplash() override;

    // Fills the window; every failing step is skipped.
    void LoadForm();
    QTimer &Timer1() { return m_timer; }

    // Font size and label height for a caption of the given length.
    static CaptionSize CaptionSizeFor(int captionLength);
    // The opacity percent a splashalpha node asks for: none when the node is
    // missing or its value does not fit a byte.
    static std::optional<int> OpacityPercent(const QVariant &splashAlpha);
    // The account the program runs under; "" when none can be told.
    static QString AccountName();

    QLabel *Img() const { return m_img; }
    const QList<QLabel *> &lblProductName_B() const { return m_productNames; }
    QLabel *lblUser() const { return m_user; }
    QLabel *lblRight() const { return m_right; }
    QLabel *lblVersion() const { return m_version; }
    // The opacity applied by LoadForm (100 when none).
    int AppliedOpacity() const { return m_opacity; }

private:
    QString text(const QString &key, const QString &defaultText) const;

    ConsoleSession &m_session;
    QLabel *m_img = nullptr;
    QList<QLabel *> m_productNames;
    QLabel *m_user = nullptr;
    QLabel *m_right = nullptr;
    QLabel *m_version = nullptr;
    QTimer m_timer;
    int m_opacity = 100;
    MessageBoxHandler m_previousBoxHandler;
};

} // namespace jx
