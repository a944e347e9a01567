// Fuzzes the reader of a JPEG's quantisation tables: whatever the bytes, it reads nothing
// outside them, and what it finds is a quality the encoders know and a finite step.
#include "engine/imaging/JpegQuality.h"
#include "tests/fuzz/FuzzSupport.h"

#include <cmath>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  namespace jq = lumora::jpegquality;
  const auto found = jq::fromHeader(fuzzsupport::bytes(data, size));
  if (found) {
    fuzzsupport::check(found->quality >= 1 && found->quality <= 100);
    fuzzsupport::check(std::isfinite(found->detailStep) && found->detailStep >= 0 &&
                       found->detailStep <= 65535);
  }
  // Any 64 steps, as a table of 16-bit entries from the input, have a nearest quality.
  std::uint16_t table[64]{};
  for (std::size_t i = 0; i < 64 && 2 * i + 1 < size; ++i) {
    table[i] = static_cast<std::uint16_t>(data[2 * i] << 8 | data[2 * i + 1]);
  }
  const int quality = jq::nearestQuality(table);
  fuzzsupport::check(quality >= 1 && quality <= 100);
  return 0;
}
