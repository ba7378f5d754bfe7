// Linux: the share of a path is the mount it lies under, read from the
// kernel's mount table. The path itself is never touched: on a dead share
// even a look at it would block.
#include <cstdio>
#include <string>

#include "reader/share_watch.h"

namespace {

// Mount points in mountinfo escape blanks, tabs, new lines and backslashes as octal.
std::string Unescape(const std::string& field) {
  std::string out;
  for (std::size_t i = 0; i < field.size(); ++i) {
    const std::string digits = field[i] == '\\' ? field.substr(i + 1, 3) : "";
    if (digits.size() == 3 && digits.find_first_not_of("01234567") == std::string::npos) {
      out += static_cast<char>(std::stoi(digits, nullptr, 8));
      i += 3;
    } else {
      out += field[i];
    }
  }
  return out;
}

bool Under(const std::string& path, const std::string& mount) {
  if (mount == "/") return !path.empty() && path[0] == '/';
  return path.compare(0, mount.size(), mount) == 0 && (path.size() == mount.size() || path[mount.size()] == '/');
}

}  // namespace

std::string PlatformShareOf(const std::string& path) {
  std::string best;
  if (FILE* table = std::fopen("/proc/self/mountinfo", "r")) {
    char line[4096];
    while (std::fgets(line, sizeof line, table)) {
      // id parent major:minor root mount-point ...
      char point[4096];
      if (std::sscanf(line, "%*s %*s %*s %*s %4095s", point) != 1) continue;
      const std::string mount = Unescape(point);
      if (Under(path, mount) && mount.size() >= best.size()) best = mount;
    }
    std::fclose(table);
  }
  return best;
}
