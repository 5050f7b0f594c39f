#pragma once
// How the desktop knows the program: the desktop entry's id, also the name of the icon and of the autostart
// entry. dist/desktop holds the files named after it.
inline constexpr const char* kDesktopId = "cn.orlin.Quillet";
