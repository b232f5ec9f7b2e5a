#include "TestDatabase.h"

#include "components/context/AppContext.h"
#include "components/context/CurrentUser.h"
#include "components/context/StringCipher.h"
#include "components/context/ThemeManager.h"
#include "components/context/UserDirectory.h"
#include "platform/com/LateBound.h"

#include <QDir>
#include <QElapsedTimer>
#include <QRegularExpression>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QWidget>

#include <gtest/gtest.h>

namespace {
// Demo database with the demo users' passwords set (hashing is slow, so only two).
class ContextFixture : public ::testing::TestWithParam<const char *>
{
protected:
    void SetUp() override
    {
        if (QString::fromLatin1(GetParam()) == u"postgres" && !TestDatabase::postgresAvailable())
            GTEST_SKIP() << "JX_TEST_PG not set";
        QString why;
        ASSERT_TRUE(t.open(QString::fromLatin1(GetParam()), why)) << why.toStdString();
        ASSERT_TRUE(t.db->ExecuteParams("update jx_user set pwhash=? where username='admin'", {CurrentUser::hashPassword("admin123")}));
        ASSERT_TRUE(t.db->ExecuteParams("update jx_user set pwhash=? where username='clerk'", {CurrentUser::hashPassword("clerk123")}));
        ASSERT_TRUE(context.Attach(t.db.get(), 0)) << context.LastError().Description().toStdString();
        user.Attach(&context);
    }
    TestDatabase t;
    AppContext context;
    CurrentUser user;
};
} // namespace

TEST(AppContextAttach, RefusesMissingOrClosedDatabase)
{
    AppContext context;
    EXPECT_FALSE(context.Attach(nullptr, 0));
    EXPECT_FALSE(context.LastError().Description().isEmpty());
    Database closed;
    EXPECT_FALSE(context.Attach(&closed, 0));
    EXPECT_FALSE(context.LastError().Description().isEmpty());
    EXPECT_EQ(context.Database(), nullptr);
    // Lookups without a database give the defaults instead of failing.
    EXPECT_EQ(context.GetText("main", "/login/cmdok", "确定(&D)"), QStringLiteral("确定(&D)"));
    EXPECT_EQ(context.Option(12, "menubm").Value(), "");
    EXPECT_FALSE(context.Rights(1001).Allowed(1));
}

TEST(AppContextAttach, RefusesDatabaseWithoutSystemTables)
{
    QTemporaryDir dir;
    QFile(dir.filePath("empty.db")).open(QIODevice::WriteOnly);
    Database db;
    ASSERT_TRUE(db.OpenDirect("sqlite", dir.filePath("empty.db")));
    AppContext context;
    EXPECT_FALSE(context.Attach(&db, 0));
    EXPECT_TRUE(context.LastError().Description().contains("jx_option"));
}

TEST_P(ContextFixture, TextsOptionsAndStates)
{
    EXPECT_EQ(context.Database(), t.db.get());
    EXPECT_EQ(context.GetText("main", "/login/cmdok", "确定(&D)"), QStringLiteral("登录(&D)"));
    EXPECT_EQ(context.GetText("main", "/no/such/key", "默认"), QStringLiteral("默认"));
    EXPECT_EQ(context.Option(12, "menubm").Value(), "22222");
    EXPECT_EQ(context.Option(12, "MENUBM").Value(), "22222");
    EXPECT_EQ(context.Option(38, "loginusercount").Value(), "5");
    EXPECT_EQ(context.Option(99, "menubm").Value(), "");
    EXPECT_EQ(context.OptionByNumber(12, 1).Value(), "2026-12");
    EXPECT_EQ(context.SystemCode(12), "XT");
    EXPECT_EQ(context.SystemState("JY", 0).State(), 202611);
    EXPECT_EQ(context.SystemState("none", 0).State(), 0);
    // A code with a quote is passed as a value, not spliced into the statement.
    EXPECT_EQ(context.GetText("main", "x' or '1'='1", "safe"), "safe");
}

