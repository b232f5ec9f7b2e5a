#pragma once

#include <QDialog>

#include <cstdint>
#include <memory>

namespace Ui {
class frmPass;
}

class AppContext;
class CurrentUser;
class QLineEdit;
class QPushButton;

namespace jx {

// The signed-in operator changes his own password. The old password is
// checked against CurrentUser.Password; the change goes only through
// CurrentUser.ChangePassword.
class frmPass final : public QDialog
{
    Q_OBJECT
public:
    frmPass(AppContext &context, CurrentUser &user, QWidget *parent = nullptr);
    ~frmPass() override;

    // Presets the program number and title of the leaving record.
    void Py_Init(int32_t programNumber, const QString &title);

    void LoadForm();
    void OldPassWordChange();
    void OkRoutine();

    QLineEdit *USER() const;
    QLineEdit *Oldpassword() const;
    QLineEdit *hint() const;
    QLineEdit *newpassword() const;
    QLineEdit *newpasswordagain() const;
    QPushButton *CmdOK() const;
    QPushButton *CmdClose() const;

protected:
    void changeEvent(QEvent *event) override;
    // A window shown without an explicit LoadForm loads itself first.
    void showEvent(QShowEvent *event) override;
    void done(int result) override;

private:
    void setNewBoxesEnabled(bool enabled);
    static void paintBox(QLineEdit *box, bool enabled);

    std::unique_ptr<Ui::frmPass> ui;
    AppContext &m_context;
    CurrentUser &m_user;
    int32_t m_programNumber = 0;
    QString m_title;
    QString m_passwordOnRecord;
    bool m_unloaded = false;
    bool m_loaded = false;
};

} // namespace jx
