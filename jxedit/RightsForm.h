#pragma once

#include "jxedit/DataLink.h"
#include "jxedit/Right.h"
#include "platform/com/Result.h"

#include <QWidget>

#include <memory>

namespace Ui {
class RightsForm;
}

class QLineEdit;

namespace jxedit {

/// The administrator's screen for users, roles and rights on programs.
/// Users (jx_user) are added, disabled or enabled, given a role and a new
/// password; roles (jx_role) are added, renamed and deleted; a role's or one
/// user's rights (jx_roleright, jx_right) are edited as a grid of programs by
/// right bits and stored together in one transaction.
///
/// Passwords are set through the signed-in user's ResetPassword, so the hash
/// is made by the one component that checks it.
class RightsForm final : public QWidget
{
    Q_OBJECT
public:
    RightsForm(DataLink link, IDispatch *context, QWidget *parent = nullptr);
    ~RightsForm() override;

    /// Reads users, roles and programs; refused unless the signed-in user is
    /// an administrator.
    jx::Result<> load();
    /// Rights edited in the grid and not stored yet.
    bool isDirty() const;
    /// Stores the grid's changed rows; on failure nothing of them is stored
    /// and the grid keeps the edits.
    jx::Result<> save();
    /// Lets go of the database and the context: the control that hosts the
    /// screen is going, while the widget may live on until the event loop deletes it.
    void detach();

signals:
    /// One audit line for every change made.
    void operation(const QString &text);
    /// A status line.
    void message(const QString &text);

private:
    struct User;
    struct Role;
    struct Program;

    void prepareControls();
    bool isAdministrator() const;
    QString signedInCode() const;
    jx::Result<> readUsers();
    jx::Result<> readRoles();
    jx::Result<> readPrograms();
    void showUsers();
    void userSelected();
    void roleSelected();
    void showRoles();
    void fillRoleChoices();
    void fillSubjects();
    jx::Result<> loadRights();
    /// Reads the shown subject's rights again, a failure said in a box.
    void reloadRights();
    void showRights();

    const User *selectedUser() const;
    const Role *selectedRole() const;
    QString roleName(const QString &code) const;
    QString subjectText() const;

    void addUser();
    void setUserActive(bool active);
    void resetPassword();
    void unlockUser();
    /// Calls an administrator's member of the signed-in user; a failure carries its reason.
    jx::Result<> askSignedInUser(const QString &member, const QStringList &args) const;
    void changeRole();
    void addRole();
    void renameRole();
    void deleteRole();
    /// Shows another role's or user's rights, asking first about unsaved edits.
    void switchSubject(bool isRole, const QString &code);
    void saveRights();
    void revertRights();

    void refreshUsersAndRoles();
    bool stillAdministrator();
    void refuse(const QString &text);
    void done(const QString &audit, const QString &status);
    void setFieldError(QLineEdit *field, const QString &text);
    /// A refusal at a field; `first` keeps the first field refused, for the focus.
    void refuseField(QLineEdit *field, const QString &text, QLineEdit *&first);
    void clearFieldErrors();
    int gridMask(int row) const;

    std::unique_ptr<Ui::RightsForm> ui;
    DataLink m_link;
    com::ComPtr<IDispatch> m_context;
    std::vector<User> m_users;
    std::vector<Role> m_roles;
    std::vector<Program> m_programs;
    // The subject shown in the grid: a role code or a user code.
    bool m_subjectIsRole = true;
    QString m_subject;
    bool m_filling = false;
};

} // namespace jxedit
