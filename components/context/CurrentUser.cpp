#include "components/context/CurrentUser.h"

#include "components/context/AppContext.h"
#include "components/context/Sodium.h"
#include "components/data/Database.h"
#include "platform/Numeric.h"

#include <QDateTime>
#include <QRegularExpression>

#include <sodium.h>

namespace {
const QString kTimeFormat = QStringLiteral("yyyy-MM-dd HH:mm:ss");

// Checked for a name nobody has, so that the refusal takes as long as a wrong
// password of a real user and names cannot be found by timing. Made with
// hashPassword's costs from a random password that was thrown away.
const QString kDummyHash =
    QStringLiteral("$argon2id$v=19$m=65536,t=2,p=1$ybyGrZCRIygwdPF/zQTXmw$pCNT1NNGaM6S2676LI7RET+tyOHm7VGEjJ/XZ8tvEeI");

QString lockedMessage(const QString &userName)
{
    return QStringLiteral("用户%1因连续%2次密码错误已被锁定，请与系统管理员联系解锁").arg(userName).arg(CurrentUser::kLockAfter);
}

QString damagedRecord(const QString &userName)
{
    return QStringLiteral("用户%1的记录已损坏（密码摘要无法使用），请与系统管理员联系").arg(userName);
}

// What is stored for a new password: '' for none (the column refuses Null),
// otherwise its hash; null when no hash could be made.
QString storedHash(const QString &password)
{
    return password.isEmpty() ? QStringLiteral("") : CurrentUser::hashPassword(password);
}
} // namespace

CurrentUser::~CurrentUser()
{
    if (m_context && m_context->User() == this)
        m_context->SetUser(nullptr);
    wipePassword();
}

void CurrentUser::wipePassword()
{
    // The text is held in a buffer of its own (never shared, see Login), so
    // the bytes wiped are the ones that held the password.
    if (!m_password.isEmpty())
        sodium_memzero(const_cast<QChar *>(m_password.constData()), static_cast<size_t>(m_password.size()) * sizeof(QChar));
    m_password = QString();
}

void CurrentUser::keepPassword(const QString &password)
{
    wipePassword();
    m_password = QString(password.constData(), password.size()); // a private copy, never shared
}

void CurrentUser::Attach(AppContext *context)
{
    if (m_context && m_context->User() == this)
        m_context->SetUser(nullptr);
    m_context = context;
    if (m_context)
        m_context->SetUser(this);
}

Database *CurrentUser::database() const { return m_context ? m_context->Database() : nullptr; }

void CurrentUser::SetUserName(const QString &name)
{
    if (name != m_userName && m_loggedIn)
        Logout();
    m_userName = name;
}

QString CurrentUser::hashPassword(const QString &password)
{
    if (!jxSodiumReady())
        return {};
    const QByteArray p = password.toUtf8();
    char out[crypto_pwhash_STRBYTES];
    if (crypto_pwhash_str(out, p.constData(), static_cast<unsigned long long>(p.size()),
                          crypto_pwhash_OPSLIMIT_INTERACTIVE, crypto_pwhash_MEMLIMIT_INTERACTIVE)
        != 0)
        return {};
    return QString::fromLatin1(out);
}

bool CurrentUser::hashIsSound(const QString &hash)
{
    // Only what hashPassword writes: Argon2id, version 19, at most its memory
    // and passes, one lane. A row carrying larger costs would hold sign-in for
    // minutes at gigabytes of memory before saying anything.
    static const QRegularExpression form(
        QStringLiteral("^\\$argon2id\\$v=19\\$m=([0-9]{1,10}),t=([0-9]{1,10}),p=([0-9]{1,3})\\$[A-Za-z0-9+/]+\\$[A-Za-z0-9+/]+$"));
    if (hash.size() >= crypto_pwhash_STRBYTES)
        return false;
    const QRegularExpressionMatch m = form.match(hash);
    if (!m.hasMatch())
        return false;
    const qulonglong memoryKiB = m.captured(1).toULongLong();
    const qulonglong passes = m.captured(2).toULongLong();
    const qulonglong lanes = m.captured(3).toULongLong();
    return memoryKiB >= 1 && memoryKiB <= crypto_pwhash_MEMLIMIT_INTERACTIVE / 1024 && passes >= 1
        && passes <= crypto_pwhash_OPSLIMIT_INTERACTIVE && lanes == 1;
}

