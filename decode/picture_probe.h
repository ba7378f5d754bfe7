#pragma once
// Picture probe port: a picture's kind and size from its file header alone,
// never a decoder; what the size and aspect filters go by. Thread-safe.
// The program's probe is the header reader over the platform's picture files
// (picture_file.h); tests script the answers.
#include <memory>
#include <string>

#include "decode/picture_header.h"

class PictureProbe {
 public:
  virtual ~PictureProbe() = default;
  // Unknown (0 x 0) when the file cannot be read or is none of the five formats.
  virtual PictureHeader Read(const std::string& path) = 0;
};

std::unique_ptr<PictureProbe> CreateHeaderProbe();
