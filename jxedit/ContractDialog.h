#pragma once

#include "jxedit/EditControl.h"
#include "platform/com/Result.h"

#include <QDialog>

#include <memory>

class QLabel;

namespace qvcontrols {
class ControlContainer;
}

namespace jxedit {

/// The contract form of an accepted offer, in a window of its own over the
/// offer: a new record filled with what the offer says. What accepting
/// changes besides the contract is written by `step` inside the contract's
/// own insert, so cancelling this window changes nothing.
class ContractDialog final : public QDialog
{
    Q_OBJECT
public:
    ContractDialog(IDispatch *context, int program, QWidget *parent);
    ~ContractDialog() override;

    /// Starts the form as a new record showing `values`.
    jx::Result<> start(const QVariantMap &values, EditControl::Step step);
    /// The contract form; null before start().
    EditControl *form() const { return m_form; }

signals:
    /// The contract was saved (and the step written with it).
    void saved(int id);
    void detailRequested(int program, const QVariant &key);

protected:
    void reject() override;

private:
    com::ComPtr<IDispatch> m_context;
    int m_program;
    std::unique_ptr<qvcontrols::ControlContainer> m_controls;
    EditControl *m_form = nullptr;
    QLabel *m_status;
    bool m_closing = false;
};

} // namespace jxedit