bool CurrentUser::checkPassword(const QString &hash, const QString &password)
{
    if (hash.isEmpty())
        return password.isEmpty(); // a user without password
    if (!jxSodiumReady() || !hashIsSound(hash))
        return false;
    const QByteArray h = hash.toLatin1();
    const QByteArray p = password.toUtf8();
    return crypto_pwhash_str_verify(h.constData(), p.constData(), static_cast<unsigned long long>(p.size())) == 0;
}

bool CurrentUser::Login(const QString &password)
{
    m_error.clear();
    m_loggedIn = false;
    m_userCode.clear();
    m_roleCode.clear();
    wipePassword();
    m_admin = false;
    Database *db = database();
    if (!db || !db->IsOpen()) {
        m_error.setDescription(QStringLiteral("数据库没有打开，无法登录"));
        return false;
    }
    const QString name = jx::trimBlanks(m_userName);
    if (name.isEmpty())
        return false;
    const QueryResult r = db->QueryParams(
        QStringLiteral("select usercode,pwhash,isadmin,active,rolecode,failcount,lockeduntil from jx_user where username=?"),
        {name});
    if (!r.ok()) {
        m_error.setDescription(db->LastError().Description());
        db->ResetError();
        return false;
    }
    Recordset rs = r.Recordset();
    if (rs.Eof())
        return refuseUnknown(*db, name, password);
    if (rs.Fields(QStringLiteral("active")).toInt() != 1) {
        m_error.setDescription(QStringLiteral("用户%1已被停用").arg(name));
        return false;
    }
    const QString hash = rs.Fields(QStringLiteral("pwhash")).toString();
    if (!hash.isEmpty() && !hashIsSound(hash)) {
        m_error.setDescription(damagedRecord(name));
        return false;
    }
    const QString code = rs.Fields(QStringLiteral("usercode")).toString();
    const int failures = rs.Fields(QStringLiteral("failcount")).toInt();
    const QString lockedUntil = rs.Fields(QStringLiteral("lockeduntil")).toString();
    if (braked(name, failures, lockedUntil))
        return false;
    if (!checkPassword(hash, password)) {
        recordFailure(*db, code, name, failures);
        return false;
    }
    if (failures != 0 || !lockedUntil.isEmpty()) {
        db->ExecuteParams(QStringLiteral("update jx_user set failcount=0, lockeduntil='' where usercode=?"), {code});
        db->ResetError(); // the sign-in stands; the count is cleared at the next one
    }
    m_userCode = code;
    m_admin = rs.Fields(QStringLiteral("isadmin")).toInt() != 0;
    m_roleCode = rs.Fields(QStringLiteral("rolecode")).toString();
    keepPassword(password);
    m_loggedIn = true;
    return true;
}

bool CurrentUser::braked(const QString &userName, int failures, const QString &lockedUntil)
{
    if (failures >= kLockAfter) {
        m_error.setDescription(lockedMessage(userName));
        return true;
    }
    // Refused without looking at the password: a guess made while waiting
    // tells nothing and costs nothing, and the window is never held up.
    const QDateTime until = QDateTime::fromString(lockedUntil, kTimeFormat);
    const qint64 waitMs = until.isValid() ? now().msecsTo(until) : 0;
    if (waitMs > 0) {
        m_error.setDescription(QStringLiteral("密码错误次数过多，请 %1 秒后再试").arg((waitMs + 999) / 1000));
        return true;
    }
    return false;
}

bool CurrentUser::refuseUnknown(::Database &db, const QString &userName, const QString &password)
{
    int failures = 0;
    QString lockedUntil;
    const QueryResult r = db.QueryParams(QStringLiteral("select failcount,lockeduntil from jx_signinbrake where username=?"), {userName});
    if (r.ok()) {
        Recordset rs = r.Recordset();
        if (!rs.Eof()) {
            failures = rs.Fields(QStringLiteral("failcount")).toInt();
            lockedUntil = rs.Fields(QStringLiteral("lockeduntil")).toString();
        }
    } else {
        db.ResetError(); // without the table the name is refused unbraked, as before it existed
    }
    if (braked(userName, failures, lockedUntil))
        return false;
    checkPassword(kDummyHash, password); // the same work as for a known name
    recordFailure(db, QString(), userName, failures);
    return false;
}

int CurrentUser::delayAfter(int failures)
{
    if (failures < kFreeFailures || failures >= kLockAfter)
        return 0;
    return 5 << (failures - kFreeFailures); // 5, 10, 20, ... 320 seconds
}

