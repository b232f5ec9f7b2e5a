#include "controls/NodeNavigator.h"

#include "controls/qvPilot_S.h"

#include <cstdlib>
#include <limits>

namespace qvcontrols {

std::optional<NodeNavigator::Direction> NodeNavigator::directionOf(int key)
{
    switch (key) {
    case Qt::Key_Left:
        return Direction::Left;
    case Qt::Key_Right:
        return Direction::Right;
    case Qt::Key_Up:
        return Direction::Up;
    case Qt::Key_Down:
        return Direction::Down;
    default:
        return std::nullopt;
    }
}

int NodeNavigator::nearest(const QRect &from, const std::vector<QRect> &candidates, Direction direction)
{
    const QPoint origin = from.center();
    int best = -1;
    bool bestInCone = false;
    long long bestScore = std::numeric_limits<long long>::max();
    for (size_t i = 0; i < candidates.size(); ++i) {
        const QPoint d = candidates[i].center() - origin;
        long long along = 0;
        long long across = 0;
        switch (direction) {
        case Direction::Left:
            along = -d.x(), across = d.y();
            break;
        case Direction::Right:
            along = d.x(), across = d.y();
            break;
        case Direction::Up:
            along = -d.y(), across = d.x();
            break;
        case Direction::Down:
            along = d.y(), across = d.x();
            break;
        }
        if (along <= 0)
            continue;
        // Nodes within 45 degrees of the key's direction come first; among
        // them sideways distance weighs double, so the node in the same row
        // or column wins over a nearer one off to the side.
        const bool inCone = std::llabs(across) <= along;
        const long long score = along + 2 * std::llabs(across);
        if ((inCone && !bestInCone) || (inCone == bestInCone && score < bestScore)) {
            bestInCone = inCone;
            bestScore = score;
            best = static_cast<int>(i);
        }
    }
    return best;
}

qvPilot_S *NodeNavigator::nearest(const qvPilot_S &from, Direction direction)
{
    QWidget *page = from.parentWidget();
    if (!page)
        return nullptr;
    std::vector<qvPilot_S *> nodes;
    std::vector<QRect> rects;
    for (qvPilot_S *node : page->findChildren<qvPilot_S *>(Qt::FindDirectChildrenOnly)) {
        if (node == &from || !node->isVisible() || !node->isEnabled())
            continue;
        nodes.push_back(node);
        rects.push_back(node->geometry());
    }
    const int i = nearest(from.geometry(), rects, direction);
    return i < 0 ? nullptr : nodes[static_cast<size_t>(i)];
}

} // namespace qvcontrols
