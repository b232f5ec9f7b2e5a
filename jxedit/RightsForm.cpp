#include "jxedit/RightsForm.h"

#include "ui_RightsForm.h"

#include "platform/MessageBox.h"
#include "platform/com/LateBound.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>

#include <algorithm>
#include <array>

namespace jxedit {

namespace {

const QString kAdminOnly = QStringLiteral("只有系统管理员可以管理用户和权限");

struct RightBit
{
    int bit;
    const char *caption;
};

// In the grid's column order, after 程序号 and 名称.
constexpr std::array<RightBit, 8> kRightBits{{{Right::Run, "运行"},
                                              {Right::Add, "新增"},
                                              {Right::Change, "修改"},
                                              {Right::Delete, "删除"},
                                              {Right::Export, "导出"},
                                              {Right::Print, "打印"},
                                              {Right::SeePhones, "查看电话"},
                                              {Right::OthersRecords, "处理他人记录"}}};
constexpr int kFirstBitColumn = 2;

QString rightsText(int mask)
{
    QStringList names;
    for (const RightBit &b : kRightBits)
        if (mask & b.bit)
            names << QString::fromUtf8(b.caption);
    return names.isEmpty() ? QStringLiteral("无") : names.join(u',');
}

// Codes and names are compared as people read them: blanks around them and
// letter case do not make another user.
bool sameName(const QString &a, const QString &b) { return QString::compare(a.trimmed(), b.trimmed(), Qt::CaseInsensitive) == 0; }

QTableWidgetItem *readOnlyItem(const QString &text)
{
    auto *item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    return item;
}

} // namespace

struct RightsForm::User
{
    QString code, name, role, lastLogin;
    bool admin = false;
    bool active = false;
};

struct RightsForm::Role
{
    QString code, name;
    int users = 0;
};

struct RightsForm::Program
{
    int id = 0;
    QString name;
    int stored = 0;    // the subject's own mask as stored
    int inherited = 0; // a user's role's mask, shown but not edited here
};

RightsForm::RightsForm(DataLink link, IDispatch *context, QWidget *parent)
    : QWidget(parent), ui(std::make_unique<Ui::RightsForm>()), m_link(std::move(link)), m_context(context)
{
    ui->setupUi(this);
    prepareControls();

    connect(ui->userList, &QTableWidget::itemSelectionChanged, this, &RightsForm::userSelected);
    connect(ui->roleList, &QTableWidget::itemSelectionChanged, this, &RightsForm::roleSelected);
    // Enter in the second password box does what the button next to it does.
    connect(ui->newPasswordAgain, &QLineEdit::returnPressed, ui->addUser, &QPushButton::click);
    connect(ui->resetPasswordAgain, &QLineEdit::returnPressed, ui->resetPassword, &QPushButton::click);
    connect(ui->addUser, &QPushButton::clicked, this, &RightsForm::addUser);
    connect(ui->disableUser, &QPushButton::clicked, this, [this] { setUserActive(false); });
    connect(ui->enableUser, &QPushButton::clicked, this, [this] { setUserActive(true); });
    connect(ui->resetPassword, &QPushButton::clicked, this, &RightsForm::resetPassword);
    connect(ui->unlockUser, &QPushButton::clicked, this, &RightsForm::unlockUser);
    connect(ui->changeRole, &QPushButton::clicked, this, &RightsForm::changeRole);
    connect(ui->addRole, &QPushButton::clicked, this, &RightsForm::addRole);
    connect(ui->renameRole, &QPushButton::clicked, this, &RightsForm::renameRole);
    connect(ui->deleteRole, &QPushButton::clicked, this, &RightsForm::deleteRole);
    connect(ui->saveRights, &QPushButton::clicked, this, &RightsForm::saveRights);
    connect(ui->revertRights, &QPushButton::clicked, this, &RightsForm::revertRights);
    connect(ui->subjectIsRole, &QRadioButton::toggled, this, [this](bool isRole) {
        if (!m_filling)
            switchSubject(isRole, QString());
    });
    connect(ui->subject, &QComboBox::currentIndexChanged, this, [this] {
        if (!m_filling)
            switchSubject(m_subjectIsRole, ui->subject->currentData().toString());
    });
}

RightsForm::~RightsForm() = default;

void RightsForm::userSelected()
{
    const User *user = selectedUser();
    ui->disableUser->setEnabled(user && user->active);
    ui->enableUser->setEnabled(user && !user->active);
    ui->changeRole->setEnabled(user);
    ui->resetPassword->setEnabled(user);
    ui->unlockUser->setEnabled(user);
    if (user)
        ui->userRole->setCurrentIndex(qMax(0, ui->userRole->findData(user->role)));
}

void RightsForm::roleSelected()
{
    const Role *role = selectedRole();
    ui->renameRole->setEnabled(role);
    ui->deleteRole->setEnabled(role);
    if (role) {
        ui->roleCode->setText(role->code);
        ui->roleName->setText(role->name);
    }
}

void RightsForm::prepareControls()
{
    // Screen readers announce every control by the caption it is shown with.
    for (QLabel *label : findChildren<QLabel *>())
        if (QWidget *buddy = label->buddy())
            buddy->setAccessibleName(label->text());
    for (QAbstractButton *button : findChildren<QAbstractButton *>())
        button->setAccessibleName(button->text());
    for (int i = 0; i < ui->tabs->count(); ++i)
        ui->tabs->widget(i)->setAccessibleName(ui->tabs->tabText(i));
    for (QLabel *label : findChildren<QLabel *>())
        if (label->objectName().startsWith(u"error_")) {
            label->setStyleSheet(QStringLiteral("color:#b00020;"));
            label->setWordWrap(true);
            label->hide();
        }
    for (QTableWidget *grid : {ui->userList, ui->roleList, ui->rightsGrid}) {
        grid->verticalHeader()->setDefaultSectionSize(22);
        grid->horizontalHeader()->setHighlightSections(false);
    }
    for (QPushButton *b : {ui->disableUser, ui->enableUser, ui->unlockUser, ui->changeRole, ui->resetPassword, ui->renameRole, ui->deleteRole})
        b->setEnabled(false);
    ui->tabs->setEnabled(false); // until load() has found an administrator
}

bool RightsForm::isAdministrator() const
{
    if (!m_context)
        return false;
    try {
        const com::Variant user = com::get(m_context.get(), QStringLiteral("User"));
        IDispatch *object = com::asDispatch(user);
        return object && com::toQVariant(com::get(object, QStringLiteral("IsAdministrator"))).toBool();
    } catch (const com::RuntimeError &) {
        return false;
    }
}

QString RightsForm::signedInCode() const
{
    try {
        return com::toQVariant(com::getPath(m_context.get(), QStringLiteral("User.UserCode"))).toString();
    } catch (const com::RuntimeError &) {
        return {};
    }
}

jx::Result<> RightsForm::load()
{
    ui->tabs->setEnabled(false);
    if (!m_link.isValid())
        return jx::fail(QStringLiteral("数据库没有连接"));
    if (!isAdministrator())
        return jx::fail(kAdminOnly);
    if (const auto read = readRoles(); !read)
        return read;
    if (const auto read = readUsers(); !read)
        return read;
    if (const auto read = readPrograms(); !read)
        return read;
    showRoles();
    fillRoleChoices();
    showUsers();
    m_subjectIsRole = !m_roles.empty();
    m_subject.clear();
    fillSubjects();
    if (const auto read = loadRights(); !read)
        return read;
    showRights();
    ui->tabs->setEnabled(true);
    return {};
}

jx::Result<> RightsForm::readUsers()
{
    const auto rows = m_link.select(QStringLiteral("select usercode,username,rolecode,isadmin,active,lastlogin from jx_user order by usercode"), {});
    if (!rows)
        return jx::fail(rows.error());
    m_users.clear();
    for (const QVector<QVariant> &r : rows->rows)
        m_users.push_back({r.value(0).toString(), r.value(1).toString(), r.value(2).toString(), r.value(5).toString(),
                           r.value(3).toInt() != 0, r.value(4).toInt() == 1});
    return {};
}

jx::Result<> RightsForm::readRoles()
{
    const auto rows = m_link.select(QStringLiteral("select r.rolecode,r.rolename,(select count(*) from jx_user u where u.rolecode=r.rolecode)"
                                                   " from jx_role r order by r.rolecode"),
                                    {});
    if (!rows)
        return jx::fail(rows.error());
    m_roles.clear();
    for (const QVector<QVariant> &r : rows->rows)
        m_roles.push_back({r.value(0).toString(), r.value(1).toString(), r.value(2).toInt()});
    return {};
}

jx::Result<> RightsForm::readPrograms()
{
    // Every program a menu entry can open.
    const auto rows = m_link.select(QStringLiteral("select distinct progID, menuname from xt_menu where progID>0 and menucatalog in "
                                                   "(100,101,102,103,105,230) order by progID"),
                                    {});
    if (!rows)
        return jx::fail(rows.error());
    m_programs.clear();
    for (const QVector<QVariant> &r : rows->rows) {
        const int id = r.value(0).toInt();
        // Two entries may open one program under different names: one row for it.
        if (!m_programs.empty() && m_programs.back().id == id)
            continue;
        m_programs.push_back({id, r.value(1).toString()});
    }
    return {};
}

QString RightsForm::roleName(const QString &code) const
{
    for (const Role &r : m_roles)
        if (r.code == code)
            return r.name;
    return code; // a code without its role row is still shown
}

void RightsForm::showUsers()
{
    const QString keep = selectedUser() ? selectedUser()->code : QString();
    QTableWidget *list = ui->userList;
    QSignalBlocker blocker(list);
    list->setRowCount(int(m_users.size()));
    for (int row = 0; row < int(m_users.size()); ++row) {
        const User &u = m_users.at(row);
        auto *name = readOnlyItem(u.name);
        name->setData(Qt::UserRole, u.code);
        list->setItem(row, 0, name);
        list->setItem(row, 1, readOnlyItem(u.code));
        list->setItem(row, 2, readOnlyItem(u.role.isEmpty() ? QString() : roleName(u.role)));
        list->setItem(row, 3, readOnlyItem(u.admin ? QStringLiteral("是") : QStringLiteral("否")));
        list->setItem(row, 4, readOnlyItem(u.active ? QStringLiteral("有效") : QStringLiteral("停用")));
        list->setItem(row, 5, readOnlyItem(u.lastLogin));
    }
    list->clearSelection();
    for (int row = 0; row < list->rowCount(); ++row)
        if (list->item(row, 0)->data(Qt::UserRole).toString() == keep)
            list->selectRow(row);
    list->resizeColumnsToContents();
    blocker.unblock();
    userSelected();
}

void RightsForm::showRoles()
{
    const QString keep = selectedRole() ? selectedRole()->code : QString();
    QTableWidget *list = ui->roleList;
    QSignalBlocker blocker(list);
    list->setRowCount(int(m_roles.size()));
    for (int row = 0; row < int(m_roles.size()); ++row) {
        const Role &r = m_roles.at(row);
        auto *code = readOnlyItem(r.code);
        code->setData(Qt::UserRole, r.code);
        list->setItem(row, 0, code);
        list->setItem(row, 1, readOnlyItem(r.name));
        list->setItem(row, 2, readOnlyItem(QString::number(r.users)));
    }
    list->clearSelection();
    for (int row = 0; row < list->rowCount(); ++row)
        if (list->item(row, 0)->data(Qt::UserRole).toString() == keep)
            list->selectRow(row);
    list->resizeColumnsToContents();
    blocker.unblock();
    roleSelected();
}

void RightsForm::fillRoleChoices()
{
    for (QComboBox *box : {ui->newUserRole, ui->userRole}) {
        const QString keep = box->currentData().toString();
        const QSignalBlocker blocker(box);
        box->clear();
        box->addItem(QStringLiteral("（无角色）"), QString());
        for (const Role &r : m_roles)
            box->addItem(r.name, r.code);
        box->setCurrentIndex(qMax(0, box->findData(keep)));
    }
    if (const User *user = selectedUser())
        ui->userRole->setCurrentIndex(qMax(0, ui->userRole->findData(user->role)));
}

void RightsForm::fillSubjects()
{
    m_filling = true;
    ui->subjectIsRole->setChecked(m_subjectIsRole);
    ui->subjectIsUser->setChecked(!m_subjectIsRole);
    ui->subject->clear();
    if (m_subjectIsRole) {
        for (const Role &r : m_roles)
            ui->subject->addItem(QStringLiteral("%1（%2）").arg(r.name, r.code), r.code);
    } else {
        for (const User &u : m_users)
            ui->subject->addItem(QStringLiteral("%1（%2）").arg(u.name, u.code), u.code);
    }
    int index = ui->subject->findData(m_subject);
    if (index < 0 && ui->subject->count() > 0)
        index = 0;
    ui->subject->setCurrentIndex(index);
    m_subject = index >= 0 ? ui->subject->itemData(index).toString() : QString();
    m_filling = false;
}

QString RightsForm::subjectText() const
{
    if (m_subjectIsRole)
        return QStringLiteral("角色<%1>").arg(roleName(m_subject));
    for (const User &u : m_users)
        if (u.code == m_subject)
            return QStringLiteral("用户<%1>").arg(u.name);
    return QStringLiteral("用户<%1>").arg(m_subject);
}

jx::Result<> RightsForm::loadRights()
{
    for (Program &p : m_programs)
        p.stored = p.inherited = 0;
    if (m_subject.isEmpty())
        return {};
    auto read = [this](const QString &sql, const QString &key, int Program::*into) -> jx::Result<> {
        const auto rows = m_link.select(sql, {key});
        if (!rows)
            return jx::fail(rows.error());
        for (const QVector<QVariant> &r : rows->rows)
            for (Program &p : m_programs)
                if (p.id == r.value(0).toInt())
                    p.*into = r.value(1).toInt();
        return {};
    };
    const QString roleSql = QStringLiteral("select progid,rightmask from jx_roleright where rolecode=?");
    if (m_subjectIsRole)
        return read(roleSql, m_subject, &Program::stored);
    if (const auto own = read(QStringLiteral("select progid,rightmask from jx_right where usercode=?"), m_subject, &Program::stored); !own)
        return own;
    for (const User &u : m_users)
        if (u.code == m_subject && !u.role.isEmpty())
            return read(roleSql, u.role, &Program::inherited);
    return {};
}

void RightsForm::showRights()
{
    QTableWidget *grid = ui->rightsGrid;
    grid->setRowCount(int(m_programs.size()));
    QString fromRole;
    if (!m_subjectIsRole)
        for (const User &u : m_users)
            if (u.code == m_subject && !u.role.isEmpty())
                fromRole = roleName(u.role);
    for (int row = 0; row < int(m_programs.size()); ++row) {
        const Program &p = m_programs.at(row);
        auto *id = readOnlyItem(QString::number(p.id));
        id->setData(Qt::UserRole, p.id);
        grid->setItem(row, 0, id);
        grid->setItem(row, 1, readOnlyItem(p.name));
        for (int i = 0; i < int(kRightBits.size()); ++i) {
            const int bit = kRightBits.at(i).bit;
            auto *cell = new QTableWidgetItem;
            if (p.inherited & bit) {
                // Granted by the user's role: shown, changed only on the role.
                cell->setFlags(Qt::ItemIsSelectable);
                cell->setCheckState(Qt::Checked);
                cell->setToolTip(QStringLiteral("来自角色“%1”").arg(fromRole));
            } else {
                cell->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
                cell->setCheckState(p.stored & bit ? Qt::Checked : Qt::Unchecked);
            }
            grid->setItem(row, kFirstBitColumn + i, cell);
        }
    }
    grid->resizeColumnsToContents();
    ui->rightsNote->setText(fromRole.isEmpty() ? QString()
                                               : QStringLiteral("灰色的勾选来自该用户的角色“%1”，请在该角色的权限中修改。").arg(fromRole));
    ui->rightsNote->setVisible(!fromRole.isEmpty());
    ui->saveRights->setEnabled(!m_subject.isEmpty());
}

int RightsForm::gridMask(int row) const
{
    const Program &p = m_programs.at(row);
    // A bit under a cell the role grants keeps its stored value.
    int mask = p.stored & p.inherited;
    for (int i = 0; i < int(kRightBits.size()); ++i) {
        const int bit = kRightBits.at(i).bit;
        const QTableWidgetItem *cell = ui->rightsGrid->item(row, kFirstBitColumn + i);
        if (!(p.inherited & bit) && cell && cell->checkState() == Qt::Checked)
            mask |= bit;
    }
    return mask;
}

void RightsForm::detach()
{
    m_link = DataLink();
    m_context.reset();
}

bool RightsForm::isDirty() const
{
    if (m_subject.isEmpty() || ui->rightsGrid->rowCount() != int(m_programs.size()))
        return false;
    for (int row = 0; row < int(m_programs.size()); ++row)
        if (gridMask(row) != m_programs.at(row).stored)
            return true;
    return false;
}

jx::Result<> RightsForm::save()
{
    if (!isAdministrator())
        return jx::fail(kAdminOnly);
    if (m_subject.isEmpty())
        return jx::fail(QStringLiteral("请先选择授权对象"));
    struct Change
    {
        int row, before, after;
    };
    std::vector<Change> changes;
    for (int row = 0; row < int(m_programs.size()); ++row)
        if (const int mask = gridMask(row); mask != m_programs.at(row).stored)
            changes.push_back({row, m_programs.at(row).stored, mask});
    if (changes.empty()) {
        emit message(QStringLiteral("权限没有修改"));
        return {};
    }
    const QString table = m_subjectIsRole ? QStringLiteral("jx_roleright") : QStringLiteral("jx_right");
    const QString key = m_subjectIsRole ? QStringLiteral("rolecode") : QStringLiteral("usercode");
    const QString remove = QStringLiteral("delete from %1 where %2=? and progid=?").arg(table, key);
    const QString insert = QStringLiteral("insert into %1 (%2,progid,rightmask) values (?,?,?)").arg(table, key);
    if (const auto begun = m_link.begin(); !begun)
        return begun;
    for (const Change &c : changes) {
        const int program = m_programs.at(c.row).id;
        // A row that becomes empty is removed rather than kept at 0.
        jx::Result<int> written = m_link.execute(remove, {m_subject, program});
        if (written && c.after != 0)
            written = m_link.execute(insert, {m_subject, program, c.after});
        if (!written) {
            m_link.rollback();
            return jx::fail(written.error());
        }
    }
    if (const auto committed = m_link.commit(); !committed) {
        m_link.rollback();
        return committed;
    }
    const QString who = subjectText();
    for (const Change &c : changes) {
        Program &p = m_programs.at(c.row);
        p.stored = c.after;
        emit operation(QStringLiteral("修改权限 %1 程序<%2 %3>：%4→%5").arg(who).arg(p.id).arg(p.name, rightsText(c.before), rightsText(c.after)));
    }
    emit message(QStringLiteral("%1的权限已保存（%2 个程序）").arg(who).arg(changes.size()));
    return {};
}

void RightsForm::saveRights()
{
    if (const auto saved = save(); !saved)
        refuse(QStringLiteral("保存权限失败：%1\n\n已保存的权限没有改变，您的修改仍在表格中。").arg(saved.error()));
}

void RightsForm::revertRights()
{
    if (const auto read = loadRights(); !read) {
        refuse(read.error());
        return;
    }
    showRights();
    emit message(QStringLiteral("已撤销权限的修改"));
}

void RightsForm::switchSubject(bool isRole, const QString &code)
{
    if (isRole == m_subjectIsRole && code == m_subject)
        return;
    if (isDirty()) {
        const int answer = jx::msgBox(QStringLiteral("%1的权限已修改，是否保存？").arg(subjectText()), jx::YesNoCancel | jx::Question,
                                      QStringLiteral("提示："));
        const jx::Result<> saved = answer == jx::Yes ? save() : jx::Result<>();
        if (answer == jx::Cancel || !saved) {
            if (!saved.error().isEmpty())
                refuse(QStringLiteral("保存权限失败：%1").arg(saved.error()));
            fillSubjects(); // back to the subject being edited
            return;
        }
    }
    m_subjectIsRole = isRole;
    m_subject = code;
    fillSubjects();
    reloadRights();
}

const RightsForm::User *RightsForm::selectedUser() const
{
    const QList<QTableWidgetItem *> items = ui->userList->selectedItems();
    if (items.isEmpty())
        return nullptr;
    const QString code = ui->userList->item(items.first()->row(), 0)->data(Qt::UserRole).toString();
    for (const User &u : m_users)
        if (u.code == code)
            return &u;
    return nullptr;
}

const RightsForm::Role *RightsForm::selectedRole() const
{
    const QList<QTableWidgetItem *> items = ui->roleList->selectedItems();
    if (items.isEmpty())
        return nullptr;
    const QString code = ui->roleList->item(items.first()->row(), 0)->data(Qt::UserRole).toString();
    for (const Role &r : m_roles)
        if (r.code == code)
            return &r;
    return nullptr;
}

bool RightsForm::stillAdministrator()
{
    // The administrator may have signed out, or been replaced, since load().
    if (isAdministrator())
        return true;
    refuse(kAdminOnly);
    return false;
}

void RightsForm::refuse(const QString &text)
{
    emit message(text);
    jx::msgBox(text, jx::OKOnly | jx::Exclamation, QStringLiteral("用户和权限"));
}

void RightsForm::done(const QString &audit, const QString &status)
{
    emit operation(audit);
    emit message(status);
}

void RightsForm::refuseField(QLineEdit *field, const QString &text, QLineEdit *&first)
{
    setFieldError(field, text);
    if (!first)
        first = field;
}

void RightsForm::setFieldError(QLineEdit *field, const QString &text)
{
    if (auto *label = findChild<QLabel *>(QStringLiteral("error_") + field->objectName())) {
        label->setText(text);
        label->setVisible(!text.isEmpty());
    }
}

void RightsForm::clearFieldErrors()
{
    for (QLabel *label : findChildren<QLabel *>())
        if (label->objectName().startsWith(u"error_")) {
            label->clear();
            label->hide();
        }
}

void RightsForm::refreshUsersAndRoles()
{
    jx::Result<> read = readRoles();
    if (read)
        read = readUsers();
    if (!read) {
        refuse(read.error());
        return;
    }
    showRoles();
    fillRoleChoices();
    showUsers();
    // The grid keeps its edits when its subject is still there.
    const bool stillThere = m_subjectIsRole ? std::ranges::any_of(m_roles, [this](const Role &r) { return r.code == m_subject; })
                                            : std::ranges::any_of(m_users, [this](const User &u) { return u.code == m_subject; });
    const bool wasEmpty = m_subject.isEmpty();
    fillSubjects();
    if (!stillThere || wasEmpty)
        reloadRights();
}

void RightsForm::reloadRights()
{
    if (const auto read = loadRights(); !read)
        refuse(read.error());
    showRights();
}

void RightsForm::addUser()
{
    if (!stillAdministrator())
        return;
    clearFieldErrors();
    const QString name = ui->newUserName->text().trimmed();
    const QString code = ui->newUserCode->text().trimmed();
    const QString role = ui->newUserRole->currentData().toString();
    const QString password = ui->newPassword->text();
    QLineEdit *first = nullptr;
    auto fail = [&first, this](QLineEdit *field, const QString &text) { refuseField(field, text, first); };
    if (name.isEmpty())
        fail(ui->newUserName, QStringLiteral("请输入登录名"));
    if (code.isEmpty())
        fail(ui->newUserCode, QStringLiteral("请输入编号"));
    if (password.isEmpty())
        fail(ui->newPassword, QStringLiteral("请输入初始密码"));
    else if (ui->newPasswordAgain->text() != password)
        fail(ui->newPasswordAgain, QStringLiteral("两次输入的密码不一致"));
    // Against the table as it is now, not as the list showed it.
    const auto rows = m_link.select(QStringLiteral("select usercode,username from jx_user"), {});
    if (!rows) {
        refuse(rows.error());
        return;
    }
    for (const QVector<QVariant> &r : rows->rows) {
        if (!code.isEmpty() && sameName(r.value(0).toString(), code))
            fail(ui->newUserCode, QStringLiteral("编号“%1”已被用户“%2”使用").arg(code, r.value(1).toString()));
        if (!name.isEmpty() && sameName(r.value(1).toString(), name))
            fail(ui->newUserName, QStringLiteral("登录名“%1”已存在（用户“%2”）").arg(name, r.value(1).toString()));
    }
    if (first) {
        first->setFocus();
        emit message(QStringLiteral("新增用户：请按提示修改"));
        return;
    }
    // The user row and its password hash appear together or not at all.
    jx::Result<> stored = m_link.begin();
    if (stored) {
        const auto inserted =
            m_link.execute(QStringLiteral("insert into jx_user (usercode,username,pwhash,isadmin,rolecode,active,lastlogin) values (?,?,?,?,?,?,?)"),
                           {code, name, QString(), 0, role, 1, QString()});
        if (!inserted)
            stored = jx::fail(inserted.error());
    }
    if (stored)
        stored = askSignedInUser(QStringLiteral("ResetPassword"), {code, password});
    if (stored)
        stored = m_link.commit();
    if (!stored) {
        m_link.rollback();
        refuse(QStringLiteral("新增用户失败：%1").arg(stored.error()));
        return;
    }
    for (QLineEdit *field : {ui->newUserName, ui->newUserCode, ui->newPassword, ui->newPasswordAgain})
        field->clear();
    done(QStringLiteral("新增用户 %1（编号 %2，角色 %3）").arg(name, code, role.isEmpty() ? QStringLiteral("无") : roleName(role)),
         QStringLiteral("已新增用户 %1").arg(name));
    refreshUsersAndRoles();
}

void RightsForm::setUserActive(bool active)
{
    if (!stillAdministrator())
        return;
    const User *user = selectedUser();
    if (!user)
        return;
    const QString code = user->code, name = user->name;
    jx::Result<int> changed = 0;
    if (active) {
        changed = m_link.execute(QStringLiteral("update jx_user set active=1 where usercode=?"), {code});
    } else {
        if (sameName(code, signedInCode())) {
            refuse(QStringLiteral("不能停用自己的账号"));
            return;
        }
        // The check and the change are one statement, so two administrators
        // working at once cannot both remove the last of them.
        changed = m_link.execute(QStringLiteral("update jx_user set active=0 where usercode=? and (isadmin=0 or "
                                                "(select count(*) from jx_user a where a.isadmin=1 and a.active=1 and a.usercode<>?)>0)"),
                                 {code, code});
        if (changed && *changed == 0) {
            refuse(QStringLiteral("“%1”是最后一个有效的系统管理员，不能停用").arg(name));
            return;
        }
    }
    if (!changed) {
        refuse(QStringLiteral("%1用户失败：%2").arg(active ? QStringLiteral("启用") : QStringLiteral("停用"), changed.error()));
        return;
    }
    done(QStringLiteral("%1用户 %2（编号 %3）").arg(active ? QStringLiteral("启用") : QStringLiteral("停用"), name, code),
         QStringLiteral("已%1用户 %2").arg(active ? QStringLiteral("启用") : QStringLiteral("停用"), name));
    refreshUsersAndRoles();
}

void RightsForm::resetPassword()
{
    if (!stillAdministrator())
        return;
    clearFieldErrors();
    const User *user = selectedUser();
    if (!user)
        return;
    const QString password = ui->resetPasswordNew->text();
    if (password.isEmpty()) {
        setFieldError(ui->resetPasswordNew, QStringLiteral("请输入新密码"));
        ui->resetPasswordNew->setFocus();
        return;
    }
    if (ui->resetPasswordAgain->text() != password) {
        setFieldError(ui->resetPasswordAgain, QStringLiteral("两次输入的密码不一致"));
        ui->resetPasswordAgain->setFocus();
        return;
    }
    if (const auto reset = askSignedInUser(QStringLiteral("ResetPassword"), {user->code, password}); !reset) {
        refuse(QStringLiteral("重置密码失败：%1").arg(reset.error()));
        return;
    }
    ui->resetPasswordNew->clear();
    ui->resetPasswordAgain->clear();
    done(QStringLiteral("重置密码 用户 %1（编号 %2）").arg(user->name, user->code), QStringLiteral("已重置用户 %1 的密码").arg(user->name));
}

jx::Result<> RightsForm::askSignedInUser(const QString &member, const QStringList &args) const
{
    // What only an administrator may do is done by the signed-in user object,
    // which checks that he is one.
    try {
        IDispatch *current = com::asDispatch(com::get(m_context.get(), QStringLiteral("User")));
        if (!current)
            return jx::fail(QStringLiteral("没有登录的用户"));
        std::vector<com::Variant> values;
        for (const QString &a : args)
            values.push_back(com::Variant::fromString(a));
        if (com::toQVariant(com::call(current, member, values)).toBool())
            return {};
        return jx::fail(com::toQVariant(com::getPath(current, QStringLiteral("LastError.Description"))).toString());
    } catch (const com::RuntimeError &e) {
        return jx::fail(e.description());
    }
}

void RightsForm::unlockUser()
{
    if (!stillAdministrator())
        return;
    const User *user = selectedUser();
    if (!user)
        return;
    if (const auto unlocked = askSignedInUser(QStringLiteral("UnlockUser"), {user->code}); !unlocked) {
        refuse(QStringLiteral("解锁失败：%1").arg(unlocked.error()));
        return;
    }
    done(QStringLiteral("解锁用户 %1（编号 %2）").arg(user->name, user->code), QStringLiteral("已解锁用户 %1").arg(user->name));
}

void RightsForm::changeRole()
{
    if (!stillAdministrator())
        return;
    const User *user = selectedUser();
    if (!user)
        return;
    const QString role = ui->userRole->currentData().toString();
    if (role == user->role)
        return;
    if (const auto changed = m_link.execute(QStringLiteral("update jx_user set rolecode=? where usercode=?"), {role, user->code}); !changed) {
        refuse(QStringLiteral("更改角色失败：%1").arg(changed.error()));
        return;
    }
    const QString before = user->role.isEmpty() ? QStringLiteral("无") : roleName(user->role);
    const QString after = role.isEmpty() ? QStringLiteral("无") : roleName(role);
    done(QStringLiteral("更改角色 用户 %1（编号 %2）：%3→%4").arg(user->name, user->code, before, after),
         QStringLiteral("用户 %1 的角色已改为 %2").arg(user->name, after));
    const QString code = user->code;
    refreshUsersAndRoles();
    // The grid of that user shows what his new role grants.
    if (!m_subjectIsRole && m_subject == code && !isDirty())
        reloadRights();
}

void RightsForm::addRole()
{
    if (!stillAdministrator())
        return;
    clearFieldErrors();
    const QString code = ui->roleCode->text().trimmed();
    const QString name = ui->roleName->text().trimmed();
    QLineEdit *first = nullptr;
    auto fail = [&first, this](QLineEdit *field, const QString &text) { refuseField(field, text, first); };
    if (code.isEmpty())
        fail(ui->roleCode, QStringLiteral("请输入角色编号"));
    if (name.isEmpty())
        fail(ui->roleName, QStringLiteral("请输入角色名称"));
    if (!first) {
        const auto rows = m_link.select(QStringLiteral("select rolecode,rolename from jx_role"), {});
        if (!rows) {
            refuse(rows.error());
            return;
        }
        for (const QVector<QVariant> &r : rows->rows) {
            if (sameName(r.value(0).toString(), code))
                fail(ui->roleCode, QStringLiteral("角色编号“%1”已被角色“%2”使用").arg(code, r.value(1).toString()));
            if (sameName(r.value(1).toString(), name))
                fail(ui->roleName, QStringLiteral("角色名称“%1”已存在").arg(r.value(1).toString()));
        }
    }
    if (first) {
        first->setFocus();
        return;
    }
    if (const auto added = m_link.execute(QStringLiteral("insert into jx_role (rolecode,rolename) values (?,?)"), {code, name}); !added) {
        refuse(QStringLiteral("新增角色失败：%1").arg(added.error()));
        return;
    }
    done(QStringLiteral("新增角色 %1（编号 %2）").arg(name, code), QStringLiteral("已新增角色 %1").arg(name));
    refreshUsersAndRoles();
}

void RightsForm::renameRole()
{
    if (!stillAdministrator())
        return;
    clearFieldErrors();
    const Role *role = selectedRole();
    if (!role)
        return;
    const QString code = role->code, before = role->name;
    const QString name = ui->roleName->text().trimmed();
    if (name.isEmpty()) {
        setFieldError(ui->roleName, QStringLiteral("请输入角色名称"));
        ui->roleName->setFocus();
        return;
    }
    if (name == before)
        return;
    const auto rows = m_link.select(QStringLiteral("select rolecode,rolename from jx_role"), {});
    if (!rows) {
        refuse(rows.error());
        return;
    }
    for (const QVector<QVariant> &r : rows->rows)
        if (r.value(0).toString() != code && sameName(r.value(1).toString(), name)) {
            setFieldError(ui->roleName, QStringLiteral("角色名称“%1”已存在").arg(r.value(1).toString()));
            ui->roleName->setFocus();
            return;
        }
    const auto changed = m_link.execute(QStringLiteral("update jx_role set rolename=? where rolecode=?"), {name, code});
    if (!changed || *changed == 0) {
        refuse(QStringLiteral("角色改名失败：%1").arg(changed ? QStringLiteral("角色“%1”已不存在").arg(before) : changed.error()));
        refreshUsersAndRoles();
        return;
    }
    done(QStringLiteral("角色改名 %1：%2→%3").arg(code, before, name), QStringLiteral("角色 %1 已改名为 %2").arg(before, name));
    refreshUsersAndRoles();
}

void RightsForm::deleteRole()
{
    if (!stillAdministrator())
        return;
    const Role *role = selectedRole();
    if (!role)
        return;
    const QString code = role->code, name = role->name;
    const auto users = m_link.scalar(QStringLiteral("select count(*) from jx_user where rolecode=?"), {code});
    if (!users) {
        refuse(users.error());
        return;
    }
    if (users->toInt() > 0) {
        refuse(QStringLiteral("该角色还有用户，不能删除"));
        return;
    }
    if (jx::msgBox(QStringLiteral("确定删除角色“%1”吗？它的权限设置也将一并删除。").arg(name), jx::YesNo | jx::Question | jx::DefaultButton2,
                   QStringLiteral("提示："))
        != jx::Yes)
        return;
    // The rows changed, committed; 0 and nothing committed when a user holds the role.
    auto remove = [this, &code]() -> jx::Result<int> {
        if (const auto begun = m_link.begin(); !begun)
            return jx::fail(begun.error());
        if (const auto rights = m_link.execute(QStringLiteral("delete from jx_roleright where rolecode=?"), {code}); !rights)
            return jx::fail(rights.error());
        // Guarded again in the statement: a user may have been given the role meanwhile.
        const auto roles = m_link.execute(QStringLiteral("delete from jx_role where rolecode=? and not exists "
                                                         "(select 1 from jx_user u where u.rolecode=?)"),
                                          {code, code});
        if (!roles || *roles == 0)
            return roles;
        if (const auto committed = m_link.commit(); !committed)
            return jx::fail(committed.error());
        return roles;
    };
    if (const auto removed = remove(); !removed || *removed == 0) {
        m_link.rollback();
        refuse(removed ? QStringLiteral("该角色还有用户，不能删除") : QStringLiteral("删除角色失败：%1").arg(removed.error()));
        refreshUsersAndRoles();
        return;
    }
    ui->roleCode->clear();
    ui->roleName->clear();
    done(QStringLiteral("删除角色 %1（编号 %2）").arg(name, code), QStringLiteral("已删除角色 %1").arg(name));
    refreshUsersAndRoles();
}

} // namespace jxedit
