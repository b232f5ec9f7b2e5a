#pragma once

#include "controls/ControlInterfaces.h"

#include "platform/com/ComPtr.h"
#include "platform/com/DispatchImpl.h"

#include <QPointer>
#include <QString>
#include <QVariantList>
#include <QWidget>

#include <vector>

namespace qvcontrols {

// Base of a control object: automation members by name plus IQvControl.
// A derived class creates its widget in its constructor with setWidget() and
// registers its members; raiseEvent() delivers an event to the host's sink.
class ControlObject : public com::DispatchImpl<IDispatch>, public IQvControl
{
public:
    ControlObject();
    ~ControlObject() override;

    HRESULT QueryInterface(REFIID riid, void **ppv) override { return DispatchImpl::QueryInterface(riid, ppv); }
    ULONG AddRef() override { return DispatchImpl::AddRef(); }
    ULONG Release() override { return DispatchImpl::Release(); }

    HRESULT GetWidget(QWidget *parent, QWidget **widget) override;
    HRESULT Advise(IQvEventSink *sink) override;

    QWidget *widget() const { return m_widget; }

    // Raises an event; a control without a sink raises into the void. A
    // failure of the host's handling comes back as a com::RuntimeError, so it
    // travels on to whoever called the control.
    void raiseEvent(const QString &name, std::vector<com::Variant> params = {});
    void raiseEvent(const QString &name, const QVariantList &params);

protected:
    void *queryExtra(REFIID riid) override;
    // Takes over `widget` (unparented) and exposes its Qt properties as
    // members, plus Move(left, top, width, height) in twips.
    void setWidget(QWidget *widget);

private:
    QPointer<QWidget> m_widget;
    com::ComPtr<IQvEventSink> m_sink;
};

} // namespace qvcontrols
