#pragma once

#include "jx_components_export.h"

#include "components/data/ErrorHolder.h"
#include "platform/com/Dispatchable.h"

#include <QDateTime>
#include <QString>

#include <functional>

class AppContext;
class Database;

/// The signed-in operator. Users live in table jx_user with libsodium
/// password hashes; the typed password is kept in memory only. Wrong
/// passwords are counted per user in the database (failcount, lockeduntil):
/// after a few, each further attempt waits longer, and after kLockAfter the
/// user is locked until an administrator unlocks him. Names that name no user
/// are counted alike in jx_signinbrake, so the refusals and waits of a name
/// never tell whether it exists.
class JX_COMPONENTS_EXPORT CurrentUser final : public com::Dispatchable<CurrentUser>
{
public:
    static constexpr const char *kClassIid = "{6A1C2E07-3B5D-4C7E-9F10-2A3B4C5D6E07}";
    static const com::MemberTable<CurrentUser> &members();

    /// Failures allowed before attempts have to wait.
    static constexpr int kFreeFailures = 3;
    /// Failures in a row that lock the user.
    static constexpr int kLockAfter = 10;
    /// Seconds to wait after the given number of failures in a row (0: none).
    static int delayAfter(int failures);

    using Clock = std::function<QDateTime()>;

    CurrentUser() = default;
    explicit CurrentUser(AppContext *context) { Attach(context); }
    ~CurrentUser();

    /// Binds the user to a context (its database, and the context's rights lookups).
    void Attach(AppContext *context);

    QString UserName() const { return m_userName; }
    /// Setting another name signs the current user out.
    void SetUserName(const QString &name);

    /// Checks the password of UserName. False: reason in LastError ("" for a plain refusal).
    bool Login(const QString &password);
    bool IsLoggedIn() const { return m_loggedIn; }
    QString UserCode() const { return m_userCode; }
    bool IsAdministrator() const { return m_admin; }
    /// Role of the user (jx_user.rolecode) as read at sign-in; "" without one.
    QString RoleCode() const { return m_roleCode; }
    /// Password typed at the last successful sign-in; "" when not signed in.
    QString Password(const QString &userName = QString()) const;
    /// Replaces the password after checking the old one.
    bool ChangePassword(const QString &oldPassword, const QString &newPassword);
    /// Sets another user's password (stored as ChangePassword stores it) without
    /// the old one; only a signed-in administrator may. False: reason in LastError.
    bool ResetPassword(const QString &userCode, const QString &newPassword);
    /// Clears another user's failures and lock; only a signed-in administrator
    /// may. False: reason in LastError.
    bool UnlockUser(const QString &userCode);
    /// The time the waits are measured by (the workstation's clock when unset).
    void SetClock(Clock clock) { m_clock = std::move(clock); }
    /// True while signed in and the user is still active in the directory.
    bool Verify();
    /// Records the sign-in time; always true when signed in.
    bool Activate();
    void Logout();
    const ErrorHolder &LastError() const { return m_error; }

    /// Hash for storing a password (libsodium pwhash string).
    static QString hashPassword(const QString &password);
    static bool checkPassword(const QString &hash, const QString &password);
    /// True for a hash of the form and costs hashPassword writes; anything else
    /// is a damaged user record, refused before any hashing work.
    static bool hashIsSound(const QString &hash);

private:
    ::Database *database() const;
    /// The database when an administrator is signed in; otherwise null, with `refusal` as the reason.
    ::Database *administratorsDatabase(const QString &refusal);
    /// Runs an update of one other user's row; false (reason set) when it fails or finds no such user.
    bool updateUser(::Database &db, const QString &sql, const QVariantList &params, const QString &userCode);
    void wipePassword();
    void keepPassword(const QString &password);
    QDateTime now() const { return m_clock ? m_clock() : QDateTime::currentDateTime(); }
    /// True (reason set) when the brake refuses an attempt before the password is looked at.
    bool braked(const QString &userName, int failures, const QString &lockedUntil);
    /// Counts a wrong password for a user (userCode) or, when userCode is
    /// empty, for a name that names none (jx_signinbrake).
    void recordFailure(::Database &db, const QString &userCode, const QString &userName, int failuresBefore);
    /// Refuses a name that names no user as a wrong password would be refused.
    bool refuseUnknown(::Database &db, const QString &userName, const QString &password);

    AppContext *m_context = nullptr;
    QString m_userName, m_userCode, m_roleCode, m_password;
    bool m_loggedIn = false;
    bool m_admin = false;
    ErrorHolder m_error;
    Clock m_clock;
};