void CurrentUser::recordFailure(::Database &db, const QString &userCode, const QString &userName, int failuresBefore)
{
    const int failures = failuresBefore + 1;
    const int delay = delayAfter(failures);
    // '' rather than null for none: the column refuses Null.
    const QString until = delay > 0 ? now().addSecs(delay).toString(kTimeFormat) : QStringLiteral("");
    // Counted in the statement itself, so attempts from several workstations at once all count.
    bool counted = false;
    if (!userCode.isEmpty()) {
        counted = db.ExecuteParams(QStringLiteral("update jx_user set failcount=failcount+1, lockeduntil=? where usercode=?"),
                                   {until, userCode});
    } else {
        const int changed = db.ExecuteCount(
            QStringLiteral("update jx_signinbrake set failcount=failcount+1, lockeduntil=? where username=?"), {until, userName});
        // The first failure of the name makes its row; a row made meanwhile by another workstation is counted into.
        counted = changed > 0
            || (changed == 0
                && (db.ExecuteParams(QStringLiteral("insert into jx_signinbrake (username, failcount, lockeduntil) values (?, 1, ?)"),
                                     {userName, until})
                    || db.ExecuteCount(QStringLiteral("update jx_signinbrake set failcount=failcount+1, lockeduntil=? where username=?"),
                                       {until, userName})
                        > 0));
    }
    db.ResetError(); // a lost race's refused insert, or a count that failed: a plain refusal still
    if (!counted)
        return;
    if (failures >= kLockAfter)
        m_error.setDescription(lockedMessage(userName));
    else if (delay > 0)
        m_error.setDescription(QStringLiteral("无效的密码或者用户名，请 %1 秒后再试").arg(delay));
}

::Database *CurrentUser::administratorsDatabase(const QString &refusal)
{
    m_error.clear();
    Database *db = database();
    if (!m_loggedIn || !m_admin || !db || !db->IsOpen()) {
        m_error.setDescription(refusal);
        return nullptr;
    }
    return db;
}

bool CurrentUser::updateUser(::Database &db, const QString &sql, const QVariantList &params, const QString &userCode)
{
    const int changed = db.ExecuteCount(sql, params);
    if (changed < 0) {
        m_error.setDescription(db.LastError().Description());
        db.ResetError();
        return false;
    }
    if (changed == 0) {
        m_error.setDescription(QStringLiteral("找不到用户%1").arg(userCode));
        return false;
    }
    return true;
}

bool CurrentUser::UnlockUser(const QString &userCode)
{
    Database *db = administratorsDatabase(QStringLiteral("只有系统管理员可以解锁用户"));
    return db && updateUser(*db, QStringLiteral("update jx_user set failcount=0, lockeduntil='' where usercode=?"), {userCode}, userCode);
}

QString CurrentUser::Password(const QString &) const
{
    // A copy, so that wiping ours never leaves the caller's text, nor theirs ours.
    return m_loggedIn ? QString(m_password.constData(), m_password.size()) : QString();
}

bool CurrentUser::ChangePassword(const QString &oldPassword, const QString &newPassword)
{
    m_error.clear();
    Database *db = database();
    if (!m_loggedIn || !db || !db->IsOpen()) {
        m_error.setDescription(QStringLiteral("用户没有登录"));
        return false;
    }
    const QueryResult r = db->QueryParams(QStringLiteral("select pwhash from jx_user where usercode=?"), {m_userCode});
    if (!r.ok() || r.Recordset().Eof()) {
        m_error.setDescription(QStringLiteral("找不到用户%1").arg(m_userName));
        db->ResetError();
        return false;
    }
    const QString stored = r.Value().toString();
    if (!stored.isEmpty() && !hashIsSound(stored)) {
        m_error.setDescription(damagedRecord(m_userName));
        return false;
    }
    if (!checkPassword(stored, oldPassword)) {
        m_error.setDescription(QStringLiteral("原密码不正确"));
        return false;
    }
    const QString hash = storedHash(newPassword);
    if (hash.isNull()) {
        m_error.setDescription(QStringLiteral("无法生成密码摘要"));
        return false;
    }
    if (!db->ExecuteParams(QStringLiteral("update jx_user set pwhash=? where usercode=?"), {hash, m_userCode})) {
        m_error.setDescription(db->LastError().Description());
        db->ResetError();
        return false;
    }
    keepPassword(newPassword);
    return true;
}

