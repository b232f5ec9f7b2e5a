#include "console/dialogs/frmPass.h"

#include "ui_frmPass.h"

#include "components/context/AppContext.h"
#include "components/context/CurrentUser.h"
#include "console/log/Logger.h"
#include "platform/MessageBox.h"

#include <QEvent>
#include <QLabel>
#include <QStyle>

#include <exception>

namespace jx {

frmPass::frmPass(AppContext &context, CurrentUser &user, QWidget *parent)
    : QDialog(parent)
    , ui(std::make_unique<Ui::frmPass>())
    , m_context(context)
    , m_user(user)
{
    ui->setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose, false);
    connect(ui->Oldpassword, &QLineEdit::textChanged, this, [this] { OldPassWordChange(); });
    connect(ui->CmdOK, &QPushButton::clicked, this, [this] { OkRoutine(); });
    connect(ui->CmdClose, &QPushButton::clicked, this, [this] { reject(); });
}

frmPass::~frmPass() = default;

void frmPass::Py_Init(int32_t programNumber, const QString &title)
{
    m_programNumber = programNumber;
    m_title = title;
}

QLineEdit *frmPass::USER() const { return ui->USER; }
QLineEdit *frmPass::Oldpassword() const { return ui->Oldpassword; }
QLineEdit *frmPass::hint() const { return ui->hint; }
QLineEdit *frmPass::newpassword() const { return ui->newpassword; }
QLineEdit *frmPass::newpasswordagain() const { return ui->newpasswordagain; }
QPushButton *frmPass::CmdOK() const { return ui->CmdOK; }
QPushButton *frmPass::CmdClose() const { return ui->CmdClose; }

void frmPass::showEvent(QShowEvent *event)
{
    if (!m_loaded)
        LoadForm();
    QDialog::showEvent(event);
}

void frmPass::LoadForm()
{
    m_loaded = true;
    // Each step goes on after a failing one.
    auto step = [](auto &&body) {
        try {
            body();
        } catch (const std::exception &) {
        }
    };
    step([&] {
        ui->hint->clear();
        ui->hint->setEnabled(false);
    });
    step([&] {
        ui->USER->setText(m_user.UserName());
        ui->USER->setEnabled(false);
    });
    step([&] { m_passwordOnRecord = m_user.Password(QString()); });
    step([&] { OldPassWordChange(); });
    step([&] {
        const QString main = QStringLiteral("main");
        auto text = [&](const char *key, const QString &fallback) {
            return m_context.GetText(main, QLatin1String(key), fallback);
        };
        setWindowTitle(text("/frmpass/caption", windowTitle()));
        ui->lbl_0->setText(text("/frmpass/hint", ui->lbl_0->text()));
        ui->lbl_1->setText(text("/frmpass/title", ui->lbl_1->text()));
        ui->LblUser->setText(text("/frmpass/username", ui->LblUser->text()));
        ui->LblOldPass->setText(text("/frmpass/oldpassword", ui->LblOldPass->text()));
        ui->LblHint->setText(text("/frmpass/question", ui->LblHint->text()));
        ui->LblNewPass->setText(text("/frmpass/newpassword", ui->LblNewPass->text()));
        ui->lblConfirm->setText(text("/frmpass/confirm", ui->lblConfirm->text()));
        ui->CmdOK->setText(text("/frmpass/cmdok", ui->CmdOK->text()));
        ui->CmdClose->setText(text("/frmpass/cmdclose", ui->CmdClose->text()));
    });
    // Each control is named by its caption: the buttons by their own, the boxes by their labels'.
    for (QPushButton *b : {ui->CmdOK, ui->CmdClose})
        b->setAccessibleName(QString(b->text()).remove(QLatin1Char('&')));
    for (QLabel *label : {ui->LblUser, ui->LblOldPass, ui->LblHint, ui->LblNewPass, ui->lblConfirm})
        label->buddy()->setAccessibleName(QString(label->text()).remove(QLatin1Char('&')));
}

void frmPass::changeEvent(QEvent *event)
{
    QDialog::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        m_context.Theme().Apply(this);
}

void frmPass::paintBox(QLineEdit *box, bool enabled)
{
    // Disabled boxes take the colour of active borders, enabled ones the window background.
    QPalette p = box->palette();
    p.setColor(QPalette::Base, box->style()->standardPalette().color(enabled ? QPalette::Base : QPalette::Window));
    box->setPalette(p);
    box->setEnabled(enabled);
}

void frmPass::setNewBoxesEnabled(bool enabled)
{
    paintBox(ui->newpassword, enabled);
    paintBox(ui->newpasswordagain, enabled);
}

void frmPass::OldPassWordChange()
{
    try {
        const QString onRecord = m_user.Password(QString());
        if (onRecord.isEmpty()) {
            paintBox(ui->Oldpassword, false);
            setNewBoxesEnabled(true);
        } else {
            setNewBoxesEnabled(ui->Oldpassword->text() == m_passwordOnRecord);
        }
    } catch (const std::exception &e) {
        WriteLog(QStringLiteral("OldPassWord_Change") + com::errorDescription(e), LogWarning);
    }
}

void frmPass::OkRoutine()
{
    // A failure while reading the password on record is reported like the
    // later steps' instead of escaping the click handler.
    try {
        if (ui->Oldpassword->text() != m_user.Password(QString())) {
            msgBox(QStringLiteral("请先输入原先的旧密码后继续.."), Information, QStringLiteral("提示："));
            ui->Oldpassword->setFocus();
            return;
        }
        if (ui->newpassword->text().isEmpty() && ui->newpasswordagain->text().isEmpty()) {
            if (msgBox(QStringLiteral("新密码为空，是否继续？"), Exclamation | YesNo, QStringLiteral("提示：")) != Yes)
                return;
        }
        if (!m_user.Verify()) {
            WriteLog(m_user.LastError().Description(), LogNotice);
            return;
        }
        if (ui->newpassword->text() != ui->newpasswordagain->text()) {
            msgBox(QStringLiteral("密码两次输入不一致，请重输！"), Information, QStringLiteral("提示："));
            ui->newpassword->setFocus();
            return;
        }
        if (m_user.ChangePassword(ui->Oldpassword->text(), ui->newpassword->text())) {
            WriteLog(QStringLiteral("祝贺你，修改密码成功！"), LogNotice);
            WriteOperation(QStringLiteral("修改当用户密码"), m_programNumber);
            m_passwordOnRecord = m_user.Password(QString());
            accept();
        } else {
            WriteLog(m_user.LastError().Description(), LogError);
        }
    } catch (const std::exception &e) {
        WriteLog(QStringLiteral("修改密码时出错") + com::errorDescription(e), LogWarning);
    }
}

void frmPass::done(int result)
{
    // Every unload leaves its record, whether by OK, Close or the window's close box.
    if (!m_unloaded) {
        m_unloaded = true;
        try {
            WriteOperation(QStringLiteral("退出[") + m_title + QStringLiteral("]"), m_programNumber);
        } catch (const std::exception &) {
        }
    }
    // The typed passwords are not left in the boxes of a closed window.
    for (QLineEdit *box : {ui->Oldpassword, ui->newpassword, ui->newpasswordagain})
        box->clear();
    QDialog::done(result);
}

} // namespace jx
