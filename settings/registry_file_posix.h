#pragma once
// The file system side of the .reg-file registry on Linux/POSIX.
#include <cstddef>
#include <functional>
#include <memory>
#include <string>

#include "settings/registry_file.h"

struct PosixRegFileOptions {
  // Larger files are not read (and so never overwritten): a settings file
  // is a few kilobytes.
  std::size_t max_file_size = 16u << 20;
  // Runs after the new content is written and synced to the temporary file,
  // just before it replaces the real one; tests use it to stage a crash.
  std::function<void()> before_rename;
};

std::unique_ptr<RegFileIo> CreatePosixRegFileIo(PosixRegFileOptions options = {});

// $XDG_CONFIG_HOME/glimmora/user.reg (default ~/.config/glimmora/user.reg) and
// /etc/glimmora/machine.reg.
RegFilePaths PlatformRegFilePaths();
