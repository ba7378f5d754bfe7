#pragma once
// How the platform writes folder paths. Folder paths the program accepts or
// queues end with the separator; Windows uses "\" (local "C:\..." and network
// "\\server\share\..." paths), Linux "/" (absolute paths only).
struct PathStyle {
  char separator = '\\';
  bool windows = true;
};

inline constexpr PathStyle kWindowsPaths{'\\', true};
inline constexpr PathStyle kPosixPaths{'/', false};

// The style of the platform the program was built for.
PathStyle PlatformPathStyle();
