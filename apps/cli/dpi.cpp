#include "dpi.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

namespace quiltora_cli {
namespace {

constexpr double kMetresPerInch = 0.0254;
constexpr uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

std::string LowerExtension(const std::string& path) {
  std::string extension = std::filesystem::path(path).extension().string();
  for (char& c : extension) c = char(std::tolower(static_cast<unsigned char>(c)));
  return extension;
}

uint32_t BigEndian32(const uint8_t* p) { return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3]; }
uint32_t LittleEndian32(const uint8_t* p) {
  return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
void PutBigEndian32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = uint8_t(v >> (24 - 8 * i));
}
void PutLittleEndian32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = uint8_t(v >> (8 * i));
}

// Pixels per metre as stored, read back as dpi: whole when the metre count is
// the rounding of a whole dpi.
double DpiOfPixelsPerMetre(uint32_t perMetre) {
  const double dpi = perMetre * kMetresPerInch;
  const double whole = std::round(dpi);
  return std::fabs(dpi - whole) <= 0.5 * kMetresPerInch + 1e-9 ? whole : dpi;
}

uint32_t PixelsPerMetre(double dpi) { return uint32_t(std::lround(dpi / kMetresPerInch)); }

bool ReadAt(std::ifstream& file, uint64_t offset, uint8_t* out, size_t count) {
  file.clear();
  file.seekg(std::streamoff(offset));
  file.read(reinterpret_cast<char*>(out), std::streamsize(count));
  return size_t(file.gcount()) == count;
}

// Walks the chunks up to the pixel data, so a huge file is not read whole.
std::optional<double> PngDpi(std::ifstream& file) {
  uint64_t offset = 8;
  uint8_t head[8];
  while (ReadAt(file, offset, head, 8)) {
    const uint32_t length = BigEndian32(head);
    if (std::memcmp(head + 4, "pHYs", 4) == 0 && length == 9) {
      uint8_t data[9];
      if (!ReadAt(file, offset + 8, data, 9) || data[8] != 1 || BigEndian32(data) == 0) return std::nullopt;
      return DpiOfPixelsPerMetre(BigEndian32(data));
    }
    if (std::memcmp(head + 4, "IDAT", 4) == 0 || std::memcmp(head + 4, "IEND", 4) == 0) break;
    offset += 12 + uint64_t(length);
  }
  return std::nullopt;
}

// The JFIF density of the first application segment: units 1 are dots per
// inch, 2 dots per centimetre, 0 a bare aspect ratio.
std::optional<double> JpegDpi(std::ifstream& file) {
  uint8_t head[18];
  if (!ReadAt(file, 0, head, sizeof head)) return std::nullopt;
  if (head[2] != 0xFF || head[3] != 0xE0 || std::memcmp(head + 6, "JFIF", 5) != 0) return std::nullopt;
  const int density = head[14] << 8 | head[15];
  if (density == 0) return std::nullopt;
  if (head[13] == 1) return double(density);
  if (head[13] == 2) return density * 2.54;
  return std::nullopt;
}

std::optional<double> BmpDpi(std::ifstream& file) {
  uint8_t head[46];
  if (!ReadAt(file, 0, head, sizeof head) || head[0] != 'B' || head[1] != 'M') return std::nullopt;
  if (LittleEndian32(head + 14) < 40) return std::nullopt;  // the old header has no resolution
  const uint32_t perMetre = LittleEndian32(head + 38);
  if (perMetre == 0 || perMetre > 0x7FFFFFFF) return std::nullopt;
  return DpiOfPixelsPerMetre(perMetre);
}

uint32_t Crc32(const uint8_t* data, size_t size) {
  static const std::array<uint32_t, 256> table = [] {
    std::array<uint32_t, 256> t{};
    for (uint32_t n = 0; n < 256; ++n) {
      uint32_t c = n;
      for (int k = 0; k < 8; ++k) c = (c & 1) != 0 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t[n] = c;
    }
    return t;
  }();
  uint32_t crc = 0xFFFFFFFFu;
  for (size_t i = 0; i < size; ++i) crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
  return crc ^ 0xFFFFFFFFu;
}

