// The real quiltora program on every picture format it streams: a streamed
// run writes exactly what a run with the whole picture in memory writes, the
// print formats keep CMYK, resolution and colour profile, and a run that
// cannot finish leaves nothing behind and says why on one line.
#include <gtest/gtest.h>

#include <set>

#ifndef _WIN32
#include <tiffio.h>
#endif

#include "picture_format.h"
#include "program_fixture.h"

namespace {

using namespace quiltora_test;
using quiltora_cli::Picture;

Picture Cmyk(int32_t width, int32_t height) {
  Picture picture = Probe(width, height, 4);
  picture.cmyk = true;
  // Every pixel carries some of all four inks, so that a round trip through
  // RGB (which takes the common part out as black) would show.
  for (size_t i = 0; i < picture.pixels.size(); ++i) picture.pixels[i] = uint8_t(20 + picture.pixels[i] % 200);
  return picture;
}

Picture Gray(int32_t width, int32_t height) { return Probe(width, height, 1); }

bool TiffAvailable() {
  std::string why;
  return quiltora_cli::FormatAvailable("x.tif", &why);
}

// A Photoshop file holding only its composite, uncompressed: 8-bit RGB planes.
std::string PsdBytes(const Picture& picture) {
  std::string bytes = "8BPS";
  auto put = [&bytes](uint32_t value, int size) {
    for (int shift = 8 * (size - 1); shift >= 0; shift -= 8) bytes += char((value >> shift) & 0xFF);
  };
  put(1, 2);  // version
  bytes.append(6, char(0));  // reserved
  put(3, 2);  // channels
  put(uint32_t(picture.height), 4);
  put(uint32_t(picture.width), 4);
  put(8, 2);  // bits per channel
  put(3, 2);  // RGB
  put(0, 4);  // colour mode data, image resources, layers: none
  put(0, 4);
  put(0, 4);
  put(0, 2);  // raw planes
  for (int c = 0; c < 3; ++c)
    for (size_t i = 0; i < size_t(picture.width) * picture.height; ++i) bytes += char(picture.pixels[i * 3 + c]);
  return bytes;
}

class StreamingTest : public CommandTest {
 protected:
  Picture Load(const char* name) {
    Picture picture;
    std::string error;
    EXPECT_TRUE(quiltora_cli::LoadPicture(Path(name), &picture, &error)) << error;
    return picture;
  }
  void WriteBytes(const char* name, const std::string& bytes) {
    std::ofstream(Path(name), std::ios::binary) << bytes;
  }
#ifndef _WIN32
  // A tiled TIFF, which quiltora reads but does not write.
  void WriteTiledTiff(const char* name, const Picture& picture) {
    TIFF* tiff = TIFFOpen(Path(name).c_str(), "w");
    ASSERT_NE(tiff, nullptr);
    const uint32_t tile = 32;
    TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, uint32_t(picture.width));
    TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, uint32_t(picture.height));
    TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, 8);
    TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, 3);
    TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
    TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tiff, TIFFTAG_COMPRESSION, COMPRESSION_LZW);
    TIFFSetField(tiff, TIFFTAG_TILEWIDTH, tile);
    TIFFSetField(tiff, TIFFTAG_TILELENGTH, tile);
    std::vector<uint8_t> block(tile * tile * 3);
    for (uint32_t top = 0; top < uint32_t(picture.height); top += tile)
      for (uint32_t left = 0; left < uint32_t(picture.width); left += tile) {
        std::fill(block.begin(), block.end(), 0);
        for (uint32_t y = top; y < std::min(top + tile, uint32_t(picture.height)); ++y)
          for (uint32_t x = left; x < std::min(left + tile, uint32_t(picture.width)); ++x)
            std::copy_n(&picture.pixels[(size_t(y) * picture.width + x) * 3], 3, &block[((y - top) * tile + x - left) * 3]);
        ASSERT_GE(TIFFWriteTile(tiff, block.data(), left, top, 0, 0), 0);
      }
    TIFFClose(tiff);
  }
#endif
};

