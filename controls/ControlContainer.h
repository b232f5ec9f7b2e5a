#pragma once

#include "jx_controls_export.h"

#include "controls/ControlSite.h"

#include <QStringList>

#include <vector>

namespace qvcontrols {

// The run-time control collection of a window: controls added by class name
// (created through the class registry, so they may live in any server
// library), each under a name unique in the window, each reporting its events
// to the window's one handler.
class JX_CONTROLS_EXPORT ControlContainer final
{
public:
    explicit ControlContainer(ControlEventHandler handler = {});
    ~ControlContainer();
    ControlContainer(const ControlContainer &) = delete;
    ControlContainer &operator=(const ControlContainer &) = delete;

    void setHandler(ControlEventHandler handler);

    // Creates the control, places its widget in `parent` (hidden until the
    // host shows it) and connects its events. Raises a com::RuntimeError when
    // the class cannot be created, is no control, or the name is taken.
    ControlSite *Add(const QString &progId, const QString &name, QWidget *parent);
    // Case-insensitive, as control names are; null when there is none.
    ControlSite *Item(const QString &name) const;
    // Disconnects and removes the control; false when there was none. Safe
    // while the control is raising an event or inside a call on it.
    bool Remove(const QString &name);
    QStringList Names() const;
    int Count() const { return static_cast<int>(m_sites.size()); }

private:
    ControlEventHandler m_handler;
    std::vector<com::ComPtr<ControlSite>> m_sites;
};

} // namespace qvcontrols
