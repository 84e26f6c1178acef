#include <climits>
#include <cstring>
#include <memory>
#include <new>

#include "common/checked.h"
#include "files/bmp_file.h"

namespace quiltora {
namespace {

constexpr int64_t kFileHeaderBytes = 14;
constexpr uint32_t kCoreHeaderBytes = 12;
constexpr uint32_t kInfoHeaderBytes = 40;
constexpr int32_t kMaxTableEntries = 256;
// Every file position goes through fseek, whose offset is a 32-bit long on Windows.
constexpr int64_t kMaxFilePosition = INT32_MAX;

// Where the parts of a file lie and how its rows are laid out, all checked.
struct BmpLayout {
  int32_t width = 0;
  int32_t height = 0;  // positive; topDown tells the storage order
  bool topDown = false;
  int32_t bitCount = 0;  // 1, 4, 8 or 24
  int32_t tableEntries = 0;
  int32_t tableEntryBytes = 4;  // 3 after a 12-byte header
  int64_t tableOffset = 0;
  int64_t rowsOffset = 0;
  int32_t fileRowBytes = 0;  // padded to 4 bytes
  int32_t rowDataBytes = 0;  // without the padding
};

struct Palette {
  uint8_t bgr[kMaxTableEntries][3];
};

using RowExpander = void (*)(uint8_t* dst, const uint8_t* src, int32_t width, const Palette& palette);

uint32_t Get16(const uint8_t* p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8; }
uint32_t Get32(const uint8_t* p) { return Get16(p) | Get16(p + 2) << 16; }

bool SeekTo(std::FILE* file, int64_t offset) {
  return offset >= 0 && offset <= kMaxFilePosition && std::fseek(file, long(offset), SEEK_SET) == 0;
}

bool ReadAt(std::FILE* file, int64_t offset, void* dst, size_t bytes) {
  return SeekTo(file, offset) && std::fread(dst, 1, bytes, file) == bytes;
}

bool ReadNext(std::FILE* file, void* dst, size_t bytes) { return std::fread(dst, 1, bytes, file) == bytes; }

void Expand8(uint8_t* dst, const uint8_t* src, int32_t width, const Palette& palette) {
  for (int32_t x = 0; x < width; ++x, dst += 3) std::memcpy(dst, palette.bgr[src[x]], 3);
}

// Even columns take the high half of the byte, odd columns the low half.
void Expand4(uint8_t* dst, const uint8_t* src, int32_t width, const Palette& palette) {
  for (int32_t x = 0; x < width; ++x, dst += 3) {
    const uint8_t packed = src[x >> 1];
    std::memcpy(dst, palette.bgr[(x & 1) != 0 ? packed & 0x0F : packed >> 4], 3);
  }
}

// The leftmost pixel is the most significant bit.
void Expand1(uint8_t* dst, const uint8_t* src, int32_t width, const Palette& palette) {
  for (int32_t x = 0; x < width; ++x, dst += 3)
    std::memcpy(dst, palette.bgr[(src[x >> 3] >> (7 - (x & 7))) & 1], 3);
}

RowExpander ChooseExpander(int32_t bitCount) {
  switch (bitCount) {
    case 8: return Expand8;
    case 4: return Expand4;
    case 1: return Expand1;
    default: return nullptr;
  }
}

bool IsSupportedBitCount(uint32_t bitCount) {
  return bitCount == 1 || bitCount == 4 || bitCount == 8 || bitCount == 24;
}

// The fields both header forms share, before they are checked.
struct RawHeader {
  uint32_t headerBytes = 0;
  int64_t width = 0;
  int64_t height = 0;
  uint32_t planes = 0;
  uint32_t bitCount = 0;
  uint32_t compression = 0;
  uint32_t coloursUsed = 0;
  uint32_t rowsOffset = 0;
};

// Reads the file header and the bitmap header. The 12-byte form has unsigned
// 16-bit sizes; every longer form starts with the 40-byte layout.
int32_t ReadRawHeader(std::FILE* file, RawHeader* raw) {
  uint8_t bytes[kFileHeaderBytes + kInfoHeaderBytes];
  if (!ReadAt(file, 0, bytes, kFileHeaderBytes + 4)) return kBmpNotValid;
  if (bytes[0] != 'B' || bytes[1] != 'M') return kBmpNotValid;
  raw->rowsOffset = Get32(bytes + 10);
  raw->headerBytes = Get32(bytes + 14);
  const uint8_t* header = bytes + kFileHeaderBytes;
  if (raw->headerBytes == kCoreHeaderBytes) {
    if (!ReadNext(file, bytes + 18, 8)) return kBmpNotValid;
    raw->width = Get16(header + 4);
    raw->height = Get16(header + 6);
    raw->planes = Get16(header + 8);
    raw->bitCount = Get16(header + 10);
    return kBmpOk;
  }
  if (raw->headerBytes < kInfoHeaderBytes) return kBmpNotValid;
  if (!ReadNext(file, bytes + 18, kInfoHeaderBytes - 4)) return kBmpNotValid;
  raw->width = int32_t(Get32(header + 4));
  raw->height = int32_t(Get32(header + 8));
  raw->planes = Get16(header + 12);
  raw->bitCount = Get16(header + 14);
  raw->compression = Get32(header + 16);
  raw->coloursUsed = Get32(header + 32);
  return kBmpOk;
}

// Checks the header's numbers against each other and against the reader's
// limits, before anything is allocated or read on their word.
int32_t CheckLayout(const RawHeader& raw, BmpLayout* layout) {
  if (raw.compression != 0 || raw.planes != 1 || !IsSupportedBitCount(raw.bitCount)) return kBmpNotValid;
  if (raw.width <= 0 || raw.height == 0 || raw.height == INT32_MIN) return kBmpNotValid;
  layout->width = int32_t(raw.width);
  layout->topDown = raw.height < 0;
  layout->height = int32_t(raw.height < 0 ? -raw.height : raw.height);
  layout->bitCount = int32_t(raw.bitCount);
  if (layout->bitCount != 24) {
    const uint32_t indexRange = 1u << layout->bitCount;
    if (raw.coloursUsed > indexRange) return kBmpNotValid;
    layout->tableEntries = int32_t(raw.coloursUsed != 0 ? raw.coloursUsed : indexRange);
  }
  layout->tableEntryBytes = raw.headerBytes == kCoreHeaderBytes ? 3 : 4;
  layout->tableOffset = kFileHeaderBytes + int64_t{raw.headerBytes};
  layout->rowsOffset = raw.rowsOffset;
  return kBmpOk;
}

int32_t ReadHeader(std::FILE* file, BmpLayout* layout) {
  RawHeader raw;
  const int32_t code = ReadRawHeader(file, &raw);
  return code != kBmpOk ? code : CheckLayout(raw, layout);
}

// The colour table starts right after the bitmap header, however long it is.
int32_t ReadPalette(std::FILE* file, const BmpLayout& layout, Palette* palette) {
  std::memset(palette, 0, sizeof *palette);
  if (layout.tableEntries == 0) return kBmpOk;
  uint8_t table[kMaxTableEntries * 4];
  const int32_t entryBytes = layout.tableEntryBytes;
  if (!ReadAt(file, layout.tableOffset, table, size_t(layout.tableEntries) * size_t(entryBytes))) return kBmpReadError;
  for (int32_t i = 0; i < layout.tableEntries; ++i) std::memcpy(palette->bgr[i], table + i * entryBytes, 3);
  return kBmpOk;
}

// Sizes the rows once the picture is known to be within the reader's limits, then
// makes sure the file holds them, so that a few hostile bytes cannot make the
// reader allocate for a picture that is not there. The last row may lack its padding.
int32_t CheckRows(std::FILE* file, BmpLayout* layout) {
  if (layout->width > kMaxBmpSide || layout->height > kMaxBmpSide ||
      int64_t{layout->width} * layout->height > kMaxBmpPixels)
    return kBmpLowMemory;
  const int64_t rowBits = int64_t{layout->width} * layout->bitCount;
  layout->fileRowBytes = int32_t((rowBits + 31) / 32 * 4);
  layout->rowDataBytes = int32_t((rowBits + 7) / 8);
  if (layout->rowsOffset < layout->tableOffset) return kBmpReadError;
  const int64_t end =
      layout->rowsOffset + int64_t{layout->fileRowBytes} * (layout->height - 1) + layout->rowDataBytes;
  if (end > kMaxFilePosition || !SeekTo(file, end - 1) || std::fgetc(file) == EOF) return kBmpReadError;
  return kBmpOk;
}

// Reads the rows in file order into their upright places in the picture.
int32_t ReadRows(std::FILE* file, const BmpLayout& layout, const Palette& palette, ImageBuffer* picture) {
  const RowExpander expand = ChooseExpander(layout.bitCount);
  std::unique_ptr<uint8_t[]> fileRow;
  if (expand != nullptr) {
    fileRow.reset(new (std::nothrow) uint8_t[size_t(layout.fileRowBytes)]);
    if (fileRow == nullptr) return kBmpLowMemory;
  }
  if (!SeekTo(file, layout.rowsOffset)) return kBmpReadError;
  for (int32_t i = 0; i < layout.height; ++i) {
    const int32_t y = layout.topDown ? i : layout.height - 1 - i;
    uint8_t* row = ImageBufferPixel(picture, 0, y);
    const int32_t length = i == layout.height - 1 ? layout.rowDataBytes : layout.fileRowBytes;
    if (!ReadNext(file, expand != nullptr ? fileRow.get() : row, size_t(length))) return kBmpReadError;
    if (expand != nullptr) {
      expand(row, fileRow.get(), layout.width, palette);
      std::memset(row + layout.width * 3, 0, size_t(picture->rowBytes - layout.width * 3));
    } else if (length < picture->rowBytes) {
      std::memset(row + length, 0, size_t(picture->rowBytes - length));
    }
  }
  return kBmpOk;
}

}  // namespace

int32_t ReadBmpStream(std::FILE* file, ImageBuffer** picture) {
  *picture = nullptr;
  BmpLayout layout;
  Palette palette;
  int32_t code = ReadHeader(file, &layout);
  if (code == kBmpOk) code = ReadPalette(file, layout, &palette);
  if (code == kBmpOk) code = CheckRows(file, &layout);
  if (code != kBmpOk) return code;
  ImageBufferPtr buffer(ImageBufferCreate(kFormatBGR24, layout.width, layout.height));
  if (buffer == nullptr) return kBmpLowMemory;
  code = ReadRows(file, layout, palette, buffer.get());
  if (code == kBmpOk) *picture = buffer.release();
  return code;
}

int32_t ReadBmpFile(const char* path, ImageBuffer** picture) {
  *picture = nullptr;
  std::FILE* file = path != nullptr ? std::fopen(path, "rb") : nullptr;
  if (file == nullptr) return kBmpOpenError;
  const int32_t code = ReadBmpStream(file, picture);
  std::fclose(file);
  return code;
}

int32_t ReadBmpFile(const char* pathField, size_t fieldSize, ImageBuffer** picture) {
  *picture = nullptr;
  if (pathField == nullptr || std::memchr(pathField, '\0', fieldSize) == nullptr) return kBmpOpenError;
  return ReadBmpFile(pathField, picture);
}

}  // namespace quiltora
