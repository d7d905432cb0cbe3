#pragma once

// How the track list shows its rows. The numbers follow the view-style commands' order.
enum class EViewStyle { LargeIcons = 0, SmallIcons = 1, List = 2, Details = 3 };
