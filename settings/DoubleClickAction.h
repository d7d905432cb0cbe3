#pragma once

// What a double-click or Enter in the track list runs. Stored in the profile
// (DoubleClickAction), so never renumbered; any other stored value runs nothing.
enum class EDoubleClickAction : int { Play = 0, Enqueue = 1, Properties = 2 };