// Rewrites the PNG with one pHYs chunk right after the header chunk.
bool RecordPngDpi(const std::string& path, double dpi) {
  std::vector<uint8_t> bytes;
  {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  if (bytes.size() < 33 || std::memcmp(bytes.data(), kPngSignature, 8) != 0) return false;
  std::vector<uint8_t> out(bytes.begin(), bytes.begin() + 33);  // signature and IHDR
  uint8_t chunk[21] = {0, 0, 0, 9, 'p', 'H', 'Y', 's'};
  PutBigEndian32(chunk + 8, PixelsPerMetre(dpi));
  PutBigEndian32(chunk + 12, PixelsPerMetre(dpi));
  chunk[16] = 1;  // the unit is the metre
  PutBigEndian32(chunk + 17, Crc32(chunk + 4, 13));
  out.insert(out.end(), chunk, chunk + sizeof chunk);
  for (size_t offset = 33; offset + 12 <= bytes.size();) {
    const uint64_t end = offset + 12 + uint64_t(BigEndian32(&bytes[offset]));
    if (end > bytes.size()) return false;
    if (std::memcmp(&bytes[offset + 4], "pHYs", 4) != 0)
      out.insert(out.end(), bytes.begin() + long(offset), bytes.begin() + long(end));
    offset = size_t(end);
  }
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(reinterpret_cast<const char*>(out.data()), std::streamsize(out.size()));
  return bool(file);
}

// Patches bytes of a header in place.
bool Patch(const std::string& path, uint64_t offset, const uint8_t* bytes, size_t count) {
  std::fstream file(path, std::ios::binary | std::ios::in | std::ios::out);
  if (!file) return false;
  file.seekp(std::streamoff(offset));
  file.write(reinterpret_cast<const char*>(bytes), std::streamsize(count));
  return bool(file);
}

bool RecordJpegDpi(const std::string& path, double dpi) {
  uint8_t head[18];
  std::ifstream in(path, std::ios::binary);
  if (!ReadAt(in, 0, head, sizeof head) || head[2] != 0xFF || head[3] != 0xE0 || std::memcmp(head + 6, "JFIF", 5) != 0)
    return false;
  in.close();
  const long density = std::clamp(std::lround(dpi), 1L, 65535L);
  const uint8_t fields[5] = {1, uint8_t(density >> 8), uint8_t(density), uint8_t(density >> 8), uint8_t(density)};
  return Patch(path, 13, fields, sizeof fields);
}

bool RecordBmpDpi(const std::string& path, double dpi) {
  uint8_t head[18];
  std::ifstream in(path, std::ios::binary);
  if (!ReadAt(in, 0, head, sizeof head) || head[0] != 'B' || head[1] != 'M' || LittleEndian32(head + 14) < 40)
    return false;
  in.close();
  uint8_t fields[8];
  PutLittleEndian32(fields, PixelsPerMetre(dpi));
  PutLittleEndian32(fields + 4, PixelsPerMetre(dpi));
  return Patch(path, 38, fields, sizeof fields);
}

}  // namespace

std::optional<double> InputDpi(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  uint8_t magic[8];
  if (!file || !ReadAt(file, 0, magic, sizeof magic)) return std::nullopt;
  if (std::memcmp(magic, kPngSignature, 8) == 0) return PngDpi(file);
  if (magic[0] == 0xFF && magic[1] == 0xD8) return JpegDpi(file);
  if (magic[0] == 'B' && magic[1] == 'M') return BmpDpi(file);
  return std::nullopt;
}

bool RecordsDpi(const std::string& named) {
  const std::string extension = LowerExtension(named);
  return extension == ".png" || extension == ".bmp" || extension == ".jpg" || extension == ".jpeg";
}

bool RecordDpi(const std::string& path, const std::string& named, double dpi, std::string* error) {
  if (!RecordsDpi(named) || !(dpi > 0)) return true;
  const std::string extension = LowerExtension(named);
  bool done = false;
  if (extension == ".png") done = RecordPngDpi(path, dpi);
  else if (extension == ".bmp") done = RecordBmpDpi(path, dpi);
  else done = RecordJpegDpi(path, dpi);
  if (!done) *error = "cannot record the resolution in '" + named + "'";
  return done;
}

}  // namespace quiltora_cli
