#include "FunctionHost.h"

#include "jxedit/RightsForm.h"

#include "components/context/CurrentUser.h"
#include "platform/MessageBox.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableWidget>

// Failures show the texts, not their code units.
inline void PrintTo(const QString &text, std::ostream *os) { *os << text.toStdString(); }

namespace {

using jxedit::RightsForm;
namespace Right = jxedit::Right;

// The administrator's screen on the demo database, signed in as admin.
class RightsFormTest : public FunctionHost
{
protected:
    void SetUp() override
    {
        FunctionHost::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        // The roles of these tests are made here; the demo's own would only be in the way.
        ASSERT_TRUE(t.db->Execute("update jx_user set rolecode=''"));
        ASSERT_TRUE(t.db->Execute("delete from jx_roleright"));
        ASSERT_TRUE(t.db->Execute("delete from jx_role"));
        ASSERT_TRUE(t.db->ExecuteParams("update jx_user set pwhash=? where username='admin'", {CurrentUser::hashPassword("admin123")}));
        ASSERT_TRUE(t.db->ExecuteParams("update jx_user set pwhash=? where username='clerk'", {CurrentUser::hashPassword("clerk123")}));
        user.SetUserName(QStringLiteral("admin"));
        ASSERT_TRUE(user.Login(QStringLiteral("admin123")));
    }
    void TearDown() override
    {
        form.reset();
        FunctionHost::TearDown();
    }

    // The screen as the control opens it: no link when the context has no database.
    jx::Result<> tryOpen()
    {
        form = std::make_unique<RightsForm>(jxedit::DataLink::fromContext(&context).valueOr(jxedit::DataLink()), &context);
        QObject::connect(form.get(), &RightsForm::operation, form.get(), [this](const QString &text) { operations << text; });
        QObject::connect(form.get(), &RightsForm::message, form.get(), [this](const QString &text) { messages << text; });
        return form->load();
    }
    void open()
    {
        const auto opened = tryOpen();
        ASSERT_TRUE(opened) << opened.error().toStdString();
    }