bool CurrentUser::ResetPassword(const QString &userCode, const QString &newPassword)
{
    Database *db = administratorsDatabase(QStringLiteral("只有系统管理员可以重置密码"));
    if (!db)
        return false;
    const QString hash = storedHash(newPassword);
    if (hash.isNull()) {
        m_error.setDescription(QStringLiteral("无法生成密码摘要"));
        return false;
    }
    if (!updateUser(*db, QStringLiteral("update jx_user set pwhash=? where usercode=?"), {hash, userCode}, userCode))
        return false;
    if (userCode == m_userCode)
        keepPassword(newPassword); // his own: what Password hands on follows the store
    return true;
}

bool CurrentUser::Verify()
{
    m_error.clear();
    Database *db = database();
    if (!m_loggedIn) {
        m_error.setDescription(QStringLiteral("用户没有登录"));
        return false;
    }
    if (!db || !db->IsOpen()) {
        m_error.setDescription(QStringLiteral("数据库没有打开"));
        return false;
    }
    const QueryResult r = db->QueryParams(QStringLiteral("select active from jx_user where usercode=?"), {m_userCode});
    if (!r.ok() || r.Value().toInt() != 1) {
        m_error.setDescription(QStringLiteral("用户%1已被停用或删除").arg(m_userName));
        db->ResetError();
        return false;
    }
    return true;
}

bool CurrentUser::Activate()
{
    Database *db = database();
    if (!m_loggedIn || !db)
        return false;
    db->ExecuteParams(QStringLiteral("update jx_user set lastlogin=? where usercode=?"),
                      {now().toString(kTimeFormat), m_userCode});
    db->ResetError();
    return true;
}

void CurrentUser::Logout()
{
    m_loggedIn = false;
    m_admin = false;
    m_userCode.clear();
    m_roleCode.clear();
    wipePassword();
}

const com::MemberTable<CurrentUser> &CurrentUser::members()
{
    using com::DispArgs;
    using com::Variant;
    static const com::MemberTable<CurrentUser> table = com::MemberTable<CurrentUser>()
        .add(
            QStringLiteral("UserName"), [](CurrentUser &self, const DispArgs &) { return Variant::fromString(self.UserName()); },
            [](CurrentUser &self, const DispArgs &, const VARIANT &v) { self.SetUserName(com::toQVariant(v).toString()); })
        .add(QStringLiteral("Login"), [](CurrentUser &self, const DispArgs &a) { return Variant::fromBool(self.Login(com::argText(a, 0))); })
        .add(QStringLiteral("IsLoggedIn"), [](CurrentUser &self, const DispArgs &) { return Variant::fromBool(self.IsLoggedIn()); })
        .add(QStringLiteral("UserCode"), [](CurrentUser &self, const DispArgs &) { return Variant::fromString(self.UserCode()); })
        .add(QStringLiteral("IsAdministrator"), [](CurrentUser &self, const DispArgs &) { return Variant::fromBool(self.IsAdministrator()); })
        .add(QStringLiteral("RoleCode"), [](CurrentUser &self, const DispArgs &) { return Variant::fromString(self.RoleCode()); })
        .add(QStringLiteral("Password"), [](CurrentUser &self, const DispArgs &a) { return Variant::fromString(self.Password(com::argText(a, 0))); })
        .add(QStringLiteral("ChangePassword"), [](CurrentUser &self, const DispArgs &a) {
            com::requireArgs(a, 2);
            return Variant::fromBool(self.ChangePassword(com::argText(a, 0), com::argText(a, 1)));
        })
        .add(QStringLiteral("ResetPassword"), [](CurrentUser &self, const DispArgs &a) {
            com::requireArgs(a, 2);
            return Variant::fromBool(self.ResetPassword(com::argText(a, 0), com::argText(a, 1)));
        })
        .add(QStringLiteral("UnlockUser"), [](CurrentUser &self, const DispArgs &a) {
            com::requireArgs(a, 1);
            return Variant::fromBool(self.UnlockUser(com::argText(a, 0)));
        })
        .add(QStringLiteral("Verify"), [](CurrentUser &self, const DispArgs &) { return Variant::fromBool(self.Verify()); })
        .add(QStringLiteral("Activate"), [](CurrentUser &self, const DispArgs &) { return Variant::fromBool(self.Activate()); })
        .add(QStringLiteral("Logout"), [](CurrentUser &self, const DispArgs &) {
            self.Logout();
            return Variant();
        })
        .add(QStringLiteral("LastError"), [](CurrentUser &self, const DispArgs &) { return com::faceOf(self.LastError()); });
    return table;
}
