#pragma once
// Numbers read from bytes the program did not write (picture headers,
// shortcuts, metafiles, EXIF blocks, messages from another process). Every
// read is checked against the block's end: a read that does not fit gives 0
// and marks the reader failed, so a parser reads on and checks ok() once.
#include <cstddef>
#include <cstdint>
#include <string>

class ByteReader {
 public:
  enum class Order { Little, Big };

  ByteReader(const void* data, std::size_t size, Order order = Order::Little)
      : data_(static_cast<const std::uint8_t*>(data)), size_(data ? size : 0), order_(order) {}

  std::size_t size() const { return size_; }
  const std::uint8_t* data() const { return data_; }
  bool ok() const { return ok_; }
  void set_order(Order order) { order_ = order; }
  // True when count bytes at offset lie inside the block (no mark on failure).
  bool Holds(std::size_t at, std::size_t count) const { return at <= size_ && count <= size_ - at; }

  // Numbers at an offset, in the reader's byte order.
  std::uint8_t U8(std::size_t at) { return static_cast<std::uint8_t>(Read(at, 1)); }
  std::uint16_t U16(std::size_t at) { return static_cast<std::uint16_t>(Read(at, 2)); }
  std::uint32_t U32(std::size_t at) { return static_cast<std::uint32_t>(Read(at, 4)); }
  std::uint64_t U64(std::size_t at) { return Read(at, 8); }
  std::int16_t S16(std::size_t at) { return static_cast<std::int16_t>(U16(at)); }
  std::int32_t S32(std::size_t at) { return static_cast<std::int32_t>(U32(at)); }
  // True when the bytes at offset are exactly `text` (its terminating NUL not included).
  template <std::size_t N>
  bool Matches(std::size_t at, const char (&text)[N]) const {
    if (!Holds(at, N - 1)) return false;
    for (std::size_t i = 0; i + 1 < N; ++i)
      if (data_[at + i] != static_cast<std::uint8_t>(text[i])) return false;
    return true;
  }

  // The same, reading on from a cursor that each read moves past what it read.
  std::size_t position() const { return position_; }
  void Seek(std::size_t at) { position_ = at; }
  std::uint8_t Next8() { return static_cast<std::uint8_t>(Advance(1)); }
  std::uint16_t Next16() { return static_cast<std::uint16_t>(Advance(2)); }
  std::uint32_t Next32() { return static_cast<std::uint32_t>(Advance(4)); }
  std::uint64_t Next64() { return Advance(8); }
  // A text written by ByteWriter::PutText: its length, then its bytes.
  std::string NextCountedText() { return NextText(Next32()); }
  // count bytes as text; "" (and failed) when they do not fit.
  std::string NextText(std::size_t count) {
    if (!Holds(position_, count)) return Fail(), std::string();
    std::string text(reinterpret_cast<const char*>(data_ + position_), count);
    position_ += count;
    return text;
  }

 private:
  std::uint64_t Read(std::size_t at, std::size_t count) {
    if (!Holds(at, count)) return Fail(), 0;
    std::uint64_t value = 0;
    for (std::size_t i = 0; i < count; ++i) {
      const std::size_t byte = order_ == Order::Little ? count - 1 - i : i;
      value = value << 8 | data_[at + byte];
    }
    return value;
  }
  std::uint64_t Advance(std::size_t count) {
    const std::uint64_t value = Read(position_, count);
    if (ok_) position_ += count;
    return value;
  }
  void Fail() { ok_ = false; }

  const std::uint8_t* data_;
  std::size_t size_;
  Order order_;
  std::size_t position_ = 0;
  bool ok_ = true;
};

// Numbers and texts appended little-endian, as ByteReader's cursor reads them.
class ByteWriter {
 public:
  void Put8(std::uint8_t value) { bytes_ += static_cast<char>(value); }
  void Put16(std::uint16_t value) { Put(value, 2); }
  void Put32(std::uint32_t value) { Put(value, 4); }
  void Put64(std::uint64_t value) { Put(value, 8); }
  // A length, then the text's bytes.
  void PutText(const std::string& text) {
    Put32(static_cast<std::uint32_t>(text.size()));
    bytes_ += text;
  }
  const std::string& bytes() const { return bytes_; }

 private:
  void Put(std::uint64_t value, int count) {
    for (int i = 0; i < count; ++i) bytes_ += static_cast<char>(value >> (8 * i) & 0xFF);
  }
  std::string bytes_;
};
