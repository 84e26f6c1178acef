// Repeats for print through the real program: half-drop and brick lattices
// for the symmetries, blended as a plain run blends, and tiles of an exact
// physical size.
#include <cstdio>

#include "catalogue.h"
#include "composite/blend_reference.h"
#include "program_fixture.h"

namespace {

using namespace quiltora_test;
using quiltora_cli::Box;
using quiltora_cli::Picture;

Picture Load(const std::string& path) {
  Picture picture;
  std::string error;
  EXPECT_TRUE(quiltora_cli::LoadPicture(path, &picture, &error)) << error;
  return picture;
}

const uint8_t* At(const Picture& picture, int64_t x, int64_t y) {
  return picture.pixels.data() + (size_t(y) * picture.width + size_t(x)) * picture.channels;
}

bool Same(const Picture& a, int64_t ax, int64_t ay, const Picture& b, int64_t bx, int64_t by) {
  return std::equal(At(a, ax, ay), At(a, ax, ay) + a.channels, At(b, bx, by));
}

int64_t Mod(int64_t a, int64_t m) { return (a % m + m) % m; }

// What the program prints for a saved tile: its size and where it starts.
struct TileLine {
  int width = 0, height = 0, originX = 0, originY = 0, rowShift = 0;
};

TileLine ParseTileLine(const std::string& out) {
  TileLine line;
  const size_t at = out.find("tile ");
  EXPECT_NE(at, std::string::npos) << out;
  if (at == std::string::npos) return line;
  EXPECT_EQ(std::sscanf(out.c_str() + at, "tile %d x %d, origin %d,%d, row shift %d", &line.width, &line.height,
                        &line.originX, &line.originY, &line.rowShift),
            5)
      << out;
  return line;
}

class RepeatCommand : public CommandTest {
 protected:
  // The checks every lattice run must pass, against the plain run's tile:
  // the saved block is that tile laid by hand on the lattice; inside the
  // region the output is the block laid from the tile's origin, and so
  // repeats by the lattice's steps; outside it the input is untouched.
  void CheckLattice(const Picture& input, const Box& region, bool drop, int32_t shift, const Picture& tile,
                    const Picture& block, const TileLine& blockLine, const Picture& output) {
    const int32_t w = tile.width, h = tile.height;
    ASSERT_EQ(blockLine.rowShift, 0);
    ASSERT_EQ(block.width % w, 0);
    ASSERT_EQ(block.height % h, 0);
    ASSERT_EQ(drop ? block.height : block.width, drop ? h : w);
    for (int32_t y = 0; y < block.height; ++y)
      for (int32_t x = 0; x < block.width; ++x) {
        const int64_t k = drop ? x / w : y / h;
        const int64_t tx = drop ? x % w : Mod(x - k * shift, w);
        const int64_t ty = drop ? Mod(y - k * shift, h) : y % h;
        ASSERT_TRUE(Same(block, x, y, tile, tx, ty)) << "block " << x << "," << y;
      }
    for (int32_t y = 0; y < output.height; ++y)
      for (int32_t x = 0; x < output.width; ++x) {
        const bool inside = x >= region.x && x < region.x + region.width && y >= region.y &&
                            y < region.y + region.height;
        if (!inside) {
          ASSERT_TRUE(Same(output, x, y, input, x, y)) << "outside the region at " << x << "," << y;
          continue;
        }
        const int64_t bx = Mod(x - region.x - blockLine.originX, block.width);
        const int64_t by = Mod(y - region.y - blockLine.originY, block.height);
        ASSERT_TRUE(Same(output, x, y, block, bx, by)) << "at " << x << "," << y;
        // The steps of the lattice, inside the region.
        const int32_t stepX = drop ? w : shift, stepY = drop ? shift : h;
        if (x + stepX < region.x + region.width && y + stepY < region.y + region.height) {
          ASSERT_TRUE(Same(output, x, y, output, x + stepX, y + stepY)) << "step from " << x << "," << y;
        }
        const int32_t periodX = drop ? 2 * w : w, periodY = drop ? h : 2 * h;
        if (shift * 2 == (drop ? h : w) && x + periodX < region.x + region.width &&
            y + periodY < region.y + region.height) {
          ASSERT_TRUE(Same(output, x, y, output, x + (drop ? periodX : 0), y + (drop ? 0 : periodY)))
              << "period from " << x << "," << y;
        }
      }
  }
};

// Every symmetry in half drop, with an offset and a region: columns of the
// finished tile (feather and all), each half a tile lower than the last.
TEST_F(RepeatCommand, EverySymmetryHalfDrops) {
  const Picture input = Probe(200, 150, 3);
  Write("in.png", input);
  const Box region{12, 9, 180, 132};  // the default selection: a 44-pixel square
  const std::string regionText = "--region=12,9,180,132";
  for (int32_t symmetry = 1; symmetry <= quiltora_cli::kSymmetryCount; ++symmetry) {
    SCOPED_TRACE(quiltora_cli::Symmetry(symmetry).name);
    const Outcome plainRun = Run({Path("in.png"), Path("plain.png"), "--symmetry", std::to_string(symmetry),
                                  regionText, "--offset=5,-7", "--feather=25", "--tile", Path("tile.png")});
    ASSERT_EQ(plainRun.status, 0) << plainRun.err;
    const Outcome dropRun = Run({Path("in.png"), Path("out.png"), "--symmetry", std::to_string(symmetry), regionText,
                                 "--offset=5,-7", "--feather=25", "--drop", "1/2", "--tile", Path("block.png")});
    ASSERT_EQ(dropRun.status, 0) << dropRun.err;
    EXPECT_EQ(dropRun.err.find("note"), std::string::npos) << dropRun.err;
    const Picture tile = Load(Path("tile.png")), block = Load(Path("block.png"));
    ASSERT_EQ(tile.height % 2, 0);
    const TileLine plainLine = ParseTileLine(plainRun.out), blockLine = ParseTileLine(dropRun.out);
    // The block starts where the plain run's tile does: offset and selection as in a plain run.
    EXPECT_EQ(Mod(blockLine.originX - plainLine.originX, tile.width), 0);
    EXPECT_EQ(Mod(blockLine.originY - plainLine.originY, tile.height), 0);
    EXPECT_EQ(block.width, 2 * tile.width);
    CheckLattice(input, region, true, tile.height / 2, tile, block, blockLine, Load(Path("out.png")));
  }
}

// Bricks by a third, on tiles whose width three divides, in gray too.
TEST_F(RepeatCommand, BricksByAThird) {
  const Picture input = Probe(220, 160, 3);
  Write("in.png", input);
  Write("gray.png", Probe(220, 160, 1));
  const Box region{0, 0, 220, 160};
  struct Case {
    int32_t symmetry;
    const char* picture;
  };
  for (const Case& c : {Case{1, "in.png"}, Case{3, "in.png"}, Case{8, "gray.png"}, Case{17, "in.png"}}) {
    SCOPED_TRACE(quiltora_cli::Symmetry(c.symmetry).name);
    const std::string symmetry = std::to_string(c.symmetry);
    const Outcome plainRun =
        Run({Path(c.picture), Path("plain.png"), "-s", symmetry, "--select=60,40,48,48", "--tile", Path("tile.png")});
    ASSERT_EQ(plainRun.status, 0) << plainRun.err;
    const Outcome brickRun = Run({Path(c.picture), Path("out.png"), "-s", symmetry, "--select=60,40,48,48",
                                  "--brick=1/3", "--tile", Path("block.png")});
    ASSERT_EQ(brickRun.status, 0) << brickRun.err;
    const Picture tile = Load(Path("tile.png"));
    ASSERT_EQ(tile.width % 3, 0);
    const Picture block = Load(Path("block.png"));
    EXPECT_EQ(block.height, 3 * tile.height);
    CheckLattice(Load(Path(c.picture)), region, false, tile.width / 3, tile, block, ParseTileLine(brickRun.out),
                 Load(Path("out.png")));
  }
}

// A drop of 0 takes the same road as any drop (two module runs) and gives
// the plain run byte for byte: selection, offset, region, feather, opacity
// and blend mode all behave as they do there.
TEST_F(RepeatCommand, ADropOfNothingIsThePlainRun) {
  Write("in.png", Probe(170, 130, 3));
  Write("gray.png", Probe(170, 130, 1));
  struct Case {
    int32_t symmetry;
    const char* picture;
    const char* blend;
  };
  for (const Case& c : {Case{1, "in.png", "luminosity"}, Case{6, "gray.png", "multiply"}, Case{9, "in.png", "hue"},
                        Case{13, "in.png", "screen"}, Case{15, "gray.png", "darken"}, Case{17, "in.png", "color"}}) {
    SCOPED_TRACE(quiltora_cli::Symmetry(c.symmetry).name);
    const std::vector<std::string> settings = {"-q", "-s", std::to_string(c.symmetry), "--region=9,6,150,110",
                                               "--offset=-13,8", "--feather=30", "--opacity=70", "--blend", c.blend};
    std::vector<std::string> plain = {Path(c.picture), Path("plain.png")}, none = {Path(c.picture), Path("none.png"),
                                                                                    "--drop=0"};
    plain.insert(plain.end(), settings.begin(), settings.end());
    none.insert(none.end(), settings.begin(), settings.end());
    ASSERT_EQ(Run(plain).status, 0);
    ASSERT_EQ(Run(none).status, 0);
    EXPECT_EQ(ReadFile(Path("plain.png")), ReadFile(Path("none.png")));
  }
}

// Multiply and Screen at part opacity over a half drop are exactly the blend
// formula applied to the input and the dropped pattern at that pixel.
TEST_F(RepeatCommand, BlendAndOpacityOverADropFollowTheFormula) {
  const Picture input = Probe(160, 120, 3);
  Write("in.png", input);
  ASSERT_EQ(Run({Path("in.png"), Path("pattern.png"), "-q", "-s", "4", "--drop=1/2"}).status, 0);
  const Picture pattern = Load(Path("pattern.png"));
  struct Case {
    const char* blend;
    int mode;
    int32_t opacity;
  };
  for (const Case& c : {Case{"multiply", 8, 60}, Case{"screen", 9, 35}, Case{"darken", 2, 80}}) {
    SCOPED_TRACE(c.blend);
    ASSERT_EQ(Run({Path("in.png"), Path("out.png"), "-q", "-s", "4", "--drop=1/2", "--blend", c.blend, "--opacity",
                   std::to_string(c.opacity)})
                  .status,
              0);
    const Picture out = Load(Path("out.png"));
    for (size_t i = 0; i < input.pixels.size(); ++i)
      ASSERT_EQ(out.pixels[i],
                quiltora::reference::Separable(c.mode, c.opacity, input.pixels[i], pattern.pixels[i]))
          << "byte " << i;
  }
}

// Half of an odd height is no whole pixel: the program says what it did, and
// the pattern still repeats exactly on the rounded lattice.
TEST_F(RepeatCommand, AnUnevenDropSaysSoAndStillRepeats) {
  Write("in.png", Probe(160, 120, 3));
  const Outcome run = Run({Path("in.png"), Path("out.png"), "-s", "1", "--select=50,40,30,45", "--drop=1/2"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.err.find("quiltora: note: 1/2 of the 30 x 45 tile's height is not a whole number of pixels: "
                         "columns drop 23 px, so the pattern repeats every 45 columns\n"),
            std::string::npos)
      << run.err;
  const Picture out = Load(Path("out.png"));
  for (int32_t y = 0; y + 23 < out.height; ++y)
    for (int32_t x = 0; x + 30 < out.width; ++x) ASSERT_TRUE(Same(out, x, y, out, x + 30, y + 23)) << x << "," << y;
  // --tile refuses a block wider than a picture holds, in one line, writing nothing.
  Write("tall.png", Probe(110, 340, 3));
  const Outcome tooWide = Run({Path("tall.png"), Path("out2.png"), "-s", "1", "--select=4,3,100,333", "--drop=1/2",
                               "--tile", Path("block.png")});
  EXPECT_EQ(tooWide.status, 1);
  EXPECT_EQ(tooWide.err,
            "quiltora: --tile: the repeating block of 333 columns of the 100 x 333 tile, each 167 px lower is 33300 x "
            "333 px, more than a picture quiltora writes (32767 px a side)\n");
  EXPECT_EQ(Leftovers({"in.png", "out.png", "tall.png"}), std::vector<std::string>{});
}

// Each symmetry's own rule gives the asked tile side exactly; a symmetry that
// ties the height to the width sets the side given and reports the other.
TEST_F(RepeatCommand, RepeatSizesFollowEachSymmetrysRule) {
  Write("in.png", Probe(480, 360, 3));
  struct Case {
    int32_t symmetry;
    const char* repeat;
    int32_t width, height;
    const char* follows;  // "" when both sides were set
  };
  const Case cases[] = {
      {1, "150x90px", 150, 90, ""},          {2, "100px", 100, 100, "height"}, {3, "120px", 120, 120, ""},
      {4, "120x80px", 120, 80, ""},          {5, "x100px", 100, 100, ""},      {6, "160x100px", 160, 100, ""},
      {7, "100px", 100, 100, ""},            {8, "200px", 200, 200, "height"}, {9, "x120px", 120, 120, "width"},
      {10, "160px", 160, 160, "height"},     {11, "180px", 180, 180, "height"}, {12, "200x60px", 200, 60, ""},
      {13, "138px", 138, 80, "height"},      {14, "296px", 296, 172, "height"}, {15, "300px", 300, 174, "height"},
      {16, "x104px", 180, 104, "width"},     {17, "300px", 300, 174, "height"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(quiltora_cli::Symmetry(c.symmetry).name);
    const Outcome run = Run({Path("in.png"), Path("out.png"), "-s", std::to_string(c.symmetry), "--repeat", c.repeat,
                             "--feather=20", "--tile", Path("tile.png")});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");  // sizes in pixels need no resolution
    const Picture tile = Load(Path("tile.png"));
    EXPECT_EQ(tile.width, c.width);
    EXPECT_EQ(tile.height, c.height);
    const std::string size = std::to_string(c.width) + " x " + std::to_string(c.height) + " px";
    EXPECT_EQ(run.out.rfind("repeat " + size + " = ", 0), 0u) << run.out;
    const std::string follows = std::string("(the ") + c.follows + " follows";
    EXPECT_EQ(run.out.find(follows) != std::string::npos, *c.follows != '\0') << run.out;
  }
}

TEST_F(RepeatCommand, RepeatsTheImageCannotSupplyAreRefusedInOneLine) {
  Write("in.png", Probe(480, 360, 3));
  struct Case {
    std::vector<std::string> args;
    const char* line;
  };
  const Case cases[] = {
      {{"-s", "3", "--repeat", "121px"},
       "quiltora: --repeat: Wings makes no tile 121 px wide (the nearest are 120 and 122 px)\n"},
      {{"-s", "12", "--repeat", "64cm"},
       "quiltora: --repeat at 72 dpi: Lightning makes no tile 1814 px wide (the nearest are 1812 and 1816 px)\n"},
      {{"-s", "8", "--repeat", "64cm", "--dpi", "150"},
       "quiltora: --repeat at 150 dpi: the 3780 x 3780 px Pinwheel tile needs a 1890 x 1890 px selection, more than "
       "the source holds (478 x 358 px inside its outer pixel)\n"},
      {{"-s", "13", "--repeat", "8cmx5cm"},
       "quiltora: --repeat at 72 dpi: Storm at Sea ties the tile's height to its width: give one side (such as 64cm "
       "for the width, x64cm for the height)\n"},
      {{"-s", "8", "--repeat", "8px"},
       "quiltora: --repeat: Pinwheel tiles 8 px wide need a selection below the module's smallest (10 px)\n"},
      {{"-s", "8", "--repeat", "12.5px"},
       "quiltora: --repeat 12.5px at 72 dpi is not a whole number of pixels from 1 to 32767\n"},
      {{"--repeat", "64furlongs"},
       "quiltora: --repeat takes a size such as 64cm, 640mm, 25.2in or 7559px, or WxH, Wx or xH, not '64furlongs'\n"},
  };
  for (const Case& c : cases) {
    std::vector<std::string> args = {Path("in.png"), Path("out.png")};
    args.insert(args.end(), c.args.begin(), c.args.end());
    const Outcome run = Run(args);
    EXPECT_EQ(run.status, 2) << c.line;
    EXPECT_EQ(run.err, c.line);
    EXPECT_EQ(Leftovers({"in.png"}), std::vector<std::string>{}) << c.line;
  }
}

// 64 cm at 150 dpi is round(64 / 2.54 × 150) = 3780 pixels, to the pixel; the
// program says what that makes, and the output and the tile record the
// resolution. The resolution also comes from the input file, else 72 (and it
// says so). BMP keeps the resolution in every build (as pixels per metre).
TEST_F(RepeatCommand, SixtyFourCentimetresAt150DpiIs3780Pixels) {
  Write("in.bmp", Probe(960, 600, 3));
  const Outcome run = Run({Path("in.bmp"), Path("out.bmp"), "-s", "lightning", "--repeat", "64cmx10cm", "--dpi",
                           "150", "--tile", Path("tile.bmp")});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out.substr(0, run.out.find(',')),
            "repeat 3780 x 591 px = 640.1 x 100.1 mm at 150 dpi");
  const Picture tile = Load(Path("tile.bmp"));
  EXPECT_EQ(tile.width, 3780);
  EXPECT_EQ(tile.height, 591);
  for (const Picture& written : {Load(Path("out.bmp")), tile}) {
    EXPECT_NEAR(written.dpiX, 150, 0.02);
    EXPECT_NEAR(written.dpiY, 150, 0.02);
  }

  // 300 dpi stored as 11811 px/m reads back as 299.9994: taken as 300.
  Picture small = Probe(400, 300, 3);
  small.dpiX = small.dpiY = 300;
  Write("small.bmp", small);
  const Outcome fromFile =
      Run({Path("small.bmp"), Path("out.bmp"), "-s", "1", "--repeat", "1inx0.5in", "--tile", Path("tile.bmp")});
  ASSERT_EQ(fromFile.status, 0) << fromFile.err;
  EXPECT_EQ(fromFile.err, "");
  EXPECT_EQ(fromFile.out.rfind("repeat 300 x 150 px = 25.4 x 12.7 mm at 300 dpi, from the 300 x 150 selection at ", 0),
            0u)
      << fromFile.out;
  EXPECT_NEAR(Load(Path("out.bmp")).dpiX, 300, 0.02);
  EXPECT_NEAR(Load(Path("tile.bmp")).dpiX, 300, 0.02);

  Write("plain.bmp", Probe(400, 300, 3));
  const Outcome assumed = Run({Path("plain.bmp"), Path("out.bmp"), "-s", "8", "--repeat", "2in"});
  ASSERT_EQ(assumed.status, 0) << assumed.err;
  EXPECT_EQ(assumed.err, "quiltora: note: the input records no resolution: --repeat measures at 72 dpi (see --dpi)\n");
  EXPECT_EQ(assumed.out.rfind("repeat 144 x 144 px = 50.8 x 50.8 mm at 72 dpi (the height follows from the width)", 0),
            0u)
      << assumed.out;
  EXPECT_NEAR(Load(Path("out.bmp")).dpiX, 72, 0.02);

  // A format with no place for it says so, and the run still succeeds.
  const Outcome tga = Run({Path("in.bmp"), Path("out.tga"), "-s", "1", "--repeat", "2cm", "--dpi", "150"});
  ASSERT_EQ(tga.status, 0) << tga.err;
  EXPECT_EQ(tga.err, "quiltora: note: '" + Path("out.tga") +
                         "' records no resolution: this build writes no resolution into that format\n");
}

}  // namespace