TEST_P(ContextFixture, LoginChecksPasswordAndKeepsItInMemoryOnly)
{
    user.SetUserName("admin");
    EXPECT_FALSE(user.Login("wrong"));
    EXPECT_FALSE(user.IsLoggedIn());
    EXPECT_EQ(user.LastError().Description(), ""); // a plain refusal: the caller words it
    EXPECT_EQ(user.Password(""), "");

    EXPECT_TRUE(user.Login("admin123"));
    EXPECT_TRUE(user.IsLoggedIn());
    EXPECT_EQ(user.UserCode(), "0001");
    EXPECT_EQ(user.Password(""), "admin123");
    EXPECT_TRUE(user.Activate());
    EXPECT_FALSE(t.db->Query("select lastlogin from jx_user where usercode='0001'", 1).Value().toString().isEmpty());
    // The stored value is a hash, never the password.
    const QString stored = t.db->Query("select pwhash from jx_user where usercode='0001'", 1).Value().toString();
    EXPECT_TRUE(stored.startsWith("$argon2"));
    EXPECT_FALSE(stored.contains("admin123"));

    user.Logout();
    EXPECT_FALSE(user.IsLoggedIn());
    EXPECT_EQ(user.Password(""), "");

    user.SetUserName("nobody");
    EXPECT_FALSE(user.Login("x"));
    user.SetUserName("former");
    EXPECT_FALSE(user.Login(""));
    EXPECT_FALSE(user.LastError().Description().isEmpty());
}

TEST_P(ContextFixture, RightsDifferBetweenAdministratorAndClerk)
{
    user.SetUserName("clerk");
    ASSERT_TRUE(user.Login("clerk123"));
    EXPECT_TRUE(context.Rights(1001).Allowed(1));
    EXPECT_TRUE(context.Rights(5002).Allowed(1));
    EXPECT_FALSE(context.Rights(3001).Allowed(1));
    EXPECT_FALSE(context.Rights(100027).Allowed(1));
    EXPECT_TRUE(context.Rights(1001).Allowed(2));  // his role, agent, registers listings
    EXPECT_FALSE(context.Rights(1001).Allowed(8)); // but deletes none

    user.SetUserName("admin"); // another name signs the clerk out
    EXPECT_FALSE(user.IsLoggedIn());
    EXPECT_FALSE(context.Rights(1001).Allowed(1));
    ASSERT_TRUE(user.Login("admin123"));
    EXPECT_TRUE(context.Rights(3001).Allowed(1));
    EXPECT_TRUE(context.Rights(100027).Allowed(1));
}

// A user's mask on a program is his own OR his role's; a role he is not in
// gives nothing, a role taken away counts from the next lookup.
TEST_P(ContextFixture, RightsCombineTheUsersOwnWithHisRoles)
{
    using Bit = ProgramRights::Bit;
    ASSERT_TRUE(t.db->Execute("insert into jx_role (rolecode, rolename) values ('tagent', '测试经纪人')"));
    ASSERT_TRUE(t.db->Execute("insert into jx_role (rolecode, rolename) values ('tboss', '测试经理')"));
    ASSERT_TRUE(t.db->ExecuteParams("insert into jx_roleright (rolecode, progid, rightmask) values ('tagent', 7001, ?)",
                                    {int(Bit::Add | Bit::Change)}));
    ASSERT_TRUE(t.db->ExecuteParams("insert into jx_roleright (rolecode, progid, rightmask) values ('tagent', 7002, ?)",
                                    {int(Bit::Run | Bit::Export)}));
    ASSERT_TRUE(t.db->Execute("insert into jx_roleright (rolecode, progid, rightmask) values ('tboss', 7001, 255)"));
    ASSERT_TRUE(t.db->Execute("insert into jx_right (usercode, progid, rightmask) values ('0002', 7001, 1)"));
    ASSERT_TRUE(t.db->Execute("update jx_user set rolecode='tagent' where usercode='0002'"));

    user.SetUserName("clerk");
    ASSERT_TRUE(user.Login("clerk123"));
    EXPECT_EQ(user.RoleCode(), "tagent");
    EXPECT_EQ(context.Rights(7001).Mask(), Bit::Run | Bit::Add | Bit::Change); // both
    EXPECT_TRUE(context.Rights(7001).Allowed(Bit::Run | Bit::Change));
    EXPECT_FALSE(context.Rights(7001).Allowed(Bit::Change | Bit::Delete)); // the other role's bits stay there
    EXPECT_EQ(context.Rights(7002).Mask(), Bit::Run | Bit::Export);          // the role's alone
    EXPECT_EQ(context.Rights(1001).Mask(), Bit::Run);                        // his own alone
    EXPECT_EQ(context.Rights(7999).Mask(), 0);
    EXPECT_TRUE(context.LastError().Description().isEmpty()) << context.LastError().Description().toStdString();

    ASSERT_TRUE(t.db->Execute("update jx_user set rolecode='' where usercode='0002'"));
    EXPECT_EQ(context.Rights(7001).Mask(), Bit::Run);
    EXPECT_EQ(context.Rights(7002).Mask(), 0);

    user.Logout();
    EXPECT_EQ(context.Rights(1001).Mask(), 0);

    user.SetUserName("admin");
    ASSERT_TRUE(user.Login("admin123"));
    EXPECT_TRUE(context.Rights(7999).Allowed(Bit::SeeAllPhones | Bit::OthersRecords | Bit::Delete));
}

