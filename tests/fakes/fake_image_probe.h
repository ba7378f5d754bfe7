#pragma once
// Scripted picture sizes by path (0 x 0 for any other path), and a record of
// every file the admission check opened.
#include <map>
#include <string>
#include <vector>

#include "catalogue/image_probe.h"

class FakeImageProbe final : public ImageProbe {
 public:
  PictureSize Dimensions(const std::string& path) override {
    opened.push_back(path);
    auto it = sizes.find(path);
    return it == sizes.end() ? PictureSize{} : it->second;
  }
  std::map<std::string, PictureSize> sizes;
  std::vector<std::string> opened;
};
