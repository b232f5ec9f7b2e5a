#include "console/dialogs/frmLogin.h"

#include "ui_frmLogin.h"

#include "platform/Numeric.h"
#include "console/config/bCommon.h"
#include "console/log/Logger.h"
#include "platform/SettingsStore.h"
#include "console/startup/ConsoleSession.h"
#include "components/context/StringCipher.h"
#include "components/context/UserDirectory.h"
#include "platform/com/RuntimeError.h"

#include <QDate>
#include <QFileInfo>
#include <QKeyEvent>
#include <QPixmap>

#include <algorithm>
#include <exception>

namespace jx {

namespace {
const QString kCipherKey = QStringLiteral("kepo");
const QString kMain = QStringLiteral("main");
const QString kLogonUser = QStringLiteral("LogonUser");

AppContext &context(const ConsoleSession &session)
{
    if (!session.AppContext())
        throw com::RuntimeError::of(com::errors::ObjectRequired, QStringLiteral("JxMain1"));
    return *session.AppContext();
}

CurrentUser &currentUser(const ConsoleSession &session)
{
    if (!session.CurrentUser())
        throw com::RuntimeError::of(com::errors::ObjectRequired, QStringLiteral("JxMain1"));
    return *session.CurrentUser();
}
} // namespace

frmLogin::frmLogin(ConsoleSession &session, QWidget *parent)
    : QDialog(parent), ui(std::make_unique<Ui::frmLogin>()), m_session(session)
{
    ui->setupUi(this);
    ui->Txt_2->installEventFilter(this);
    connect(ui->XPCmdOk, &QPushButton::clicked, this, &frmLogin::OkRoutine);
    connect(ui->XPCmdCancel, &QPushButton::clicked, this, &frmLogin::CancelRoutine);
    connect(ui->Spinner_1, &QSpinBox::valueChanged, this, [this](int v) { wrapSpinner(ui->Spinner_1, 1, 12, v); });
    connect(ui->Spinner_2, &QSpinBox::valueChanged, this, [this](int v) { wrapSpinner(ui->Spinner_2, 1, 31, v); });
}

frmLogin::~frmLogin() = default;

QComboBox *frmLogin::CobUser() const { return ui->CobUser; }
QLineEdit *frmLogin::Password() const { return ui->Txt_2; }
QSpinBox *frmLogin::Spinner(int index) const
{
    return index == 0 ? ui->Spinner_0 : index == 1 ? ui->Spinner_1 : ui->Spinner_2;
}
QCheckBox *frmLogin::chkRemberme() const { return ui->chkRemberme; }
QPushButton *frmLogin::XPCmdOk() const { return ui->XPCmdOk; }
QPushButton *frmLogin::XPCmdCancel() const { return ui->XPCmdCancel; }

QString frmLogin::caption() const
{
    return m_session.Config() ? m_session.Config()->Caption() : QString();
}

void frmLogin::wrapSpinner(QSpinBox *spinner, int low, int high, int value)
{
    if (value > high)
        spinner->setValue(low);
    else if (value < low)
        spinner->setValue(high);
}

int frmLogin::recentCount() const
{
    return clng(val(context(m_session).Option(38, QStringLiteral("loginusercount")).Value()));
}

QStringList frmLogin::ReadRecentUsers(const QString &app, int n)
{
    QStringList users;
    for (int i = 1; i <= n; ++i) {
        const QString name = SettingsStore::getSetting(app, kMain, QString::number(i) + kLogonUser);
        if (name.isEmpty())
            break;
        users.append(name);
    }
    return users;
}

QStringList frmLogin::RotateRecentUsers(const QStringList &stored, const QString &name, int n)
{
    // Worked on the names themselves rather than on a "[name]," joined text, so
    // a name holding "," "[" or "]" is kept whole instead of being cut apart.
    QStringList result{name};
    for (const QString &user : stored)
        if (user != name)
            result.append(user);
    return result.mid(0, std::max(0, n));
}

void frmLogin::LoadForm()
{
    hide();
    ui->Image1->setGeometry(rect());
    try {
        m_cipher = std::make_unique<StringCipher>();
        clsConfig *config = m_session.Config();
        const QString app = caption();

        // Background picture, or the caption labels.
        bool pictureShown = false;
        const QString background = config ? config->Background_Login() : QString();
        if (!trimBlanks(background).isEmpty()) {
            const QString file = LocalPath(ExpandPath(background, false));
            QPixmap picture;
            if (QFileInfo::exists(file) && picture.load(file)) {
                ui->Image1->setPixmap(picture);
                ui->Image1->lower();
                ui->Image1->setVisible(true);
                pictureShown = true;
            }
        }
        if (!pictureShown) {
            ui->lblProductName_B->setText(app);
            ui->lblProductName_B->setVisible(true);
        }

        // Remember-password box.
        const QString remember = config && config->XML()
            ? trimBlanks(toText(config->XML()->GetValue(QStringLiteral("/configuration/system/settings/remerber")))).toLower()
            : QString();
        if (remember == QLatin1String("1") || remember == QLatin1String("true")) {
            ui->chkRemberme->setText(context(m_session).GetText(kMain, QStringLiteral("/login/remember"), QStringLiteral("保存密码")));
            ui->chkRemberme->setVisible(true);
            ui->chkRemberme->setChecked(val(SettingsStore::getSetting(app, kMain, QStringLiteral("remerber"), QStringLiteral("0"))) != 0.0);
            const QString stored = SettingsStore::getSetting(app, kMain, QStringLiteral("remerberString"));
            if (!stored.isEmpty() && ui->chkRemberme->isChecked() && m_cipher)
                ui->Txt_2->setText(m_cipher->Decrypt(stored, kCipherKey));
        }

        // Operation date: today.
        const QDate today = QDate::currentDate();
        ui->Spinner_0->setValue(today.year());
        ui->Spinner_1->setValue(today.month());
        ui->Spinner_2->setValue(today.day());

        // User list.
        m_userStyle = val(context(m_session).Option(12, QStringLiteral("loginuserstyle")).Value());
        ui->CobUser->clear();
        if (m_userStyle == 1) {
            m_comboStyle = 1;
        } else if (m_userStyle == 2) {
            m_comboStyle = 0;
            ui->CobUser->addItems(ReadRecentUsers(app, recentCount()));
        } else {
            m_comboStyle = 0;
            const UserCollection users = UserDirectory(m_session.Database()).Users();
            for (int32_t i = 1; i <= users.Count(); ++i)
                ui->CobUser->addItem(users.Item(i).UserName());
        }
        if (ui->CobUser->count() > 0)
            ui->CobUser->setCurrentIndex(0);
        const QString last = SettingsStore::getSetting(app, kMain, kLogonUser);
        if (!last.isEmpty())
            ui->CobUser->setEditText(last);

        ui->XPCmdOk->setText(context(m_session).GetText(kMain, QStringLiteral("/login/cmdok"), QStringLiteral("确定(&D)")));
        ui->XPCmdCancel->setText(context(m_session).GetText(kMain, QStringLiteral("/login/cmdcancel"), QStringLiteral("取消(&C)")));
        ui->lblMess->setText(context(m_session).GetText(kMain, QStringLiteral("/login/hint"), QString()));
    } catch (const std::exception &e) {
        try {
            WriteLog(QStringLiteral("加载数据时出错,原因:") + com::errorDescription(e), LogWarning);
        } catch (const std::exception &) {
        }
    }
}

void frmLogin::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (ui->CobUser->currentText().isEmpty())
        ui->CobUser->setFocus();
    else
        ui->Txt_2->setFocus();
}

