// Bitmap files made byte by byte for the reader's tests, and temporary files.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "image/image_buffer.h"

namespace quiltora::bmptest {

using Bgr = std::array<uint8_t, 3>;
using Bytes = std::vector<uint8_t>;

// A bitmap described field by field; BuildBmp lays it out. Rows are given in
// file order without padding; BuildBmp pads them to 4 bytes.
struct BmpFields {
  uint32_t headerBytes = 40;  // 12, 40, 108, 124 or anything a hostile file says
  int32_t width = 1;
  int32_t height = 1;
  uint16_t planes = 1;
  uint16_t bitCount = 24;
  uint32_t compression = 0;
  uint32_t coloursUsed = 0;
  std::vector<Bgr> table;      // 3 bytes an entry after a 12-byte header, else 4
  std::vector<Bytes> rows;     // file order
  int64_t rowsOffset = -1;     // -1: straight after the table
  uint32_t gapBytes = 0;       // filler between table and rows (with rowsOffset -1)
  bool padLastRow = true;
};

inline void Put16(Bytes& out, size_t at, uint32_t value) {
  out[at] = uint8_t(value);
  out[at + 1] = uint8_t(value >> 8);
}

inline void Put32(Bytes& out, size_t at, uint32_t value) {
  Put16(out, at, value);
  Put16(out, at + 2, value >> 16);
}

inline Bytes BuildBmp(const BmpFields& fields) {
  const bool core = fields.headerBytes == 12;
  // Header bytes past the 40 the reader knows are filled with junk, so a
  // reader that looks for the colour table in the wrong place is caught.
  // Hostile sizes (below 40, or huge) get the 40 bytes the fields need.
  const bool plausible = fields.headerBytes >= 40 && fields.headerBytes < 1024;
  Bytes out(14 + size_t(core ? 12 : plausible ? fields.headerBytes : 40), 0xEE);
  out[0] = 'B';
  out[1] = 'M';
  Put32(out, 2, 0);
  Put32(out, 6, 0);
  Put32(out, 14, fields.headerBytes);
  if (core) {
    Put16(out, 18, uint32_t(fields.width));
    Put16(out, 20, uint32_t(fields.height));
    Put16(out, 22, fields.planes);
    Put16(out, 24, fields.bitCount);
  } else {
    Put32(out, 18, uint32_t(fields.width));
    Put32(out, 22, uint32_t(fields.height));
    Put16(out, 26, fields.planes);
    Put16(out, 28, fields.bitCount);
    Put32(out, 30, fields.compression);
    Put32(out, 34, 0);
    Put32(out, 38, 0);
    Put32(out, 42, 0);
    Put32(out, 46, fields.coloursUsed);
    Put32(out, 50, 0);
  }
  for (const Bgr& entry : fields.table) {
    out.insert(out.end(), entry.begin(), entry.end());
    if (!core) out.push_back(0);
  }
  out.insert(out.end(), fields.gapBytes, 0xAB);
  Put32(out, 10, fields.rowsOffset >= 0 ? uint32_t(fields.rowsOffset) : uint32_t(out.size()));
  for (size_t i = 0; i < fields.rows.size(); ++i) {
    out.insert(out.end(), fields.rows[i].begin(), fields.rows[i].end());
    const bool last = i + 1 == fields.rows.size();
    if (!last || fields.padLastRow) out.insert(out.end(), (4 - fields.rows[i].size() % 4) % 4, 0);
  }
  Put32(out, 2, uint32_t(out.size()));
  return out;
}

// A file in the test's temporary folder, removed with the object.
class TempFile {
 public:
  explicit TempFile(const std::string& name) : path_(::testing::TempDir() + "quiltora_" + name) {}
  ~TempFile() { std::remove(path_.c_str()); }
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;

  const char* path() const { return path_.c_str(); }

  void Write(const Bytes& bytes) const {
    std::FILE* file = std::fopen(path_.c_str(), "wb");
    ASSERT_NE(file, nullptr) << path_;
    ASSERT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), file), bytes.size());
    std::fclose(file);
  }

  Bytes Read() const {
    Bytes bytes;
    std::FILE* file = std::fopen(path_.c_str(), "rb");
    if (file == nullptr) return bytes;
    for (int c = std::fgetc(file); c != EOF; c = std::fgetc(file)) bytes.push_back(uint8_t(c));
    std::fclose(file);
    return bytes;
  }

 private:
  std::string path_;
};

inline Bgr PixelOf(const ImageBuffer& buffer, int32_t x, int32_t y) {
  const uint8_t* p = ImageBufferPixel(&buffer, x, y);
  return {p[0], p[1], p[2]};
}

}  // namespace quiltora::bmptest