// Another library sees the signed-in user through the context by name.
TEST_P(ContextFixture, SignedInUserIsReachedLateBoundThroughTheContext)
{
    AppContext lonely;
    com::Variant none = com::get(lonely.toVariant().pdispVal, "User");
    EXPECT_EQ(none.vt, VT_DISPATCH);
    EXPECT_EQ(none.pdispVal, nullptr);

    ASSERT_TRUE(t.db->Execute("update jx_user set rolecode='agent' where usercode='0001'"));
    user.SetUserName("admin");
    ASSERT_TRUE(user.Login("admin123"));
    const com::Variant face = context.toVariant();
    EXPECT_EQ(com::toQVariant(com::getPath(face.pdispVal, "User.UserName")).toString(), "admin");
    EXPECT_TRUE(com::toQVariant(com::getPath(face.pdispVal, "User.IsAdministrator")).toBool());
    EXPECT_EQ(com::toQVariant(com::getPath(face.pdispVal, "User.RoleCode")).toString(), "agent");
    user.Logout();
    EXPECT_FALSE(com::toQVariant(com::getPath(face.pdispVal, "User.IsAdministrator")).toBool());
}

// An administrator sets a user's password without knowing the old one; nobody
// else may, and a code that names nobody changes nothing.
TEST_P(ContextFixture, ResetPasswordOnlyByAnAdministrator)
{
    const auto storedHashOf = [&](const char *code) {
        return t.db->QueryParams("select pwhash from jx_user where usercode=?", {QString::fromLatin1(code)}).Value().toString();
    };
    const QString adminHash = storedHashOf("0001");
    EXPECT_FALSE(user.ResetPassword("0002", "x")); // nobody signed in
    user.SetUserName("clerk");
    ASSERT_TRUE(user.Login("clerk123"));
    EXPECT_FALSE(user.ResetPassword("0001", "taken-over"));
    EXPECT_EQ(user.LastError().Description(), QStringLiteral("只有系统管理员可以重置密码"));
    EXPECT_EQ(storedHashOf("0001"), adminHash);

    user.SetUserName("admin");
    ASSERT_TRUE(user.Login("admin123"));
    const com::Variant face = user.toVariant();
    EXPECT_TRUE(com::toQVariant(com::call(face.pdispVal, "ResetPassword", {com::Variant::fromString("0002"),
                                                                          com::Variant::fromString("新密码1")}))
                    .toBool());
    EXPECT_FALSE(com::toQVariant(com::call(face.pdispVal, "ResetPassword", {com::Variant::fromString("0404"),
                                                                           com::Variant::fromString("x")}))
                     .toBool());
    EXPECT_EQ(com::toQVariant(com::getPath(face.pdispVal, "LastError.Description")).toString(), QStringLiteral("找不到用户0404"));
    EXPECT_EQ(t.db->Query("select count(*) from jx_user where usercode='0404'").Value().toInt(), 0);

    const QString clerkHash = storedHashOf("0002");
    EXPECT_TRUE(CurrentUser::hashIsSound(clerkHash)) << clerkHash.toStdString();
    EXPECT_FALSE(clerkHash.contains("新密码1"));
    user.SetUserName("clerk");
    EXPECT_FALSE(user.Login("clerk123"));
    EXPECT_TRUE(user.Login("新密码1"));

    // An empty password stores the empty hash: the user signs in with nothing.
    user.SetUserName("admin");
    ASSERT_TRUE(user.Login("admin123"));
    ASSERT_TRUE(user.ResetPassword("0002", ""));
    EXPECT_EQ(storedHashOf("0002"), "");
    user.SetUserName("clerk");
    EXPECT_TRUE(user.Login(""));
}

