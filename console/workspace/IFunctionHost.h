#pragma once

#include "platform/com/ComPtr.h"
#include "platform/com/Variant.h"

#include <QString>

#include <cstdint>

namespace jx {

// What a window hosting a function control does for the control's events;
// the main window and the function window each answer them their own way.
class IFunctionHost
{
public:
    virtual ~IFunctionHost() = default;

    // False for the main window's pages, true for a function window.
    virtual bool IsFunctionWindow() const = 0;
    // "message": the status text (empty: the wait text).
    virtual void ShowMessage(const QString &text) = 0;
    // "unload" with True: the control named `sender` asks to be closed.
    virtual void CloseRequested(const QString &sender) = 0;
    // "unload" with anything else.
    virtual void SetUnloadRequested(bool requested) = 0;
    // A detail request: opens a function window for the program number.
    virtual void OpenFunctionWindow(int32_t programNumber, const com::Variant &data, IDispatch *parameter,
                                    int16_t mode) = 0;
};

} // namespace jx
