#pragma once

// The kind of an address; also the index of its image in the shared strip of small images.
enum class EAddressKind : int { None = 0, Drive = 1, Folder = 2, Favorites = 6 };
