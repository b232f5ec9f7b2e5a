#pragma once

#include "jx_controls_export.h"

#include "controls/ControlInterfaces.h"

#include "platform/com/ComPtr.h"
#include "platform/com/Dispatchable.h"
#include "platform/com/RefCounted.h"

#include <QPointer>
#include <QString>
#include <QWidget>

#include <functional>

namespace qvcontrols {

class ControlSite;

// What a host does with an event: the site it came from, the event's name and
// its parameters in natural order (writable for by-reference arguments).
using ControlEventHandler = std::function<void(ControlSite &site, const QString &event, const com::DispArgs &params)>;

// The host's side of one added control: its name, its object, its widget and
// the event sink the control raises into.
class JX_CONTROLS_EXPORT ControlSite final : public IQvEventSink, public com::RefCounted<ControlSite>
{
public:
    ControlSite(QString name, com::ComPtr<IDispatch> object, com::ComPtr<IQvControl> control, QWidget *widget);

    HRESULT QueryInterface(REFIID riid, void **ppv) override;
    ULONG AddRef() override { return addReference(); }
    ULONG Release() override { return releaseReference(); }
    HRESULT OnEvent(BSTR name, uint32_t count, VARIANT *params) override;

    const QString &name() const { return m_name; }
    // The control's automation object (for Py_Init, Clear and the like).
    IDispatch *object() const { return m_object.get(); }
    QWidget *widget() const { return m_widget; }
    // Moves and sizes the control's widget in twips.
    void Move(int left, int top, int width, int height);

    void setHandler(ControlEventHandler handler) { m_handler = std::move(handler); }
    // Stops events and drops the widget; the object is released with the site.
    void disconnect();

private:
    friend class com::RefCounted<ControlSite>;
    ~ControlSite();

    QString m_name;
    com::ComPtr<IDispatch> m_object;
    com::ComPtr<IQvControl> m_control;
    QPointer<QWidget> m_widget;
    ControlEventHandler m_handler;
};

} // namespace qvcontrols
