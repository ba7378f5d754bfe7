// Windows: the share of a path is its UNC server ("\\server\") or its drive ("C:").
#include <cctype>
#include <string>

#include "reader/share_watch.h"

std::string PlatformShareOf(const std::string& path) {
  if (path.size() >= 2 && (path[0] == '\\' || path[0] == '/') && (path[1] == '\\' || path[1] == '/')) {
    const std::size_t end = path.find_first_of("\\/", 2);
    std::string server = path.substr(2, end == std::string::npos ? std::string::npos : end - 2);
    for (char& c : server) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return "\\\\" + server + "\\";
  }
  if (path.size() >= 2 && path[1] == ':')
    return std::string(1, static_cast<char>(std::toupper(static_cast<unsigned char>(path[0])))) + ":";
  return "";
}
