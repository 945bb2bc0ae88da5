// chart_corners.h - the conventional corners of a keycap: Shift above,
// AltGr on the right.  Plain bottom left, Shift top left, AltGr bottom
// right, AltGr+Shift top right.
#pragma once

#include "chart/chart_levels.h"
#include "chart/svg_elements.h"

namespace wendol::chart {

enum class Side { Left, Right };
enum class Edge { Top, Bottom };

inline Side side_of(Level level)
{
    return level == Level::AltGr || level == Level::AltGrShift ? Side::Right : Side::Left;
}

inline Edge edge_of(Level level)
{
    return level == Level::Shift || level == Level::AltGrShift ? Edge::Top : Edge::Bottom;
}

// Text on the left side starts at the box's left edge; on the right side
// it ends at the right edge.
inline const char *anchor_of(Side side)
{
    return side == Side::Left ? "start" : "end";
}

inline double anchor_x(Box box, Side side)
{
    return side == Side::Left ? box.x : box.x + box.w;
}

}  // namespace wendol::chart
