#pragma once

#include "toolbar/QvToolbarExport.h"

#include <QEvent>
#include <QObject>

#include <cstdint>

namespace qvtoolbar {

// What a subclassed window's chosen messages are shown to. The message's
// parameters travel in the Qt event itself.
class QVTOOLBAR_EXPORT ISubclassingSink
{
public:
    // After the window's own handling; lReturn is its result (1 = handled).
    virtual void After(int32_t &lReturn, QObject *hWnd, int32_t uMsg, QEvent *event) = 0;
    // Before the window's own handling; setting bHandled stops the message
    // there, and lReturn becomes its result.
    virtual void Before(bool &bHandled, int32_t &lReturn, QObject *hWnd, int32_t &uMsg, QEvent *event) = 0;

protected:
    ~ISubclassingSink() = default;
};

} // namespace qvtoolbar
