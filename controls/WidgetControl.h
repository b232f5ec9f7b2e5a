#pragma once

#include "controls/ControlObject.h"

namespace qvcontrols {

// The control object of one of this library's widgets, so that a host can
// add it by class name like any other control. Its Qt properties become
// automation members and its Event signal reaches the host's sink.
template<typename T>
class WidgetControl final : public ControlObject
{
public:
    WidgetControl()
    {
        auto *widget = new T(nullptr);
        setWidget(widget);
        if constexpr (requires { &T::Event; }) {
            QObject::connect(widget, &T::Event, widget, [this](const QString &name, const QVariantList &params) {
                // Raised from the user's action: there is no caller to hand a
                // failure of the host to, and it must not unwind the event loop.
                try {
                    raiseEvent(name, params);
                } catch (const com::RuntimeError &e) {
                    qWarning("%s: %s", qPrintable(name), qPrintable(e.description()));
                }
            });
        }
    }
};

} // namespace qvcontrols
