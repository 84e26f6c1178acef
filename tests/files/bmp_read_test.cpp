#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <functional>

#include "bmp_test_util.h"
#include "files/bmp_file.h"

namespace quiltora {
namespace {

using namespace bmptest;

constexpr Bgr kRed{0, 0, 255};
constexpr Bgr kGreen{0, 255, 0};
constexpr Bgr kBlue{255, 0, 0};
constexpr Bgr kBlack{0, 0, 0};

Bytes Row24(const std::vector<Bgr>& pixels) {
  Bytes row;
  for (const Bgr& p : pixels) row.insert(row.end(), p.begin(), p.end());
  return row;
}

std::vector<Bgr> GrayTable() {
  std::vector<Bgr> table;
  for (int i = 0; i < 256; ++i) table.push_back({uint8_t(i), uint8_t(i), uint8_t(i)});
  return table;
}

// 16 entries that differ in every channel.
std::vector<Bgr> SixteenColours() {
  std::vector<Bgr> table;
  for (int i = 0; i < 16; ++i) table.push_back({uint8_t(i * 16), uint8_t(255 - i * 16), uint8_t(i + 1)});
  return table;
}

std::vector<Bgr> CoreTable() {
  std::vector<Bgr> table;
  for (int i = 0; i < 256; ++i) table.push_back({uint8_t(i), uint8_t(255 - i), uint8_t(i / 2)});
  return table;
}

struct ValidCase {
  const char* name;
  BmpFields fields;
  std::vector<std::vector<Bgr>> expected;  // top row first
};

std::vector<ValidCase> ValidCases() {
  const Bgr a{1, 2, 3}, b{4, 5, 6}, c{7, 8, 9}, d{10, 11, 12}, e{13, 14, 15}, f{16, 17, 18};
  const auto sixteen = SixteenColours();
  const auto core = CoreTable();
  std::vector<ValidCase> cases;
  {
    BmpFields s;
    s.width = 3, s.height = 2, s.rows = {Row24({a, b, c}), Row24({d, e, f})};
    cases.push_back({"24-bit stored bottom row first", s, {{d, e, f}, {a, b, c}}});
  }
  {
    BmpFields s;
    s.width = 3, s.height = -2, s.rows = {Row24({a, b, c}), Row24({d, e, f})};
    cases.push_back({"24-bit top-down", s, {{a, b, c}, {d, e, f}}});
  }
  {
    BmpFields s;
    s.width = 5, s.height = 3;
    s.rows = {Row24({a, b, c, d, e}), Row24({f, e, d, c, b}), Row24({kRed, kGreen, kBlue, a, f})};
    cases.push_back({"24-bit odd width", s, {{kRed, kGreen, kBlue, a, f}, {f, e, d, c, b}, {a, b, c, d, e}}});
  }
  {
    BmpFields s;
    s.width = 3, s.height = 2, s.bitCount = 8, s.table = GrayTable(), s.rows = {{0, 128, 255}, {7, 8, 9}};
    cases.push_back({"8-bit gray table", s, {{{7, 7, 7}, {8, 8, 8}, {9, 9, 9}}, {{0, 0, 0}, {128, 128, 128}, {255, 255, 255}}}});
  }
  {
    BmpFields s;
    s.width = 4, s.bitCount = 8, s.coloursUsed = 3, s.table = {kRed, kGreen, kBlue}, s.rows = {{0, 1, 2, 7}};
    cases.push_back({"8-bit short table, index past it is black", s, {{kRed, kGreen, kBlue, kBlack}}});
  }
  {
    BmpFields s;
    s.headerBytes = 124, s.width = 3, s.bitCount = 8, s.coloursUsed = 2, s.table = {a, b}, s.rows = {{1, 0, 1}};
    cases.push_back({"V5 header, table after it", s, {{b, a, b}}});
  }
  {
    BmpFields s;
    s.headerBytes = 108, s.width = 2, s.height = -1, s.rows = {Row24({c, d})};
    cases.push_back({"V4 header 24-bit", s, {{c, d}}});
  }
  {
    BmpFields s;
    // Pixels 1,0,1,1,0,0,0,1 | 1,0 and set bits past the row's end that must be ignored.
    s.width = 10, s.bitCount = 1, s.table = {kRed, kBlue}, s.rows = {{0xB1, 0xBF}};
    cases.push_back({"1-bit two-entry table", s, {{kBlue, kRed, kBlue, kBlue, kRed, kRed, kRed, kBlue, kBlue, kRed}}});
  }
  {
    BmpFields s;
    s.width = 5, s.height = 2, s.bitCount = 4, s.table = sixteen, s.rows = {{0x12, 0x34, 0x5F}, {0xFE, 0xDC, 0xB0}};
    cases.push_back({"4-bit width 5, high half first",
                     s,
                     {{sixteen[15], sixteen[14], sixteen[13], sixteen[12], sixteen[11]},
                      {sixteen[1], sixteen[2], sixteen[3], sixteen[4], sixteen[5]}}});
  }
  {
    BmpFields s;
    s.headerBytes = 12, s.width = 3, s.bitCount = 8, s.table = core, s.rows = {{0, 200, 255}};
    cases.push_back({"12-byte header, 3-byte table entries", s, {{core[0], core[200], core[255]}}});
  }
  {
    BmpFields s;
    s.width = 2, s.gapBytes = 6, s.rows = {Row24({e, f})};
    cases.push_back({"rows found by their offset", s, {{e, f}}});
  }
  {
    BmpFields s;
    s.width = 1, s.height = 2, s.padLastRow = false, s.rows = {Row24({a}), Row24({b})};
    cases.push_back({"last row without padding", s, {{b}, {a}}});
  }
  return cases;
}

TEST(BmpRead, ValidFilesGiveUprightBgrPictures) {
  TempFile file("valid.bmp");
  for (const ValidCase& c : ValidCases()) {
    SCOPED_TRACE(c.name);
    file.Write(BuildBmp(c.fields));
    ImageBuffer* raw = nullptr;
    ASSERT_EQ(ReadBmpFile(file.path(), &raw), kBmpOk);
    ImageBufferPtr picture(raw);
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->format, kFormatBGR24);
    ASSERT_EQ(picture->height, int32_t(c.expected.size()));
    ASSERT_EQ(picture->width, int32_t(c.expected[0].size()));
    for (int32_t y = 0; y < picture->height; ++y)
      for (int32_t x = 0; x < picture->width; ++x)
        EXPECT_EQ(PixelOf(*picture, x, y), c.expected[size_t(y)][size_t(x)]) << "pixel " << x << ", " << y;
  }
}

// Rows longer than any fixed read piece (here 98,304 bytes) are read whole,
// up to the widest picture the reader takes.
TEST(BmpRead, RowsLongerThan65000Bytes) {
  constexpr int32_t kWidth = kMaxBmpSide;
  BmpFields fields;
  fields.width = kWidth, fields.height = 2;
  for (int32_t y = 0; y < 2; ++y) {
    Bytes row;
    for (int32_t x = 0; x < kWidth; ++x) row.insert(row.end(), {uint8_t(x % 251), uint8_t(x % 241), uint8_t(y)});
    fields.rows.push_back(row);
  }
  TempFile file("wide.bmp");
  file.Write(BuildBmp(fields));
  ImageBuffer* raw = nullptr;
  ASSERT_EQ(ReadBmpFile(file.path(), &raw), kBmpOk);
  ImageBufferPtr picture(raw);
  for (int32_t y = 0; y < 2; ++y)
    for (int32_t x = 0; x < kWidth; ++x)
      ASSERT_EQ(PixelOf(*picture, x, y), (Bgr{uint8_t(x % 251), uint8_t(x % 241), uint8_t(1 - y)})) << x << ", " << y;
}

struct MalformedCase {
  const char* name;
  Bytes file;
  int32_t code;
};

BmpFields Valid24() {
  BmpFields s;
  s.width = 2, s.height = 2, s.rows = {Row24({kRed, kGreen}), Row24({kBlue, kBlack})};
  return s;
}

BmpFields Valid8() {
  BmpFields s;
  s.width = 2, s.height = 2, s.bitCount = 8, s.coloursUsed = 4, s.table = {kRed, kGreen, kBlue, kBlack};
  s.rows = {{0, 1}, {2, 3}};
  return s;
}

Bytes With(BmpFields fields, const std::function<void(BmpFields&)>& change) {
  change(fields);
  return BuildBmp(fields);
}

Bytes Cut(Bytes bytes, size_t size) {
  bytes.resize(size);
  return bytes;
}

std::vector<MalformedCase> MalformedCases() {
  const Bytes valid = BuildBmp(Valid24());
  Bytes wrongMagic = valid;
  wrongMagic[0] = 'M', wrongMagic[1] = 'B';
  return {
      {"empty file", {}, kBmpNotValid},
      {"file header only", Cut(valid, 14), kBmpNotValid},
      {"bitmap header cut short", Cut(valid, 30), kBmpNotValid},
      {"wrong magic", wrongMagic, kBmpNotValid},
      {"header size 20", With(Valid24(), [](BmpFields& s) { s.headerBytes = 20; }), kBmpNotValid},
      {"header size 0", With(Valid24(), [](BmpFields& s) { s.headerBytes = 0; }), kBmpNotValid},
      {"RLE8", With(Valid8(), [](BmpFields& s) { s.compression = 1; }), kBmpNotValid},
      {"RLE4", With(Valid8(), [](BmpFields& s) { s.compression = 2, s.bitCount = 4; }), kBmpNotValid},
      {"bit fields", With(Valid24(), [](BmpFields& s) { s.compression = 3, s.bitCount = 16; }), kBmpNotValid},
      {"16-bit", With(Valid24(), [](BmpFields& s) { s.bitCount = 16; }), kBmpNotValid},
      {"32-bit", With(Valid24(), [](BmpFields& s) { s.bitCount = 32; }), kBmpNotValid},
      {"0-bit", With(Valid24(), [](BmpFields& s) { s.bitCount = 0; }), kBmpNotValid},
      {"2-bit", With(Valid8(), [](BmpFields& s) { s.bitCount = 2; }), kBmpNotValid},
      {"12-byte header, 16-bit", With(Valid24(), [](BmpFields& s) { s.headerBytes = 12, s.bitCount = 16; }), kBmpNotValid},
      {"planes 0", With(Valid24(), [](BmpFields& s) { s.planes = 0; }), kBmpNotValid},
      {"planes 2", With(Valid8(), [](BmpFields& s) { s.planes = 2; }), kBmpNotValid},
      {"width 0", With(Valid24(), [](BmpFields& s) { s.width = 0; }), kBmpNotValid},
      {"negative width", With(Valid24(), [](BmpFields& s) { s.width = -5; }), kBmpNotValid},
      {"height 0", With(Valid24(), [](BmpFields& s) { s.height = 0; }), kBmpNotValid},
      {"height INT32_MIN", With(Valid24(), [](BmpFields& s) { s.height = INT32_MIN; }), kBmpNotValid},
      {"colour count 2^31", With(Valid8(), [](BmpFields& s) { s.coloursUsed = 0x80000000u; }), kBmpNotValid},
      {"257 colours, 8-bit", With(Valid8(), [](BmpFields& s) { s.coloursUsed = 257; }), kBmpNotValid},
      {"17 colours, 4-bit", With(Valid8(), [](BmpFields& s) { s.coloursUsed = 17, s.bitCount = 4; }), kBmpNotValid},
      {"colour count 2^32 - 1, 1-bit", With(Valid8(), [](BmpFields& s) { s.coloursUsed = ~0u, s.bitCount = 1; }),
       kBmpNotValid},
      {"colour table cut short", With(Valid8(), [](BmpFields& s) { s.coloursUsed = 0; }), kBmpReadError},
      {"header size 2^32 - 16, with table", With(Valid8(), [](BmpFields& s) { s.headerBytes = 0xFFFFFFF0u; }),
       kBmpReadError},
      {"header size 2^32 - 16, 24-bit", With(Valid24(), [](BmpFields& s) { s.headerBytes = 0xFFFFFFF0u; }),
       kBmpReadError},
      {"100000 x 100000", With(Valid24(), [](BmpFields& s) { s.width = s.height = 100000; }), kBmpLowMemory},
      {"INT32_MAX x INT32_MAX", With(Valid8(), [](BmpFields& s) { s.width = s.height = INT32_MAX; }), kBmpLowMemory},
      {"INT32_MAX x -INT32_MAX", With(Valid24(), [](BmpFields& s) { s.width = INT32_MAX, s.height = -INT32_MAX; }),
       kBmpLowMemory},
      {"more pixels than the limit", With(Valid24(), [](BmpFields& s) { s.width = s.height = 8193; }), kBmpLowMemory},
      {"wider than the limit", With(Valid24(), [](BmpFields& s) { s.width = kMaxBmpSide + 1, s.height = 1; }),
       kBmpLowMemory},
      {"higher than the limit", With(Valid8(), [](BmpFields& s) { s.width = 1, s.height = -(kMaxBmpSide + 1); }),
       kBmpLowMemory},
      {"4000 x 4000 in a few bytes", With(Valid24(), [](BmpFields& s) { s.width = s.height = 4000; }), kBmpReadError},
      {"one row missing", With(Valid24(), [](BmpFields& s) { s.rows.pop_back(); }), kBmpReadError},
      {"offset 0", With(Valid24(), [](BmpFields& s) { s.rowsOffset = 0; }), kBmpReadError},
      {"offset inside the header", With(Valid24(), [](BmpFields& s) { s.rowsOffset = 20; }), kBmpReadError},
      {"offset past the end", With(Valid24(), [](BmpFields& s) { s.rowsOffset = 4000; }), kBmpReadError},
      {"offset 2^32 - 1", With(Valid24(), [](BmpFields& s) { s.rowsOffset = 0xFFFFFFFF; }), kBmpReadError},
  };
}

TEST(BmpRead, MalformedFilesAreRefusedWithTheirCode) {
  TempFile file("malformed.bmp");
  for (const MalformedCase& c : MalformedCases()) {
    SCOPED_TRACE(c.name);
    file.Write(c.file);
    ImageBuffer stale{};
    ImageBuffer* picture = &stale;  // a failure must clear it
    EXPECT_EQ(ReadBmpFile(file.path(), &picture), c.code);
    EXPECT_EQ(picture, nullptr);
  }
}

// A path kept in a settings record is read only up to the end of its field.
TEST(BmpRead, PathFieldWithoutTerminator) {
  TempFile file("field.bmp");
  BmpFields fields = Valid24();
  file.Write(BuildBmp(fields));
  char field[300];
  std::snprintf(field, sizeof field, "%s", file.path());
  ImageBuffer* raw = nullptr;
  ASSERT_EQ(ReadBmpFile(field, sizeof field, &raw), kBmpOk);
  ImageBufferPtr picture(raw);
  EXPECT_EQ(picture->width, 2);
  std::memset(field, 'a', sizeof field);
  EXPECT_EQ(ReadBmpFile(field, sizeof field, &raw), kBmpOpenError);
  EXPECT_EQ(raw, nullptr);
}

TEST(BmpRead, FileThatCannotBeOpened) {
  ImageBuffer* picture = nullptr;
  EXPECT_EQ(ReadBmpFile((::testing::TempDir() + "quiltora_no_such_dir/none.bmp").c_str(), &picture), kBmpOpenError);
  EXPECT_EQ(ReadBmpFile(nullptr, &picture), kBmpOpenError);
  EXPECT_EQ(picture, nullptr);
}

}  // namespace
}  // namespace quiltora