    template<typename T>
    T *w(const char *name) const
    {
        T *widget = form->findChild<T *>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    void click(const char *name)
    {
        QPushButton *button = w<QPushButton>(name);
        ASSERT_NE(button, nullptr);
        ASSERT_TRUE(button->isEnabled()) << name;
        button->click();
    }
    void type(const char *field, const QString &text) { w<QLineEdit>(field)->setText(text); }
    QString fieldError(const char *field) const
    {
        QLabel *label = form->findChild<QLabel *>(QStringLiteral("error_") + QString::fromLatin1(field));
        return label && !label->isHidden() ? label->text() : QString();
    }
    // Selects a list row by its key, as a click on it would.
    void select(const char *list, const QString &key)
    {
        auto *table = w<QTableWidget>(list);
        for (int row = 0; row < table->rowCount(); ++row)
            if (table->item(row, 0)->data(Qt::UserRole).toString() == key) {
                table->selectRow(row);
                return;
            }
        ADD_FAILURE() << "no row " << key.toStdString() << " in " << list;
    }
    void choose(const char *box, const QString &key)
    {
        auto *combo = w<QComboBox>(box);
        const int index = combo->findData(key);
        ASSERT_GE(index, 0) << key.toStdString();
        combo->setCurrentIndex(index);
    }
    QTableWidgetItem *cell(int program, int bit) const
    {
        auto *grid = w<QTableWidget>("rightsGrid");
        int column = 2;
        for (int b = 1; b != bit && b < 256; b <<= 1)
            ++column;
        for (int row = 0; row < grid->rowCount(); ++row)
            if (grid->item(row, 0)->data(Qt::UserRole).toInt() == program)
                return grid->item(row, column);
        return nullptr;
    }
    // Ticks or clears a box the user can change.
    void tick(int program, int bit, bool on)
    {
        QTableWidgetItem *item = cell(program, bit);
        ASSERT_NE(item, nullptr) << program;
        ASSERT_TRUE(item->flags() & Qt::ItemIsUserCheckable) << program << "/" << bit;
        item->setCheckState(on ? Qt::Checked : Qt::Unchecked);
    }
    int stored(const char *table, const char *key, const QString &code, int program)
    {
        return t.db->QueryParams(QStringLiteral("select rightmask from %1 where %2=? and progid=?").arg(QString::fromLatin1(table), QString::fromLatin1(key)),
                                 {code, program})
            .Value()
            .toInt();
    }
    void addRoleWithRights()
    {
        ASSERT_TRUE(t.db->Execute(QStringLiteral("insert into jx_role (rolecode, rolename) values ('R01', '经纪人')")));
        ASSERT_TRUE(t.db->Execute(QStringLiteral("insert into jx_roleright values ('R01', 1001, 1)")));
        ASSERT_TRUE(t.db->Execute(QStringLiteral("insert into jx_roleright values ('R01', 1002, 1)")));
    }

    jx::ScopedMessageBoxRecorder boxes{jx::OK};
    std::unique_ptr<RightsForm> form;
    QStringList operations, messages;
};

TEST_P(RightsFormTest, ANewUserSignsInWithHisInitialPasswordAndLookAlikesAreRefusedAtTheField)
{
    open();
    type("newUserName", QStringLiteral("  XiaoWang "));
    type("newUserCode", QStringLiteral("0101"));
    type("newPassword", QStringLiteral("初始-2026"));
    type("newPasswordAgain", QStringLiteral("初始-2026"));
    click("addUser");
    ASSERT_EQ(boxes.count(), 0) << boxes.last().text.toStdString();
    EXPECT_EQ(scalar(QStringLiteral("select username from jx_user where usercode='0101'")).toString(), QStringLiteral("XiaoWang"));
    EXPECT_EQ(operations, QStringList{QStringLiteral("新增用户 XiaoWang（编号 0101，角色 无）")});
    EXPECT_EQ(w<QLineEdit>("newUserName")->text(), QString());
    {
        AppContext elsewhere;
        ASSERT_TRUE(elsewhere.Attach(t.db.get(), 0));
        CurrentUser newcomer(&elsewhere);
        newcomer.SetUserName(QStringLiteral("XiaoWang"));
        EXPECT_FALSE(newcomer.Login(QStringLiteral("初始-2025")));
        EXPECT_TRUE(newcomer.Login(QStringLiteral("初始-2026")));
        EXPECT_FALSE(newcomer.IsAdministrator());
    }

    // The same name in other letters, an existing code, passwords that differ.
    const int users = scalar(QStringLiteral("select count(*) from jx_user")).toInt();
    operations.clear();
    type("newUserName", QStringLiteral("xiaowang"));
    type("newUserCode", QStringLiteral("0102"));
    type("newPassword", QStringLiteral("abc"));
    type("newPasswordAgain", QStringLiteral("abc"));
    click("addUser");
    EXPECT_EQ(fieldError("newUserName"), QStringLiteral("登录名“xiaowang”已存在（用户“XiaoWang”）"));
    EXPECT_EQ(fieldError("newUserCode"), QString());
    type("newUserName", QStringLiteral("ADMIN"));
    type("newUserCode", QStringLiteral(" 0001"));
    type("newPasswordAgain", QStringLiteral("abd"));
    click("addUser");
    EXPECT_EQ(fieldError("newPasswordAgain"), QStringLiteral("两次输入的密码不一致"));
    EXPECT_EQ(fieldError("newUserName"), QStringLiteral("登录名“ADMIN”已存在（用户“admin”）"));
    EXPECT_EQ(fieldError("newUserCode"), QStringLiteral("编号“0001”已被用户“admin”使用"));
    EXPECT_EQ(w<QLineEdit>("newUserName")->text(), QStringLiteral("ADMIN")); // the typing stays
    EXPECT_EQ(scalar(QStringLiteral("select count(*) from jx_user")).toInt(), users);
    EXPECT_TRUE(operations.isEmpty());
    EXPECT_EQ(boxes.count(), 0);

    // A password reset goes through the signed-in administrator and is logged.
    select("userList", QStringLiteral("0002"));
    type("resetPasswordNew", QStringLiteral("new-pass"));
    type("resetPasswordAgain", QStringLiteral("new-pas"));
    click("resetPassword");
    EXPECT_EQ(fieldError("resetPasswordAgain"), QStringLiteral("两次输入的密码不一致"));
    type("resetPasswordAgain", QStringLiteral("new-pass"));
    click("resetPassword");
    EXPECT_EQ(operations, QStringList{QStringLiteral("重置密码 用户 clerk（编号 0002）")});
    AppContext elsewhere;
    ASSERT_TRUE(elsewhere.Attach(t.db.get(), 0));
    CurrentUser clerk(&elsewhere);
    clerk.SetUserName(QStringLiteral("clerk"));
    EXPECT_FALSE(clerk.Login(QStringLiteral("clerk123")));
    EXPECT_TRUE(clerk.Login(QStringLiteral("new-pass")));
}

TEST_P(RightsFormTest, ALockedUserIsUnlockedAndSignsInAgain)
{
    open();
    // Locked by wrong passwords, as the sign-in leaves him.
    ASSERT_TRUE(t.db->Execute("update jx_user set failcount=10, lockeduntil='9999-12-31 23:59:59' where usercode='0002'"));
    AppContext elsewhere;
    ASSERT_TRUE(elsewhere.Attach(t.db.get(), 0));
    CurrentUser clerk(&elsewhere);
    clerk.SetUserName(QStringLiteral("clerk"));
    EXPECT_FALSE(clerk.Login(QStringLiteral("clerk123")));

    select("userList", QStringLiteral("0002"));
    operations.clear();
    click("unlockUser");
    EXPECT_EQ(operations, QStringList{QStringLiteral("解锁用户 clerk（编号 0002）")});
    EXPECT_EQ(scalar(QStringLiteral("select failcount from jx_user where usercode='0002'")).toInt(), 0);
    EXPECT_TRUE(clerk.Login(QStringLiteral("clerk123"))) << clerk.LastError().Description().toStdString();
}

TEST_P(RightsFormTest, NeitherOneselfNorTheLastActiveAdministratorCanBeDisabled)
{
    open();
    select("userList", QStringLiteral("0001"));
    click("disableUser");
    ASSERT_EQ(boxes.count(), 1);
    EXPECT_EQ(boxes.last().text, QStringLiteral("不能停用自己的账号"));
    EXPECT_EQ(scalar(QStringLiteral("select active from jx_user where usercode='0001'")).toInt(), 1);

    select("userList", QStringLiteral("0002"));
    click("disableUser");
    EXPECT_EQ(scalar(QStringLiteral("select active from jx_user where usercode='0002'")).toInt(), 0);
    EXPECT_EQ(w<QTableWidget>("userList")->item(1, 4)->text(), QStringLiteral("停用"));
    EXPECT_FALSE(w<QPushButton>("disableUser")->isEnabled());
    click("enableUser");
    EXPECT_EQ(scalar(QStringLiteral("select active from jx_user where usercode='0002'")).toInt(), 1);
    EXPECT_EQ(operations, (QStringList{QStringLiteral("停用用户 clerk（编号 0002）"), QStringLiteral("启用用户 clerk（编号 0002）")}));

    // Another workstation took admin's administrator flag: boss is now the
    // only active administrator, whatever this session still believes.
    ASSERT_TRUE(t.db->Execute(QStringLiteral("insert into jx_user (usercode, username, pwhash, isadmin, active) values ('0009', 'boss', '', 1, 1)")));
    ASSERT_TRUE(t.db->Execute(QStringLiteral("update jx_user set isadmin=0 where usercode='0001'")));
    open();
    boxes.clear();
    select("userList", QStringLiteral("0009"));
    click("disableUser");
    ASSERT_EQ(boxes.count(), 1);
    EXPECT_EQ(boxes.last().text, QStringLiteral("“boss”是最后一个有效的系统管理员，不能停用"));
    EXPECT_EQ(scalar(QStringLiteral("select active from jx_user where usercode='0009'")).toInt(), 1);
    // With a second administrator back, boss may go.
    ASSERT_TRUE(t.db->Execute(QStringLiteral("update jx_user set isadmin=1 where usercode='0001'")));
    click("disableUser");
    EXPECT_EQ(boxes.count(), 1);
    EXPECT_EQ(scalar(QStringLiteral("select active from jx_user where usercode='0009'")).toInt(), 0);
}

TEST_P(RightsFormTest, TheRightsSavedForARoleAreWhatTheContextAnswersForAUserOfThatRole)
{
    open();
    type("roleCode", QStringLiteral("R01"));
    type("roleName", QStringLiteral("经纪人"));
    click("addRole");
    type("roleCode", QStringLiteral("r01"));
    type("roleName", QStringLiteral("店长"));
    click("addRole");
    EXPECT_EQ(fieldError("roleCode"), QStringLiteral("角色编号“r01”已被角色“经纪人”使用"));
    EXPECT_EQ(scalar(QStringLiteral("select count(*) from jx_role")).toInt(), 1);

    select("userList", QStringLiteral("0002"));
    choose("userRole", QStringLiteral("R01"));
    click("changeRole");
    EXPECT_EQ(scalar(QStringLiteral("select rolecode from jx_user where usercode='0002'")).toString(), QStringLiteral("R01"));

    AppContext clerksContext;
    ASSERT_TRUE(clerksContext.Attach(t.db.get(), 0));
    CurrentUser clerk(&clerksContext);
    clerk.SetUserName(QStringLiteral("clerk"));
    ASSERT_TRUE(clerk.Login(QStringLiteral("clerk123")));
    EXPECT_FALSE(clerksContext.Rights(3001).Allowed(Right::Run));

    w<QRadioButton>("subjectIsRole")->setChecked(true);
    choose("subject", QStringLiteral("R01"));
    EXPECT_FALSE(form->isDirty());
    tick(1001, Right::Add, true);
    tick(1001, Right::SeePhones, true);
    tick(3001, Right::Run, true);
    EXPECT_TRUE(form->isDirty());
    operations.clear();
    click("saveRights");
    ASSERT_EQ(boxes.count(), 0) << boxes.last().text.toStdString();
    EXPECT_FALSE(form->isDirty());
    EXPECT_EQ(stored("jx_roleright", "rolecode", QStringLiteral("R01"), 1001), Right::Add | Right::SeePhones);
    EXPECT_EQ(operations.size(), 2);
    EXPECT_EQ(operations.value(0), QStringLiteral("修改权限 角色<经纪人> 程序<1001 房源登记>：无→新增,查看电话"));
    // His own right to run 1001 and his role's add together; change is neither's.
    EXPECT_TRUE(clerksContext.Rights(1001).Allowed(Right::Run | Right::Add | Right::SeePhones));
    EXPECT_FALSE(clerksContext.Rights(1001).Allowed(Right::Change));
    EXPECT_TRUE(clerksContext.Rights(3001).Allowed(Right::Run));

    // Taking the last right away removes the row.
    tick(3001, Right::Run, false);
    click("saveRights");
    EXPECT_EQ(scalar(QStringLiteral("select count(*) from jx_roleright where progid=3001")).toInt(), 0);
    EXPECT_FALSE(clerksContext.Rights(3001).Allowed(Right::Run));

    // Leaving unsaved edits asks first: Cancel stays with them, No drops them.
    tick(1003, Right::Print, true);
    boxes.queueAnswer(jx::Cancel);
    w<QRadioButton>("subjectIsUser")->setChecked(true);
    ASSERT_EQ(boxes.count(), 1);
    EXPECT_EQ(boxes.last().text, QStringLiteral("角色<经纪人>的权限已修改，是否保存？"));
    EXPECT_TRUE(w<QRadioButton>("subjectIsRole")->isChecked());
    EXPECT_EQ(w<QComboBox>("subject")->currentData().toString(), QStringLiteral("R01"));
    EXPECT_TRUE(form->isDirty());
    boxes.queueAnswer(jx::No);
    w<QRadioButton>("subjectIsUser")->setChecked(true);
    EXPECT_EQ(boxes.count(), 2);
    EXPECT_FALSE(form->isDirty());
    EXPECT_EQ(scalar(QStringLiteral("select count(*) from jx_roleright where progid=1003")).toInt(), 0);
    boxes.clear();

    // Seen by user, the role's rights show ticked but cannot be changed there.
    choose("subject", QStringLiteral("0002"));
    ASSERT_NE(cell(1001, Right::Add), nullptr);
    EXPECT_EQ(cell(1001, Right::Add)->checkState(), Qt::Checked);
    EXPECT_FALSE(cell(1001, Right::Add)->flags() & Qt::ItemIsUserCheckable);
    EXPECT_EQ(cell(1001, Right::Run)->checkState(), Qt::Checked);
    tick(1001, Right::Print, true);
    click("saveRights");
    EXPECT_EQ(stored("jx_right", "usercode", QStringLiteral("0002"), 1001), Right::Run | Right::Print);

    // A role still given to someone can be renamed, not deleted.
    select("roleList", QStringLiteral("R01"));
    type("roleName", QStringLiteral("高级经纪人"));
    click("renameRole");
    EXPECT_EQ(scalar(QStringLiteral("select rolename from jx_role where rolecode='R01'")).toString(), QStringLiteral("高级经纪人"));
    click("deleteRole");
    ASSERT_EQ(boxes.count(), 1);
    EXPECT_EQ(boxes.last().text, QStringLiteral("该角色还有用户，不能删除"));
    EXPECT_EQ(scalar(QStringLiteral("select count(*) from jx_role")).toInt(), 1);

    // Once nobody has it, it goes with its rights, after the question.
    select("userList", QStringLiteral("0002"));
    choose("userRole", QString());
    click("changeRole");
    select("roleList", QStringLiteral("R01"));
    boxes.queueAnswer(jx::Yes);
    click("deleteRole");
    EXPECT_EQ(boxes.last().text, QStringLiteral("确定删除角色“高级经纪人”吗？它的权限设置也将一并删除。"));
    EXPECT_EQ(scalar(QStringLiteral("select count(*) from jx_role")).toInt(), 0);
    EXPECT_EQ(scalar(QStringLiteral("select count(*) from jx_roleright")).toInt(), 0);
    EXPECT_EQ(operations.last(), QStringLiteral("删除角色 高级经纪人（编号 R01）"));
}

TEST_P(RightsFormTest, ARoleTheDatabaseCannotDeleteStaysAndTheReasonIsShown)
{
    addRoleWithRights();
    open();
    select("roleList", QStringLiteral("R01"));
    // The rights go first, so the role's own row is never reached.
    ASSERT_TRUE(t.db->Execute(QStringLiteral("drop table jx_roleright")));
    boxes.queueAnswer(jx::Yes);
    click("deleteRole");
    const QString prefix = QStringLiteral("删除角色失败：");
    ASSERT_EQ(boxes.count(), 2); // the question, then the refusal
    EXPECT_TRUE(boxes.last().text.startsWith(prefix)) << boxes.last().text.toStdString();
    EXPECT_GT(boxes.last().text.size(), prefix.size()) << "the database's reason is shown";
    EXPECT_EQ(scalar(QStringLiteral("select count(*) from jx_role")).toInt(), 1);
    EXPECT_TRUE(operations.isEmpty());
    // No transaction was left open.
    EXPECT_TRUE(t.db->BeginTrans());
    EXPECT_TRUE(t.db->RollbackTrans());
}

TEST_P(RightsFormTest, ASaveBlockedByAnotherWorkstationWritesNothingAndKeepsTheEdits)
{
    addRoleWithRights();
    open();
    ASSERT_EQ(w<QComboBox>("subject")->currentData().toString(), QStringLiteral("R01"));
    tick(1001, Right::Add, true);
    tick(1002, Right::Export, true);
    std::unique_ptr<Database> second = secondConnection();
    if (engine() == u"postgres") {
        ASSERT_TRUE(t.db->Execute(QStringLiteral("SET lock_timeout = '1s'")));
    }
    // The other workstation holds the row of 1002; on SQLite the whole file.
    ASSERT_TRUE(second->BeginTrans());
    ASSERT_TRUE(second->Execute(QStringLiteral("update jx_roleright set rightmask=rightmask where rolecode='R01' and progid=1002")));
    click("saveRights");
    EXPECT_TRUE(second->RollbackTrans());
    ASSERT_EQ(boxes.count(), 1);
    EXPECT_TRUE(boxes.last().text.startsWith(QStringLiteral("保存权限失败："))) << boxes.last().text.toStdString();
    EXPECT_EQ(stored("jx_roleright", "rolecode", QStringLiteral("R01"), 1001), 1);
    EXPECT_EQ(stored("jx_roleright", "rolecode", QStringLiteral("R01"), 1002), 1);
    EXPECT_TRUE(form->isDirty());
    EXPECT_EQ(cell(1001, Right::Add)->checkState(), Qt::Checked);

    // Once the other lets go, the same edits are stored.
    click("saveRights");
    EXPECT_EQ(boxes.count(), 1);
    EXPECT_EQ(stored("jx_roleright", "rolecode", QStringLiteral("R01"), 1001), Right::Run | Right::Add);
    EXPECT_EQ(stored("jx_roleright", "rolecode", QStringLiteral("R01"), 1002), Right::Run | Right::Export);
}

TEST_P(RightsFormTest, ASaveThatFailsOnALaterRowLeavesTheEarlierOnesAsTheyWere)
{
    // The table refuses what the second row would store, after the first row was written.
    ASSERT_TRUE(t.db->Execute(QStringLiteral("drop table jx_roleright")));
    ASSERT_TRUE(t.db->Execute(QStringLiteral("create table jx_roleright (rolecode VARCHAR(20) NOT NULL, progid INTEGER NOT NULL,"
                                             " rightmask INTEGER NOT NULL DEFAULT 0 CHECK (progid<>1002 OR rightmask<64),"
                                             " PRIMARY KEY (rolecode, progid))")));
    addRoleWithRights();
    open();
    tick(1001, Right::Delete, true);
    tick(1002, Right::SeePhones, true);
    click("saveRights");
    ASSERT_EQ(boxes.count(), 1);
    EXPECT_EQ(stored("jx_roleright", "rolecode", QStringLiteral("R01"), 1001), 1);
    EXPECT_EQ(stored("jx_roleright", "rolecode", QStringLiteral("R01"), 1002), 1);
    EXPECT_TRUE(form->isDirty());
    EXPECT_TRUE(operations.isEmpty());
    // No transaction was left open.
    EXPECT_TRUE(t.db->BeginTrans());
    EXPECT_TRUE(t.db->RollbackTrans());

    // Without the table at all: a reason, no crash, the edits still there.
    ASSERT_TRUE(t.db->Execute(QStringLiteral("drop table jx_roleright")));
    const auto saved = form->save();
    EXPECT_FALSE(saved);
    EXPECT_FALSE(saved.error().isEmpty());
    EXPECT_TRUE(form->isDirty());
}

TEST_P(RightsFormTest, OnlyAnAdministratorGetsIn)
{
    user.SetUserName(QStringLiteral("clerk"));
    ASSERT_TRUE(user.Login(QStringLiteral("clerk123")));
    const auto asClerk = tryOpen();
    EXPECT_FALSE(asClerk);
    EXPECT_EQ(asClerk.error(), QStringLiteral("只有系统管理员可以管理用户和权限"));
    EXPECT_FALSE(w<QTabWidget>("tabs")->isEnabled());
    EXPECT_FALSE(form->save());

    user.Logout();
    const auto signedOut = tryOpen();
    EXPECT_FALSE(signedOut);
    EXPECT_EQ(signedOut.error(), QStringLiteral("只有系统管理员可以管理用户和权限"));

    user.SetUserName(QStringLiteral("admin"));
    ASSERT_TRUE(user.Login(QStringLiteral("admin123")));
    const auto asAdmin = tryOpen();
    EXPECT_TRUE(asAdmin) << asAdmin.error().toStdString();
    // Every control is announced by its caption.
    EXPECT_EQ(w<QLineEdit>("newUserName")->accessibleName(), QStringLiteral("登录名"));
    EXPECT_EQ(w<QPushButton>("resetPassword")->accessibleName(), QStringLiteral("重置密码"));
    EXPECT_EQ(w<QComboBox>("subject")->accessibleName(), QStringLiteral("授权对象"));

    // Signed out while the screen stays open: nothing more is changed.
    user.Logout();
    type("roleCode", QStringLiteral("R09"));
    type("roleName", QStringLiteral("临时"));
    click("addRole");
    EXPECT_EQ(boxes.last().text, QStringLiteral("只有系统管理员可以管理用户和权限"));
    EXPECT_EQ(scalar(QStringLiteral("select count(*) from jx_role")).toInt(), 0);
}

INSTANTIATE_TEST_SUITE_P(Engines, RightsFormTest, ::testing::Values("sqlite", "postgres"));

} // namespace
