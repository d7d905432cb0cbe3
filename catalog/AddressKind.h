#pragma once

// The kind of an address; also the index of its image in the shared strip of small images.
inline constexpr int kAddressDrive = 1;
inline constexpr int kAddressFolder = 2;
inline constexpr int kAddressFavorites = 6;
