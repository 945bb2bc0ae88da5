// chart_layers.h - the layers beyond the four levels: the sets of the
// layout's further modifier keys (a Kana key, a second level key of its
// own) that select columns with characters no standard level reads, each
// with the keys to hold, their names and the levels its columns take.
#pragma once

#include <vector>

#include "chart/chart_levels.h"
#include "engine/keymap.h"

namespace wendol::chart {

// In the order of the lowest modifier bits that select each layer's first
// column; empty on a layout whose columns the four levels all read.  Ctrl
// without Alt is left off, as ever: it gives control characters.
std::vector<Layer> extra_layers(const Keymap &keymap);

}  // namespace wendol::chart
