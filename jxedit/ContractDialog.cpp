#include "jxedit/ContractDialog.h"

#include "controls/ControlContainer.h"
#include "platform/com/LateBound.h"

#include <QLabel>
#include <QTimer>
#include <QVBoxLayout>

namespace jxedit {

ContractDialog::ContractDialog(IDispatch *context, int program, QWidget *parent)
    : QDialog(parent), m_context(context), m_program(program), m_status(new QLabel(this))
{
    setObjectName(QStringLiteral("contractDialog"));
    setWindowTitle(QStringLiteral("合同登记（接受出价）"));
    setAccessibleName(windowTitle());
    resize(760, 620);
    auto *layout = new QVBoxLayout(this);
    m_status->setObjectName(QStringLiteral("contractStatus"));
    layout->addWidget(m_status);
}

ContractDialog::~ContractDialog()
{
    if (m_controls)
        m_controls->Remove(QStringLiteral("contract"));
}

jx::Result<> ContractDialog::start(const QVariantMap &values, EditControl::Step step)
{
    m_controls = std::make_unique<qvcontrols::ControlContainer>([this](qvcontrols::ControlSite &, const QString &event, const com::DispArgs &params) {
        auto param = [&](size_t i) { return i < params.size() ? com::toQVariant(*params[i]) : QVariant(); };
        if (event == u"unload") {
            // The form asked about unsaved work already.
            m_closing = true;
            QTimer::singleShot(0, this, [this] { done(QDialog::Rejected); });
        } else if (event == u"message") {
            m_status->setText(param(0).toString());
        } else if (event == u"detaile") {
            emit detailRequested(param(0).toInt(), param(1));
        }
    });
    try {
        qvcontrols::ControlSite *site = m_controls->Add(QStringLiteral("JxEdit.oedit"), QStringLiteral("contract"), this);
        m_form = dynamic_cast<EditControl *>(site->object());
        if (!m_form)
            return jx::fail(QStringLiteral("合同窗体不是记录窗体"));
        com::Variant context = com::Variant::fromDispatch(m_context.get());
        com::Variant config;
        int32_t program = m_program;
        double data = 0;
        int16_t mode = EditControl::New;
        com::Variant dataArg = com::Variant::fromDouble(data);
        std::vector<VARIANT> args{com::byRef(&context), com::byRef(&config), com::byRef(&program), com::byRef(&dataArg), com::byRef(&mode)};
        if (!com::toQVariant(com::invoke(site->object(), QStringLiteral("Py_Init"), DISPATCH_METHOD, args)).toBool())
            return jx::fail(m_form->errorText().isEmpty() ? QStringLiteral("合同窗体无法打开") : m_form->errorText());
        layout()->addWidget(site->widget());
        site->widget()->show();
    } catch (const com::RuntimeError &e) {
        return jx::fail(QStringLiteral("合同窗体无法打开：%1").arg(e.description()));
    }
    m_form->prefill(values, {}, std::move(step), [this](int id) {
        m_status->setText(QStringLiteral("合同已保存，出价已接受"));
        emit saved(id);
    });
    return {};
}

void ContractDialog::reject()
{
    // Escape and the window's close button ask about the unsaved contract like its close command does.
    if (m_closing || !m_form || m_form->queryCloseForm())
        QDialog::reject();
}

} // namespace jxedit
