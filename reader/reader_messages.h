#pragma once
// What the saver and its readers say to each other. Each message starts with
// its kind; the fields follow in the order the functions below write them.
// The saver asks, the reader answers; a folder's entries come in as many
// messages as they need, a picture in two steps (its size and working
// memory first, so the saver can make room before the decode).
#include <cstdint>
#include <string>
#include <vector>

#include "catalogue/file_system.h"
#include "platform/byte_reader.h"
#include "decode/picture_header.h"
#include "render/prepared_picture.h"

enum class ReaderCall : std::uint8_t {
  ListFolder = 1,   // folder -> Folder, Entries..., FolderEnd
  Attributes,       // path -> Attributes
  ResolveShortcut,  // folder, name -> Shortcut
  ReadHeader,       // path -> Header
  ReadStamp,        // path -> Stamp
  Prepare,          // request -> Sizing (then Decode or Skip) or Unreadable
  Decode,           // -> Working..., then Pixels (with the block) or Unreadable
  Skip,             // the picture is no longer wanted
};

enum class ReaderAnswer : std::uint8_t {
  Folder = 101,  // opened, identity
  Entries,       // count, then name and attributes each
  FolderEnd,
  Attributes,  // bits
  Shortcut,    // target path
  Header,      // header
  Stamp,       // modified, size
  Sizing,      // size, placement, day taken, working bytes
  Working,     // a decode still under way
  Pixels,      // size, placement, day taken, then width, height, stride and opacity of the block's pixels
  Unreadable,  // size, placement, day taken: nothing to draw
  Ready,       // sent once, when a started reader can take calls
};

// A message being written: its kind, then its fields.
class MessageWriter : public ByteWriter {
 public:
  explicit MessageWriter(ReaderCall call) { Put8(static_cast<std::uint8_t>(call)); }
  explicit MessageWriter(ReaderAnswer answer) { Put8(static_cast<std::uint8_t>(answer)); }
  void PutHeader(const PictureHeader& header);
  void PutFloat(float value);
  void PutPlacement(const PicturePlacement& placement);
  void PutRequest(const PictureRequest& request);
  void PutDate(const CalendarDate& date);
};

// A message being read: its kind, then its fields; ok() false once a field
// did not fit (a damaged message is no message).
class MessageReader : public ByteReader {
 public:
  explicit MessageReader(const std::string& message) : ByteReader(message.data(), message.size()) {}
  std::uint8_t Kind() { return U8(0); }
  bool Is(ReaderAnswer answer) { return Kind() == static_cast<std::uint8_t>(answer); }
  bool Is(ReaderCall call) { return Kind() == static_cast<std::uint8_t>(call); }
  // Positions the cursor on the first field.
  MessageReader& Fields() {
    Seek(1);
    return *this;
  }
  PictureHeader NextHeader();
  // Not a finite number: 0.
  float NextFloat();
  PicturePlacement NextPlacement();
  PictureRequest NextPictureRequest();
  // Not a day of the calendar: none (year 0).
  CalendarDate NextDate();
  // All the fields were there, and nothing more.
  bool Complete() const { return ok() && position() == size(); }
};
