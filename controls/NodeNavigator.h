#pragma once

#include "jx_controls_export.h"

#include <QRect>

#include <optional>
#include <vector>

namespace qvcontrols {

class qvPilot_S;

// Moves the keyboard focus between the nodes of one diagram page by where
// they are drawn: an arrow key goes to the nearest shown node whose centre
// lies that way, preferring nodes within 45 degrees of that way and, among
// them, nodes in line over nodes off to the side.
class JX_CONTROLS_EXPORT NodeNavigator final
{
public:
    enum class Direction { Left, Right, Up, Down };

    // The direction of an arrow key; none for any other key.
    static std::optional<Direction> directionOf(int key);
    // The candidate nearest to `from` in `direction`; -1 when none lies that way.
    static int nearest(const QRect &from, const std::vector<QRect> &candidates, Direction direction);
    // The shown, enabled sibling node nearest to `from`; null when none.
    static qvPilot_S *nearest(const qvPilot_S &from, Direction direction);
};

} // namespace qvcontrols
