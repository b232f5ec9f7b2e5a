#pragma once

#include "jx_controls_export.h"

// The binary contract between a control and the window that hosts it.
//
// A control is an automation object (IDispatch for its properties and
// methods) that also answers IQvControl through QueryInterface. The host asks
// it for its widget under a parent of the host's choosing and hands it one
// event sink; every event the control raises reaches that sink as a single
// OnEvent call carrying the event's name and its parameters in order. Events
// may be raised at any time, also from inside a call the host is making on
// the control, so a sink must expect to be re-entered.

#include "platform/com/Unknown.h"
#include "platform/com/Variant.h"

class QWidget;

struct JX_CONTROLS_EXPORT IQvEventSink : IUnknown
{
    // `params` holds `count` arguments in natural order (parameter 0 first).
    // They stay owned by the control; a by-reference argument may be written
    // through. A failed result (with the thread's error information) means
    // the host's handling failed; the control passes it on to its caller.
    virtual HRESULT OnEvent(BSTR name, uint32_t count, VARIANT *params) = 0;
};

struct JX_CONTROLS_EXPORT IQvControl : IUnknown
{
    // Places the control's widget under `parent` (null keeps it unparented,
    // hidden) and returns it without transferring ownership: the widget lives
    // until its Qt parent deletes it or the control object is released.
    virtual HRESULT GetWidget(QWidget *parent, QWidget **widget) = 0;
    // Sets the one event sink; null disconnects. The control keeps a
    // reference until it is replaced or disconnected.
    virtual HRESULT Advise(IQvEventSink *sink) = 0;
};

// {3F7A9C10-5B2E-4D61-9A8B-1C2D3E4F5A60}
constexpr IID IID_IQvControl = {0x3F7A9C10, 0x5B2E, 0x4D61, {0x9A, 0x8B, 0x1C, 0x2D, 0x3E, 0x4F, 0x5A, 0x60}};
// {3F7A9C11-5B2E-4D61-9A8B-1C2D3E4F5A60}
constexpr IID IID_IQvEventSink = {0x3F7A9C11, 0x5B2E, 0x4D61, {0x9A, 0x8B, 0x1C, 0x2D, 0x3E, 0x4F, 0x5A, 0x60}};