// Wrong passwords in a row make further attempts wait longer; the count is in
// the database, so another session sees the same wait; attempts made while
// waiting are refused unread and uncounted; a sign-in clears the count.
TEST_P(ContextFixture, RepeatedWrongPasswordsMakeTheNextAttemptsWait)
{
    const auto failures = [&] {
        return t.db->Query("select failcount from jx_user where usercode='0002'", 1).Value().toInt();
    };
    QDateTime clock = QDateTime(QDate(2026, 3, 1), QTime(9, 0));
    user.SetClock([&clock] { return clock; });
    user.SetUserName("clerk");
    for (int i = 1; i < CurrentUser::kFreeFailures; ++i) {
        EXPECT_FALSE(user.Login("wrong"));
        EXPECT_EQ(user.LastError().Description(), "");
    }
    EXPECT_FALSE(user.Login("wrong"));
    EXPECT_EQ(user.LastError().Description(), QStringLiteral("无效的密码或者用户名，请 5 秒后再试"));
    clock = clock.addSecs(2);
    EXPECT_FALSE(user.Login("clerk123")); // the right password too
    EXPECT_EQ(user.LastError().Description(), QStringLiteral("密码错误次数过多，请 3 秒后再试"));
    EXPECT_FALSE(user.IsLoggedIn());
    EXPECT_EQ(failures(), CurrentUser::kFreeFailures);

    AppContext elsewhere;
    ASSERT_TRUE(elsewhere.Attach(t.db.get(), 0));
    CurrentUser another(&elsewhere);
    another.SetClock([&clock] { return clock; });
    another.SetUserName("clerk");
    EXPECT_FALSE(another.Login("clerk123"));
    EXPECT_EQ(another.LastError().Description(), QStringLiteral("密码错误次数过多，请 3 秒后再试"));

    clock = clock.addSecs(3);
    EXPECT_FALSE(user.Login("wrong"));
    EXPECT_EQ(user.LastError().Description(), QStringLiteral("无效的密码或者用户名，请 10 秒后再试"));
    clock = clock.addSecs(10);
    EXPECT_TRUE(user.Login("clerk123"));
    EXPECT_EQ(failures(), 0);
    EXPECT_EQ(t.db->Query("select lockeduntil from jx_user where usercode='0002'", 1).Value().toString(), "");
    // The count starts again from nothing.
    EXPECT_FALSE(user.Login("wrong"));
    EXPECT_EQ(user.LastError().Description(), "");

    EXPECT_EQ(CurrentUser::delayAfter(CurrentUser::kFreeFailures - 1), 0);
    EXPECT_LT(CurrentUser::delayAfter(CurrentUser::kLockAfter - 2), CurrentUser::delayAfter(CurrentUser::kLockAfter - 1));
}

