#include "controls/ControlSite.h"

#include "controls/TwipsGeometry.h"

#include "platform/com/Bstr.h"
#include "platform/com/ErrorInfo.h"

namespace qvcontrols {

ControlSite::ControlSite(QString name, com::ComPtr<IDispatch> object, com::ComPtr<IQvControl> control,
                         QWidget *widget)
    : m_name(std::move(name))
    , m_object(std::move(object))
    , m_control(std::move(control))
    , m_widget(widget)
{
}

ControlSite::~ControlSite() = default;

HRESULT ControlSite::QueryInterface(REFIID riid, void **ppv)
{
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    if (riid != IID_IUnknown && riid != IID_IQvEventSink)
        return E_NOINTERFACE;
    *ppv = static_cast<IQvEventSink *>(this);
    AddRef();
    return S_OK;
}


HRESULT ControlSite::OnEvent(BSTR name, uint32_t count, VARIANT *params)
{
    if (count > 0 && !params)
        return E_POINTER;
    if (!m_handler)
        return S_OK;
    // Kept alive while the host handles the event, even if it removes us.
    AddRef();
    const ControlEventHandler handler = m_handler;
    com::DispArgs args;
    args.reserve(count);
    for (uint32_t i = 0; i < count; ++i)
        args.push_back(&params[i]);
    // A failure of the host's handling goes back to the control as a failed
    // result with its error information, so it reaches the control's caller.
    const HRESULT hr = com::guarded([&] {
        handler(*this, com::fromBstr(name), args);
        return S_OK;
    });
    Release();
    return hr;
}

void ControlSite::Move(int left, int top, int width, int height)
{
    if (!m_widget)
        return;
    if (auto *geometry = dynamic_cast<TwipsGeometry *>(m_widget.data()))
        geometry->Move(left, top, width, height);
    else
        TwipsGeometry::moveTwips(m_widget.data(), left, top, width, height);
}

void ControlSite::disconnect()
{
    m_handler = nullptr;
    if (m_control)
        m_control->Advise(nullptr);
    if (m_widget)
        m_widget->hide();
}

} // namespace qvcontrols
