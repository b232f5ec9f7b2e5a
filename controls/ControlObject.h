#pragma once

#include "jx_controls_export.h"

#include "controls/ControlInterfaces.h"

#include "platform/com/ComPtr.h"
#include "platform/com/Dispatchable.h"

#include <QPointer>
#include <QString>
#include <QVariantList>
#include <QWidget>

#include <vector>

namespace qvcontrols {

// Base of a control object: automation members by name plus IQvControl.
// A derived class creates its widget in its constructor with setWidget() and
// registers its members; raiseEvent() delivers an event to the host's sink.
// The member table is the object's own: it holds the widget's Qt properties,
// which differ from widget to widget. The last reference deletes the object
// through this class, so the destructor is virtual.
class JX_CONTROLS_EXPORT ControlObject : public com::Dispatchable<ControlObject>, public IQvControl
{
public:
    ControlObject();
    virtual ~ControlObject();
    ControlObject(const ControlObject &) = delete;
    ControlObject &operator=(const ControlObject &) = delete;

    HRESULT QueryInterface(REFIID riid, void **ppv) override { return Dispatchable::QueryInterface(riid, ppv); }
    ULONG AddRef() override { return Dispatchable::AddRef(); }
    ULONG Release() override { return Dispatchable::Release(); }

    HRESULT GetWidget(QWidget *parent, QWidget **widget) override;
    HRESULT Advise(IQvEventSink *sink) override;

    QWidget *widget() const { return m_widget; }

    // Raises an event; a control without a sink raises into the void. A
    // failure of the host's handling comes back as a com::RuntimeError, so it
    // travels on to whoever called the control.
    void raiseEvent(const QString &name, std::vector<com::Variant> params = {});
    void raiseEvent(const QString &name, const QVariantList &params);

    // IQvControl beside the automation face.
    void *queryExtra(REFIID riid);
    com::MemberTable<ControlObject> &members() { return m_members; }

protected:
    // Takes over `widget` (unparented) and exposes its Qt properties as
    // members, plus Move(left, top, width, height) in twips.
    void setWidget(QWidget *widget);

private:
    com::MemberTable<ControlObject> m_members;
    QPointer<QWidget> m_widget;
    com::ComPtr<IQvEventSink> m_sink;
};

} // namespace qvcontrols