// At the last failure the user is locked whatever the time and the password,
// until an administrator unlocks him (late-bound, as scripts do); an unknown
// name is a plain refusal that writes no user row.
TEST_P(ContextFixture, LockAfterTooManyFailuresUntilAnAdministratorUnlocks)
{
    QDateTime clock = QDateTime(QDate(2026, 3, 1), QTime(9, 0));
    user.SetClock([&clock] { return clock; });
    ASSERT_TRUE(t.db->ExecuteParams("update jx_user set failcount=? where usercode='0002'", {CurrentUser::kLockAfter - 1}));
    user.SetUserName("clerk");
    EXPECT_FALSE(user.Login("wrong"));
    const QString locked = QStringLiteral("用户clerk因连续%1次密码错误已被锁定，请与系统管理员联系解锁").arg(CurrentUser::kLockAfter);
    EXPECT_EQ(user.LastError().Description(), locked);
    clock = clock.addDays(30);
    EXPECT_FALSE(user.Login("clerk123"));
    EXPECT_EQ(user.LastError().Description(), locked);
    EXPECT_FALSE(user.UnlockUser("0002"));
    EXPECT_EQ(user.LastError().Description(), QStringLiteral("只有系统管理员可以解锁用户"));

    user.SetUserName("nobody");
    EXPECT_FALSE(user.Login("wrong"));
    EXPECT_EQ(user.LastError().Description(), "");
    EXPECT_EQ(t.db->Query("select count(*) from jx_user where failcount<>0", 1).Value().toInt(), 1);

    user.SetUserName("admin");
    ASSERT_TRUE(user.Login("admin123"));
    const com::Variant face = user.toVariant();
    EXPECT_FALSE(com::toQVariant(com::call(face.pdispVal, "UnlockUser", {com::Variant::fromString("0404")})).toBool());
    EXPECT_EQ(com::toQVariant(com::getPath(face.pdispVal, "LastError.Description")).toString(), QStringLiteral("找不到用户0404"));
    EXPECT_TRUE(com::toQVariant(com::call(face.pdispVal, "UnlockUser", {com::Variant::fromString("0002")})).toBool());
    user.SetUserName("clerk");
    EXPECT_TRUE(user.Login("clerk123"));
}

// A name that names nobody is braked as a known one is: after the same
// failures the same refusal and the same seconds to wait, up to the lock, and
// no user row is made for it.
TEST_P(ContextFixture, UnknownNamesWaitAsLongAsKnownOnes)
{
    QDateTime clock = QDateTime(QDate(2026, 3, 1), QTime(9, 0));
    CurrentUser known(&context), unknown(&context);
    known.SetClock([&clock] { return clock; });
    unknown.SetClock([&clock] { return clock; });
    known.SetUserName("clerk");
    unknown.SetUserName("nobody");
    const int users = t.db->Query("select count(*) from jx_user", 1).Value().toInt();
    for (int failure = 1; failure <= CurrentUser::kLockAfter; ++failure) {
        SCOPED_TRACE(failure);
        EXPECT_FALSE(known.Login("wrong"));
        EXPECT_FALSE(unknown.Login("wrong"));
        EXPECT_EQ(unknown.LastError().Description(), QString(known.LastError().Description()).replace("clerk", "nobody"));
        // Inside the wait: refused unread, with the same seconds left.
        if (CurrentUser::delayAfter(failure) > 0) {
            clock = clock.addSecs(1);
            EXPECT_FALSE(known.Login("clerk123"));
            EXPECT_FALSE(unknown.Login("wrong"));
            EXPECT_TRUE(known.LastError().Description().contains(QStringLiteral("秒后再试"))) << known.LastError().Description().toStdString();
            EXPECT_EQ(unknown.LastError().Description(), known.LastError().Description());
            clock = clock.addSecs(CurrentUser::delayAfter(failure));
        }
    }
    EXPECT_EQ(unknown.LastError().Description(),
              QStringLiteral("用户nobody因连续%1次密码错误已被锁定，请与系统管理员联系解锁").arg(CurrentUser::kLockAfter));
    EXPECT_EQ(t.db->Query("select count(*) from jx_user", 1).Value().toInt(), users);
    EXPECT_EQ(t.db->Query("select count(*) from jx_user where username='nobody'", 1).Value().toInt(), 0);
}