// A region away from the top-left corner and a source area low in it, so
// that the module asks for its source rows before the region's first row:
// a format read in order has to go back, and rows above and below the region
// pass straight through.
TEST_F(StreamingTest, StreamedRunWritesWhatAWholePictureRunWrites) {
  struct Case {
    const char* input;
    Picture picture;
    const char* output;
  };
  std::vector<Case> cases = {
      {"rgb.ppm", Probe(170, 150, 3), "out.ppm"}, {"gray.pgm", Gray(170, 150), "out.pgm"},
      {"alpha.pam", Probe(170, 150, 4), "out.pam"}, {"rgb.bmp", Probe(170, 150, 3), "out.bmp"},
      {"gray.bmp", Gray(170, 150), "out.bmp"},     {"alpha.bmp", Probe(170, 150, 4), "out.bmp"},
      {"rgb.png", Probe(170, 150, 3), "out.png"},   {"alpha.png", Probe(170, 150, 4), "out.png"},
      {"gray.png", Gray(170, 150), "out.png"},      {"rgb.jpg", Probe(170, 150, 3), "out.jpg"},
      {"rgb.tif", Probe(170, 150, 3), "out.tif"},   {"cmyk.tif", Cmyk(170, 150), "out.tif"},
      {"gray.tif", Gray(170, 150), "out.tif"},      {"rgb.ppm", Probe(170, 150, 3), "out.png"},
  };
  if (!TiffAvailable())
    cases.erase(std::remove_if(cases.begin(), cases.end(),
                               [](const Case& c) { return std::string(c.output) == "out.tif"; }),
                cases.end());
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.input) + " -> " + c.output);
    Write(c.input, c.picture);
    for (const char* symmetry : {"8", "13"}) {
      const std::string wholeOutput = Path(("whole" + fs::path(c.output).extension().string()).c_str());
      std::vector<std::string> streamed = {Path(c.input), Path(c.output), "-q", "--region=12,30,140,110",
                                           "--select=40,50,36,30", "--symmetry", symmetry, "--feather=20"};
      std::vector<std::string> whole = streamed;
      whole[1] = wholeOutput;
      whole.push_back("--in-memory");
      const Outcome a = Run(streamed), b = Run(whole);
      ASSERT_EQ(a.status, 0) << a.err;
      ASSERT_EQ(b.status, 0) << b.err;
      EXPECT_EQ(ReadFile(Path(c.output)), ReadFile(wholeOutput));
      const Picture in = Load(c.input), out = Load(c.output);
      // Rows above the region come through untouched (JPEG aside, which is lossy).
      if (std::string(c.output) != "out.jpg" && in.channels == out.channels && in.cmyk == out.cmyk) {
        EXPECT_TRUE(std::equal(in.pixels.begin(), in.pixels.begin() + 30 * in.width * in.channels, out.pixels.begin()));
      }
    }
  }
#ifndef _WIN32
  const Picture picture = Probe(170, 150, 3);
  WriteTiledTiff("tiled.tif", picture);
  Write("strips.tif", picture);
  const Outcome tiled = Run({Path("tiled.tif"), Path("a.ppm"), "-q", "--region=12,30,140,110", "--symmetry=17"});
  const Outcome strips = Run({Path("strips.tif"), Path("b.ppm"), "-q", "--region=12,30,140,110", "--symmetry=17"});
  ASSERT_EQ(tiled.status, 0) << tiled.err;
  ASSERT_EQ(strips.status, 0) << strips.err;
  EXPECT_EQ(ReadFile(Path("a.ppm")), ReadFile(Path("b.ppm")));
#endif
}

#ifndef _WIN32
// A CMYK TIFF runs in CMYK: at 100 % Normal with a rectangular symmetry the
// output holds only pixels of the input, every one of which has some of all
// four inks, which a detour through RGB would have turned into black.
TEST_F(StreamingTest, CmykTiffRunsInCmykAndComesBackCmyk) {
  const Picture input = Cmyk(120, 100);
  Write("in.tif", input);
  const Outcome run = Run({Path("in.tif"), Path("out.tif"), "-q", "--symmetry=8", "--select=20,20,40,40"});
  ASSERT_EQ(run.status, 0) << run.err;
  const Picture output = Load("out.tif");
  ASSERT_TRUE(output.cmyk);
  ASSERT_EQ(output.channels, 4);
  std::set<uint32_t> seen;
  auto pixel = [](const uint8_t* p) { return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3]; };
  for (size_t i = 0; i < input.pixels.size(); i += 4) seen.insert(pixel(&input.pixels[i]));
  for (size_t i = 0; i < output.pixels.size(); i += 4) ASSERT_EQ(seen.count(pixel(&output.pixels[i])), 1u) << i / 4;
  EXPECT_NE(output.pixels, input.pixels);

  // The same file to PNG comes out in RGB, through the naive conversion.
  ASSERT_EQ(Run({Path("in.tif"), Path("out.png"), "-q", "--symmetry=8", "--select=20,20,40,40"}).status, 0);
  const Picture rgb = Load("out.png");
  ASSERT_EQ(rgb.channels, 3);
  for (size_t i = 0; i < 4 * 60; i += 4) {
    const uint8_t* c = &output.pixels[i];
    const uint8_t* r = &rgb.pixels[i / 4 * 3];
    for (int k = 0; k < 3; ++k) ASSERT_EQ(r[k], 255 - std::min(255, c[k] + c[3])) << i;
  }
}