void frmLogin::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    ui->Image1->setGeometry(rect());
}

bool frmLogin::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == ui->Txt_2 && (event->type() == QEvent::KeyPress || event->type() == QEvent::ShortcutOverride)) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->matches(QKeySequence::Cut) || key->matches(QKeySequence::Copy) || key->matches(QKeySequence::Paste)
            || ((key->modifiers() & Qt::ControlModifier)
                && (key->key() == Qt::Key_X || key->key() == Qt::Key_C || key->key() == Qt::Key_V))) {
            event->accept();
            return true;
        }
        if (event->type() == QEvent::KeyPress && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)) {
            focusNextChild();
            OkRoutine();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void frmLogin::keyPressEvent(QKeyEvent *event)
{
    // Esc is the Cancel button's key: it runs the Cancel routine, not a bare close.
    if (event->matches(QKeySequence::Cancel)) {
        event->accept();
        CancelRoutine();
        return;
    }
    QDialog::keyPressEvent(event);
}

void frmLogin::OkRoutine()
{
    try {
        const QString dateText = QString::number(ui->Spinner_0->value()) + QLatin1Char('-')
            + QString::number(ui->Spinner_1->value()) + QLatin1Char('-') + QString::number(ui->Spinner_2->value());
        // A real calendar day in the years a date can hold (100 to 9999).
        if (!isDate(ui->Spinner_0->value(), ui->Spinner_1->value(), ui->Spinner_2->value())) {
            WriteLog(QStringLiteral("操作日期") + dateText + QStringLiteral("不正确,请重新选择"), LogWarning);
            return;
        }
        const QString typed = ui->CobUser->currentText();
        if (typed.isEmpty()) {
            WriteLog(QStringLiteral("用户名不能为空，请重试!"), LogWarning);
            ui->CobUser->setFocus();
            return;
        }
        CurrentUser &user = currentUser(m_session);
        const QString name = trimBlanks(typed);
        user.SetUserName(name);
        if (!user.Login(trimBlanks(ui->Txt_2->text()))) {
            const QString reason = user.LastError().Description();
            if (!reason.isEmpty())
                WriteLog(reason, LogWarning);
            else
                WriteLog(QStringLiteral("无效的密码或者用户名") + name + QStringLiteral(" ，请重试!"), LogWarning);
            ui->Txt_2->setFocus();
            ui->Txt_2->selectAll();
            return;
        }

        RunEnvironment &env = context(m_session).Environment();
        const QDate date(ui->Spinner_0->value(), ui->Spinner_1->value(), ui->Spinner_2->value());
        env.SetOperationDate(QDate::fromString(date.toString(QStringLiteral("yyyy-MM-dd")), QStringLiteral("yyyy-MM-dd")));
        env.SetUserCode(user.UserCode());
        env.SetUserName(user.UserName());

        // Work out every value first so that a failure stores nothing.
        const QString app = caption();
        QStringList recent;
        const bool rotate = m_userStyle == 2;
        if (rotate) {
            const int n = recentCount();
            recent = RotateRecentUsers(ReadRecentUsers(app, n), typed, n);
        }
        const bool ticked = ui->chkRemberme->isChecked();
        const QString password = ui->Txt_2->text();
        const QString remembered = !password.isEmpty() && ticked && m_cipher ? m_cipher->Encrypt(password, kCipherKey) : QString();

        // One write of the settings file for all of them: each write syncs it to disk.
        QList<std::pair<QString, QString>> settings{{kLogonUser, typed}};
        for (int i = 0; i < recent.size(); ++i)
            settings.append({QString::number(i + 1) + kLogonUser, recent.at(i)});
        settings.append({QStringLiteral("remerber"), ticked ? QStringLiteral("1") : QStringLiteral("0")});
        settings.append({QStringLiteral("remerberString"), remembered});
        SettingsStore::saveSettings(app, kMain, settings);
        accept();
    } catch (const std::exception &e) {
        try {
            WriteLog(QStringLiteral("发生错误:") + com::errorDescription(e), LogError);
        } catch (const std::exception &) {
        }
    }
}

void frmLogin::CancelRoutine()
{
    try {
        currentUser(m_session).SetUserName(QString());
    } catch (const std::exception &) {
    }
    reject();
}

} // namespace jx