TEST_P(ContextFixture, ChangePasswordAndVerify)
{
    user.SetUserName("clerk");
    EXPECT_FALSE(user.ChangePassword("clerk123", "x")); // not signed in
    ASSERT_TRUE(user.Login("clerk123"));
    EXPECT_FALSE(user.ChangePassword("bad", "new-pass"));
    EXPECT_FALSE(user.LastError().Description().isEmpty());
    EXPECT_TRUE(user.ChangePassword("clerk123", "new-pass"));
    EXPECT_EQ(user.Password(""), "new-pass");
    EXPECT_TRUE(user.Verify());
    user.Logout();
    EXPECT_FALSE(user.Login("clerk123"));
    EXPECT_TRUE(user.Login("new-pass"));

    ASSERT_TRUE(t.db->Execute("update jx_user set active=0 where username='clerk'"));
    EXPECT_FALSE(user.Verify());
    EXPECT_FALSE(user.LastError().Description().isEmpty());
}

TEST_P(ContextFixture, UserWithoutPasswordSignsInWithEmptyOne)
{
    ASSERT_TRUE(t.db->Execute("insert into jx_user (usercode, username, pwhash, isadmin, active) values ('0009', 'guest', '', 0, 1)"));
    user.SetUserName("guest");
    EXPECT_FALSE(user.Login("something"));
    EXPECT_TRUE(user.Login(""));
    EXPECT_EQ(user.Password(""), "");
}

TEST_P(ContextFixture, UserDirectoryListsActiveUsersFromOne)
{
    UserDirectory directory(t.db.get());
    const UserCollection users = directory.Users();
    ASSERT_EQ(users.Count(), 2);
    EXPECT_EQ(users.Item(1).UserName(), "admin");
    EXPECT_EQ(users.Item(2).UserName(), "clerk");
    EXPECT_TRUE(users.Item(1).IsAdministrator());
    EXPECT_EQ(users.Item(0).UserName(), "");
    EXPECT_EQ(users.Item(3).UserName(), "");
    EXPECT_EQ(UserDirectory().Users().Count(), 0);
}

