#include "jxedit/FunctionControl.h"

#include "platform/com/LateBound.h"
#include "toolbar/control/NavToolbar.h"
#include "toolbar/control/clsToolbarItem.h"
#include "platform/ErrorText.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QVBoxLayout>

namespace jxedit {

FunctionControl::FunctionControl()
    : m_page(new QWidget), m_body(new QVBoxLayout(m_page)), m_commands(new qvtoolbar::NavToolbar(m_page)), m_error(new QLabel(m_page))
{
    m_body->setContentsMargins(4, 4, 4, 4);
    m_commands->InitProperties();
    m_commands->setAccessibleName(QStringLiteral("命令"));
    m_commands->setFixedHeight(30);
    m_body->addWidget(m_commands);
    // A click on a button runs the page's action of the same name.
    QObject::connect(m_commands, &qvtoolbar::NavToolbar::ItemClick, m_page, [this](qvtoolbar::ItemRef item, int32_t, int32_t) {
        if (!item)
            return;
        if (QAction *action = m_page->findChild<QAction *>(item->Key()); action && action->isEnabled())
            action->trigger();
    });
    m_error->setObjectName(QStringLiteral("errorText"));
    m_error->setWordWrap(true);
    m_error->setStyleSheet(QStringLiteral("color:#b00020;font-weight:bold;"));
    m_error->hide();
    m_body->addWidget(m_error);
    setWidget(m_page);

    members().add(QStringLiteral("Py_Init"), [this](const com::DispArgs &a) {
        m_cleared = false;
        m_context = com::ComPtr<IDispatch>(a.size() > 0 ? com::asDispatch(*a[0]) : nullptr);
        m_progId = a.size() > 2 ? com::toQVariant(*a[2]).toInt() : 0;
        m_rights.clear();
        m_agent.reset();
        auto link = DataLink::fromContext(m_context.get());
        if (!link) {
            m_link = DataLink();
            showError(link.error());
            return com::Variant::fromBool(false);
        }
        m_link = std::move(link).value();
        // Program 0 is the reminder list everybody has.
        if (m_progId > 0 && !allowed(Right::Run)) {
            showError(QStringLiteral("您没有使用程序<%1>的权限，请与系统管理员联系。").arg(m_progId));
            return com::Variant::fromBool(false);
        }
        return com::Variant::fromBool(start(a));
    });
    members().add(QStringLiteral("Clear"), [this](const com::DispArgs &) {
        // Clear is called on every way out and must never fail.
        if (!m_cleared) {
            m_cleared = true;
            try {
                clear();
            } catch (...) {
                jx::logSwallowed(QStringLiteral("功能控件清理"));
            }
        }
        return com::Variant();
    });
    members().add(
        QStringLiteral("sParameters"), [this](const com::DispArgs &) { return com::Variant::fromDispatch(m_parameters.get()); },
        [this](const com::DispArgs &, const VARIANT &value) {
            m_parameters = com::ComPtr<IDispatch>(com::asDispatch(value));
            parametersChanged();
        });
    members().add(QStringLiteral("QueryClose"), [this](const com::DispArgs &) { return com::Variant::fromBool(m_cleared || queryClose()); });
    members().add(QStringLiteral("ErrorText"), [this](const com::DispArgs &) { return com::Variant::fromString(errorText()); });
}

FunctionControl::~FunctionControl() = default;

QString FunctionControl::errorText() const { return m_error->isVisible() || !m_error->isHidden() ? m_error->text() : QString(); }

QVariant FunctionControl::parameter(const QString &name) const
{
    if (!m_parameters)
        return {};
    try {
        const com::Variant item = com::call(m_parameters.get(), QStringLiteral("Item"), {com::Variant::fromString(name)});
        if (IDispatch *object = com::asDispatch(item))
            return com::toQVariant(com::get(object, QStringLiteral("Value")));
        return com::toQVariant(item);
    } catch (const com::RuntimeError &) {
        return {};
    }
}

QString FunctionControl::userName() const
{
    try {
        return com::toQVariant(com::getPath(m_context.get(), QStringLiteral("Environment.UserName"))).toString();
    } catch (const com::RuntimeError &) {
        return {};
    }
}

QString FunctionControl::myAgent() const
{
    if (!m_agent) {
        // No agent when the user is none or his agent cannot be read: only his own records are then his.
        const QString user = userName();
        m_agent = user.isEmpty()
            ? QString()
            : m_link.scalar(QStringLiteral("select agentname from fy_agent where username=?"), {user}).valueOr(QVariant()).toString();
    }
    return *m_agent;
}

bool FunctionControl::allowed(int right, int program) const
{
    if (program < 0)
        program = m_progId;
    auto it = m_rights.constFind(program);
    if (it == m_rights.constEnd()) {
        int mask = 0;
        try {
            const com::Variant rights = com::call(m_context.get(), QStringLiteral("Rights"), {com::Variant::fromInt32(program)});
            const com::ComPtr<IDispatch> object = com::objectOf(rights);
            for (int bit = Right::Run; bit <= Right::OthersRecords; bit <<= 1)
                if (com::toQVariant(com::call(object.get(), QStringLiteral("Allowed"), {com::Variant::fromInt32(bit)})).toBool())
                    mask |= bit;
        } catch (const com::RuntimeError &) {
            mask = 0; // no rights object: nothing is allowed
        }
        it = m_rights.insert(program, mask);
    }
    return (*it & right) == right;
}

QString FunctionControl::refusal(int right)
{
    switch (right) {
    case Right::Add:
        return QStringLiteral("您没有新增的权限");
    case Right::Change:
        return QStringLiteral("您没有修改的权限");
    case Right::Delete:
        return QStringLiteral("您没有删除的权限");
    case Right::Export:
        return QStringLiteral("您没有导出的权限");
    case Right::Print:
        return QStringLiteral("您没有打印的权限");
    case Right::SeePhones:
        return QStringLiteral("您没有查看他人客户电话的权限");
    case Right::OthersRecords:
        return QStringLiteral("这是其他经纪人的记录，您没有处理他人记录的权限");
    default:
        return QStringLiteral("您没有使用该功能的权限");
    }
}

QDate FunctionControl::operationDate() const
{
    try {
        const QVariant v = com::toQVariant(com::getPath(m_context.get(), QStringLiteral("Environment.OperationDate")));
        const QDate d = v.toDate();
        if (d.isValid() && d.year() > 1900)
            return d;
    } catch (const com::RuntimeError &) {
    }
    return QDate::currentDate();
}

QString FunctionControl::companyName() const
{
    try {
        return com::toQVariant(com::getPath(m_context.get(), QStringLiteral("Company.DisplayName"))).toString();
    } catch (const com::RuntimeError &) {
        return {};
    }
}

QAction *FunctionControl::addCommand(const QString &name, const QString &caption, const QKeySequence &key)
{
    auto *action = new QAction(caption, m_page);
    action->setObjectName(name);
    action->setShortcut(key);
    action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    action->setToolTip(QStringLiteral("%1 (%2)").arg(caption, key.toString(QKeySequence::NativeText)));
    m_page->addAction(action);
    m_commands->AddButton(qvtoolbar::Button, caption, name, nullptr, 16, qvtoolbar::IconLeftTextRight, action->toolTip());
    // The button follows its action's state.
    QObject::connect(action, &QAction::changed, m_page, [this, action] {
        if (qvtoolbar::ItemRef item = m_commands->Buttons().Item(action->objectName()); item && item->Enabled() != action->isEnabled()) {
            item->SetEnabled(action->isEnabled());
            m_commands->Redraw();
        }
    });
    return action;
}

void FunctionControl::showError(const QString &text)
{
    m_error->setText(text);
    m_error->show();
}

void FunctionControl::setCommandVisible(const QString &name, bool visible)
{
    if (qvtoolbar::ItemRef item = m_commands->Buttons().Item(name)) {
        item->SetVisible(visible);
        m_commands->Calculate_Size(1);
        m_commands->Redraw();
    }
    if (QAction *action = m_page->findChild<QAction *>(name))
        action->setEnabled(visible);
}

void FunctionControl::allowCommand(const QString &name, bool allowed, const QString &reason)
{
    QAction *action = m_page->findChild<QAction *>(name);
    if (!action)
        return;
    action->setEnabled(allowed);
    const QString tip = action->text() + QStringLiteral(" (") + action->shortcut().toString(QKeySequence::NativeText) + u')';
    action->setToolTip(allowed || reason.isEmpty() ? tip : tip + QStringLiteral("：") + reason);
    if (qvtoolbar::ItemRef item = m_commands->Buttons().Item(name)) {
        item->SetTooltipText(action->toolTip());
        m_commands->Redraw();
    }
}

void FunctionControl::hideError()
{
    m_error->clear();
    m_error->hide();
}

void FunctionControl::sendMessage(const QString &text) { raiseEvent(QStringLiteral("message"), {com::Variant::fromString(text)}); }

void FunctionControl::logOperation(const QString &text, int kind)
{
    std::vector<com::Variant> params;
    params.push_back(com::Variant::fromString(text));
    params.push_back(com::Variant::fromInt32(kind));
    params.push_back(com::Variant::fromString(QStringLiteral("JxEdit")));
    raiseEvent(QStringLiteral("errmessage"), std::move(params));
}

void FunctionControl::requestUnload() { raiseEvent(QStringLiteral("unload"), {com::Variant::fromBool(true)}); }

void FunctionControl::openDetail(int program, const QVariant &key)
{
    std::vector<com::Variant> params;
    params.push_back(com::Variant::fromInt32(program));
    params.push_back(com::Variant::fromQVariant(key));
    raiseEvent(QStringLiteral("detaile"), std::move(params));
}

bool FunctionControl::fillAgentChooser(QComboBox *chooser, bool team, const QString &me, const QString &onlyOwnTip, bool alsoFormer)
{
    chooser->clear();
    if (!team) {
        chooser->addItem(me, me);
        chooser->setEnabled(false);
        chooser->setToolTip(onlyOwnTip);
        return true;
    }
    chooser->addItem(QStringLiteral("全部经纪人"), QString());
    const auto agents = alsoFormer
        ? link().select(QStringLiteral("select agentname from fy_agent order by agentcode"), {})
        : link().select(QStringLiteral("select agentname from fy_agent where status<>'离职' or agentname=? order by agentcode"), {me});
    if (!agents) {
        showError(QStringLiteral("读取经纪人出错：%1").arg(agents.error()));
        return false;
    }
    for (const QVector<QVariant> &r : agents->rows)
        chooser->addItem(r.value(0).toString(), r.value(0).toString());
    return true;
}

} // namespace jxedit
