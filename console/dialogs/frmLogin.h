#pragma once

#include <QDialog>
#include <QStringList>

#include <memory>

class StringCipher;

namespace Ui {
class frmLogin;
}

class QComboBox;
class QLineEdit;
class QSpinBox;
class QCheckBox;
class QPushButton;

namespace jx {

class ConsoleSession;

// The modal sign-in window: user name, password and operation date. It signs
// in the session's current user and reads the session's configuration and
// application context.
class frmLogin final : public QDialog
{
    Q_OBJECT
public:
    explicit frmLogin(ConsoleSession &session, QWidget *parent = nullptr);
    ~frmLogin() override;

    // Builds the window from the configuration, stored settings and options.
    void LoadForm();
    // The OK and Cancel routines (bound to the buttons; Esc runs Cancel).
    void OkRoutine();
    void CancelRoutine();

    // The recent-user list after a sign-in as name: name first, then the
    // others in their order (exact, case-sensitive match), at most n entries.
    static QStringList RotateRecentUsers(const QStringList &stored, const QString &name, int n);
    // Stored recent users 1..n, up to the first empty one.
    static QStringList ReadRecentUsers(const QString &app, int n);

    QComboBox *CobUser() const;
    QLineEdit *Password() const;
    QSpinBox *Spinner(int index) const;
    QCheckBox *chkRemberme() const;
    QPushButton *XPCmdOk() const;
    QPushButton *XPCmdCancel() const;
    double UserStyle() const { return m_userStyle; }
    int ComboStyle() const { return m_comboStyle; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void wrapSpinner(QSpinBox *spinner, int low, int high, int value);
    int recentCount() const;
    QString caption() const;

    std::unique_ptr<Ui::frmLogin> ui;
    ConsoleSession &m_session;
    std::unique_ptr<StringCipher> m_cipher;
    // The numeric option as read; only exactly 1 or 2 pick those list styles.
    double m_userStyle = 0;
    int m_comboStyle = 0;
};

} // namespace jx