// A row whose hash demands gigabytes and thousands of passes is refused at
// once as a damaged record; the operator is not told his password is wrong.
TEST_P(ContextFixture, ExtremeHashCostsAreADamagedRecordNotAWrongPassword)
{
    const QString good = CurrentUser::hashPassword("clerk123");
    ASSERT_TRUE(CurrentUser::hashIsSound(good)) << good.toStdString();
    QString extreme = good;
    extreme.replace(QRegularExpression("m=[0-9]+,t=[0-9]+,p=[0-9]+"), "m=4194304,t=4294967295,p=255");
    ASSERT_NE(extreme, good);
    for (const QString &bad : {extreme, QString(good).replace("t=2,", "t=3,"), QString(good).replace("p=1$", "p=2$"),
                               QString(good).replace("$argon2id$", "$argon2i$"), QString("$argon2id$v=19$m=x")}) {
        EXPECT_FALSE(CurrentUser::hashIsSound(bad)) << bad.toStdString();
        ASSERT_TRUE(t.db->ExecuteParams("update jx_user set pwhash=? where username='clerk'", {bad}));
        user.SetUserName("clerk");
        QElapsedTimer clock;
        clock.start();
        EXPECT_FALSE(user.Login("clerk123"));
        EXPECT_LT(clock.elapsed(), 5000); // refused before any hashing work
        EXPECT_TRUE(user.LastError().Description().contains("损坏")) << user.LastError().Description().toStdString();
    }
    // The record mended, the same password signs in again.
    ASSERT_TRUE(t.db->ExecuteParams("update jx_user set pwhash=? where username='clerk'", {good}));
    EXPECT_TRUE(user.Login("clerk123"));
    EXPECT_TRUE(user.LastError().Description().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Engines, ContextFixture, ::testing::Values("sqlite", "postgres"));

TEST(StringCipher, RoundTripAndTamperingGivesEmpty)
{
    // A secret of its own, never the one of whoever runs the suite.
    const QTemporaryDir home;
    const StringCipher cipher{UserSecret(home.filePath("jx"))};
    const QString secret = QStringLiteral("密码 pass 123");
    const QString a = cipher.Encrypt(secret, "kepo");
    const QString b = cipher.Encrypt(secret, "kepo");
    EXPECT_FALSE(a.isEmpty());
    EXPECT_NE(a, b); // fresh nonce every time
    EXPECT_FALSE(a.contains("pass"));
    EXPECT_EQ(cipher.Decrypt(a, "kepo"), secret);
    EXPECT_EQ(cipher.Decrypt(b, "kepo"), secret);
    EXPECT_EQ(cipher.Decrypt(a, "kepx"), "");
    QString tampered = a;
    tampered[tampered.size() / 2] = tampered[tampered.size() / 2] == u'A' ? u'B' : u'A';
    EXPECT_EQ(cipher.Decrypt(tampered, "kepo"), "");
    EXPECT_EQ(cipher.Decrypt("!!not base64!!", "kepo"), "");
    EXPECT_EQ(cipher.Decrypt("AAAA", "kepo"), "");
    EXPECT_EQ(cipher.Encrypt("", "kepo"), "");
    EXPECT_EQ(cipher.Decrypt("", "kepo"), "");
}

// The remembered password on another account (another user's secret), or
// after its secret is removed, reads back as nothing; the secret file is the
// user's alone.
TEST(StringCipher, OnlyTheSameUsersSecretReadsItBack)
{
    QTemporaryDir home;
    const QString mine = home.filePath("mine/jx"), theirs = home.filePath("theirs/jx");
    const StringCipher cipher{UserSecret(mine)};
    const QString stored = cipher.Encrypt("admin123", "kepo");
    ASSERT_FALSE(stored.isEmpty());
    EXPECT_EQ(cipher.Decrypt(stored, "kepo"), "admin123");
    EXPECT_EQ(StringCipher{UserSecret(mine)}.Decrypt(stored, "kepo"), "admin123"); // a later session of the same user

    const QFileInfo file(UserSecret(mine).filePath());
    ASSERT_TRUE(file.isFile());
    EXPECT_EQ(file.size(), UserSecret::kSize);
    EXPECT_EQ(file.permissions() & ~(QFile::ReadUser | QFile::WriteUser | QFile::ReadOwner | QFile::WriteOwner), QFile::Permissions());

    // The settings text copied to another account: that user has his own secret.
    const StringCipher other{UserSecret(theirs)};
    EXPECT_FALSE(other.Encrypt("x", "kepo").isEmpty());
    EXPECT_EQ(other.Decrypt(stored, "kepo"), "");

    // A secret file others can read is not trusted.
    ASSERT_TRUE(QFile::setPermissions(file.filePath(), QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther));
    EXPECT_EQ(cipher.Decrypt(stored, "kepo"), "");
    EXPECT_EQ(cipher.Encrypt("admin123", "kepo"), "");
    ASSERT_TRUE(QFile::setPermissions(file.filePath(), QFile::ReadOwner | QFile::WriteOwner));
    EXPECT_EQ(cipher.Decrypt(stored, "kepo"), "admin123");

    // The secret removed: nothing to read back, and reading makes no new one.
    ASSERT_TRUE(QFile::remove(file.filePath()));
    EXPECT_EQ(cipher.Decrypt(stored, "kepo"), "");
    EXPECT_FALSE(QFile::exists(file.filePath()));
}

TEST(ThemeManager, LoadsFolderAndAppliesStyleSheet)
{
    QTemporaryDir dir;
    ThemeManager theme;
    QWidget w;
    theme.Apply(&w); // nothing loaded: no change
    EXPECT_EQ(w.styleSheet(), "");
    EXPECT_FALSE(theme.Load("none", dir.filePath("none")));
    EXPECT_EQ(theme.Folder(), "");

    QDir(dir.path()).mkpath("themes/blue");
    QFile qss(dir.filePath("themes/blue/theme.qss"));
    qss.open(QIODevice::WriteOnly);
    qss.write("QWidget { color: #123456; }");
    qss.close();
    ASSERT_TRUE(theme.Load("blue", dir.filePath("themes\\blue").replace('/', '\\')));
    EXPECT_EQ(QDir(theme.Folder()), QDir(dir.filePath("themes/blue")));
    theme.Apply(&w);
    EXPECT_EQ(w.styleSheet(), "QWidget { color: #123456; }");
    theme.Apply(nullptr);
}

TEST(CompanyInfo, DisplayNamePrefersChineseName)
{
    CompanyInfo c;
    EXPECT_EQ(c.DisplayName(), "");
    c.SetEName("Anju");
    EXPECT_EQ(c.DisplayName(), "Anju");
    c.SetCoName(QStringLiteral("安居"));
    EXPECT_EQ(c.DisplayName(), QStringLiteral("安居"));
}

// With a desktop secret service answering (the suite runs this once on a
// private session bus with a keyring of its own), the secret is kept there
// and not in a file; the remembered text reads back only while it is there.
TEST(StringCipher, SecretKeptInTheSecretServiceWhenOneAnswers)
{
    if (qEnvironmentVariable("JX_TEST_SECRET_SERVICE") != u"1")
        GTEST_SKIP() << "needs a secret service: run through run-with-secret-service.sh";
    const auto secretTool = [](const QStringList &args) {
        QProcess p;
        p.start(QStringLiteral("secret-tool"), args);
        p.waitForFinished(20000);
        return p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0 ? p.readAllStandardOutput() : QByteArray();
    };
    const StringCipher cipher{UserSecret()};
    const QString stored = cipher.Encrypt("admin123", "kepo");
    ASSERT_FALSE(stored.isEmpty());
    EXPECT_EQ(StringCipher{UserSecret()}.Decrypt(stored, "kepo"), "admin123");
    EXPECT_FALSE(QFile::exists(UserSecret().filePath()));
    const QByteArray kept = QByteArray::fromBase64(secretTool({"lookup", "purpose", "string-cipher"}).trimmed());
    EXPECT_EQ(kept.size(), UserSecret::kSize);
    EXPECT_EQ(kept, UserSecret().value(false));

    // The secret removed from the service: the text reads back as nothing,
    // and no secret file is made in its place.
    secretTool({"clear", "purpose", "string-cipher"});
    EXPECT_TRUE(secretTool({"lookup", "purpose", "string-cipher"}).isEmpty());
    EXPECT_EQ(cipher.Decrypt(stored, "kepo"), "");
    EXPECT_FALSE(QFile::exists(UserSecret().filePath()));
}

// The service answers but holds no secret, because keeping it there failed
// (a prompt cancelled, the keyring locked) and it went to the file: the file
// is read, so the remembered text still reads back, and nothing is made anew.
TEST(StringCipher, SecretServiceWithoutTheSecretFallsBackToTheFile)
{
    if (qEnvironmentVariable("JX_TEST_SECRET_SERVICE") != u"1")
        GTEST_SKIP() << "needs a secret service: run through run-with-secret-service.sh";
    QProcess::execute(QStringLiteral("secret-tool"), {"clear", "purpose", "string-cipher"});
    const QString folder = QFileInfo(UserSecret().filePath()).path();
    const QString stored = StringCipher{UserSecret(folder)}.Encrypt("admin123", "kepo");
    ASSERT_FALSE(stored.isEmpty());
    const QByteArray inFile = UserSecret(folder).value(false);
    ASSERT_EQ(inFile.size(), UserSecret::kSize);

    EXPECT_EQ(StringCipher{UserSecret()}.Decrypt(stored, "kepo"), "admin123");
    // A new remembered text uses the same secret rather than one in the service.
    EXPECT_EQ(UserSecret().value(true), inFile);
    EXPECT_EQ(StringCipher{UserSecret(folder)}.Decrypt(StringCipher{UserSecret()}.Encrypt("x1", "kepo"), "kepo"), "x1");
    QFile::remove(UserSecret().filePath());
}
