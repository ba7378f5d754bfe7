#pragma once
// A reader for Windows shortcut (.lnk, "shell link") files, for the builds
// that have no shell to ask. It reads only what leads to a local target: the
// local base path with its common suffix (LinkInfo) and the relative path
// (StringData). Every offset and length is checked: any input, however
// broken, gives a result or nullopt, never a read outside the bytes.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

struct ShellLinkPaths {
  std::string local_path;     // e.g. "C:\Photos\a.jpg"; empty when the link has none
  std::string relative_path;  // e.g. "..\Photos\a.jpg", relative to the link's folder
};

// Parses the bytes of a .lnk file; nullopt when they are not a shell link.
// Texts come back as UTF-8 (Unicode fields preferred; ANSI ones read as
// Windows-1252).
std::optional<ShellLinkPaths> ParseShellLink(const std::uint8_t* data, std::size_t size);

// Turns a path read from a link into a POSIX path. "X:\a\b" goes through
// drive_root('x') (the folder that stands for the drive, "" when unknown:
// then the result is ""); a relative path is taken from base_folder (ending
// with "/"). Network paths ("\\server\share") have no local meaning: "".
std::string LinkPathToPosix(const std::string& path, const std::string& base_folder,
                            const std::function<std::string(char)>& drive_root);
