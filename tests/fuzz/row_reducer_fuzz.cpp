// libFuzzer target for the row reducer: any sizes (negative, zero, larger
// output than source) and any number of rows stay inside its buffers, and
// once every row is in, each output value lies between the smallest and the
// largest source value of its channel. The commands are in
// tests/fuzz/CMakeLists.txt.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "decode/row_reducer.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 10) return 0;
  // Sides from -299 to 299; then a flag for an output buffer of the
  // caller's, the padding of its rows, and how many rows are fed.
  auto side = [&](int at) { return static_cast<std::int16_t>(data[at] | data[at + 1] << 8) % 300; };
  const int source_width = side(0), source_height = side(2), width = side(4), height = side(6);
  const bool own_buffer = data[8] & 1;
  const std::size_t padding = data[8] >> 1, rows = data[9];
  data += 10, size -= 10;

  std::vector<std::uint8_t> out;
  RowReducer probe(source_width, source_height, width, height);
  const std::size_t stride = static_cast<std::size_t>(probe.width()) * 4 + padding;
  if (own_buffer) out.assign(stride * static_cast<std::size_t>(probe.height()), 0);
  RowReducer reducer(source_width, source_height, width, height, own_buffer ? out.data() : nullptr, stride);
  if (reducer.width() != probe.width() || reducer.height() != probe.height()) std::abort();

  const std::size_t row_bytes = static_cast<std::size_t>(std::max(source_width, 1)) * 4;
  std::vector<std::uint8_t> row(row_bytes);
  std::uint8_t low[4] = {255, 255, 255, 255}, high[4] = {0, 0, 0, 0};
  std::size_t next = 0;
  for (std::size_t r = 0; r < rows; ++r) {
    for (std::size_t i = 0; i < row_bytes; ++i) row[i] = size ? data[next++ % size] : 0;
    if (r < static_cast<std::size_t>(std::max(source_height, 1)))
      for (std::size_t i = 0; i < row_bytes; ++i)
        low[i % 4] = std::min(low[i % 4], row[i]), high[i % 4] = std::max(high[i % 4], row[i]);
    reducer.AddRow(row.data());
  }
  if (rows < static_cast<std::size_t>(std::max(source_height, 1))) return 0;
  const std::uint8_t* pixels = own_buffer ? out.data() : reducer.pixels().data();
  const std::size_t pitch = own_buffer ? stride : static_cast<std::size_t>(reducer.width()) * 4;
  for (int y = 0; y < reducer.height(); ++y)
    for (std::size_t i = 0; i < static_cast<std::size_t>(reducer.width()) * 4; ++i) {
      const std::uint8_t value = pixels[y * pitch + i];
      if (value < low[i % 4] || value > high[i % 4]) std::abort();
    }
  return 0;
}