TEST_F(StreamingTest, ResolutionAndColourProfileSurvive) {
  Picture input = Probe(90, 70, 3);
  input.dpiX = 300;
  input.dpiY = 150;
  for (int i = 0; i < 300; ++i) input.iccProfile.push_back(uint8_t(i * 7));
  for (const char* format : {"png", "tif", "jpg", "bmp"}) {
    SCOPED_TRACE(format);
    const std::string in = std::string("in.") + format, out = std::string("out.") + format;
    Write(in.c_str(), input);
    const Outcome run = Run({Path(in.c_str()), Path(out.c_str()), "-q"});
    ASSERT_EQ(run.status, 0) << run.err;
    // PNG and BMP hold pixels per metre: 150 dpi is stored as 5906 and read as 150.0124.
    const Picture stored = Load(in.c_str()), output = Load(out.c_str());
    EXPECT_NEAR(stored.dpiX, 300, 0.02);
    EXPECT_NEAR(stored.dpiY, 150, 0.02);
    EXPECT_NEAR(output.dpiX, stored.dpiX, 1e-3);
    EXPECT_NEAR(output.dpiY, stored.dpiY, 1e-3);
    EXPECT_EQ(stored.iccProfile, input.iccProfile);
    EXPECT_EQ(output.iccProfile, input.iccProfile);
  }
}
#endif

// Damaged files of every format: one clear line, exit 1, nothing written;
// the same for a damaged file the run only finds out about half-way.
TEST_F(StreamingTest, DamagedFilesFailCleanly) {
  const Picture picture = Probe(120, 100, 3);
  std::vector<std::string> formats = {"ppm", "pam", "bmp", "png", "jpg", "tga", "psd"};
  if (TiffAvailable()) formats.push_back("tif");
  std::vector<std::string> inputs;
  for (const std::string& format : formats) {
    const std::string whole = "whole." + format;
    if (format == "psd")
      WriteBytes(whole.c_str(), PsdBytes(picture));
    else
      Write(whole.c_str(), picture);
    const std::string bytes = ReadFile(Path(whole.c_str()));
    inputs.push_back(whole);
    // Cut at the header, a third of the way and just before the end;
    // then the header's first bytes spoiled.
    for (size_t cut : {size_t(20), bytes.size() / 3, bytes.size() - 4}) {
      const std::string name = "cut" + std::to_string(cut) + "." + format;
      WriteBytes(name.c_str(), bytes.substr(0, cut));
      inputs.push_back(name);
    }
    std::string spoiled = bytes;
    for (size_t i = 8; i < 24 && i < spoiled.size(); ++i) spoiled[i] = char(0xFF);
    WriteBytes(("spoiled." + format).c_str(), spoiled);
    inputs.push_back("spoiled." + format);
  }
  for (const std::string& name : inputs) {
    for (const char* output : {"out.png", "out.ppm"}) {
      const Outcome run = Run({Path(name.c_str()), Path(output), "-q", "--region=0,10,120,90"});
      SCOPED_TRACE(name + " -> " + output + ": " + run.err);
      if (name.rfind("whole.", 0) == 0) {
        EXPECT_EQ(run.status, 0);
        fs::remove(Path(output));
        continue;
      }
      if (run.status == 0) {
        // A spoiled header that still decodes is a picture all the same.
        EXPECT_EQ(name.rfind("spoiled.", 0), 0u);
        fs::remove(Path(output));
        continue;
      }
      EXPECT_EQ(run.status, 1);
      EXPECT_EQ(run.err.rfind("quiltora: cannot read '" + Path(name.c_str()) + "': ", 0), 0u);
      EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1);
      EXPECT_EQ(Leftovers(inputs), std::vector<std::string>{});
    }
  }
}

#ifndef _WIN32
// A write that fails half-way (the file size limit here) and a read that
// fails half-way leave no output and no temporary file.
TEST_F(StreamingTest, FailedWriteLeavesNothing) {
  Write("in.ppm", Probe(400, 300, 3));
  shellPrefix_ = "trap '' XFSZ; ulimit -f 20; ";
  for (const char* output : {"out.ppm", "out.png", "out.bmp", "out.tif", "out.jpg"}) {
    const Outcome run = Run({Path("in.ppm"), Path(output), "-q", "--compression=0", "--quality=100"});
    SCOPED_TRACE(output);
    EXPECT_EQ(run.status, 1) << run.err;
    EXPECT_EQ(run.err.rfind(std::string("quiltora: cannot write '") + Path(output) + "': ", 0), 0u) << run.err;
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
    EXPECT_EQ(Leftovers({"in.ppm"}), std::vector<std::string>{});
  }
}
#endif

}  // namespace
