// The names and options a user types, parsed into settings.
#include <gtest/gtest.h>

#include "catalogue.h"
#include "options.h"
#include "picture_format.h"

namespace {

using quiltora_cli::ColorMode;
using quiltora_cli::FindBlendMode;
using quiltora_cli::FindSymmetry;
using quiltora_cli::ParseCommandLine;
using quiltora_cli::ParseResult;

TEST(CliCatalogue, SymmetriesByNumberNameAndPlaneGroup) {
  struct Case {
    const char* text;
    int32_t number;
  };
  const Case cases[] = {
      {"1", 1},           {"17", 17},           {"08", 8},           {"pinwheel", 8},   {"PINWHEEL", 8},
      {"Pinwheel", 8},    {"storm-at-sea", 13}, {"Storm at Sea", 13}, {"stormatsea", 13}, {"hither-and-yon", 4},
      {"Hither & Yon", 4}, {"hither-yon", 4},   {"gold_brick", 1},   {"p1", 1},         {"P4", 8},
      {"p4g", 9},         {"p4m", 10},          {"p3m1", 14},        {"p31m", 15},      {"p6", 16},
      {"p6m", 17},        {"cm", 2},            {"cmm", 11},         {"pmg", 12},       {"pgg", 6},
      {"0", 0},           {"18", 0},            {"-1", 0},           {"", 0},           {"p5", 0},
      {"pin", 0},         {"&", 0},             {"1000", 0},         {"+8", 0},
  };
  for (const Case& c : cases) EXPECT_EQ(FindSymmetry(c.text), c.number) << '"' << c.text << '"';
}

TEST(CliCatalogue, EveryListedNameAndGroupFindsItsOwnNumber) {
  const std::string listing = quiltora_cli::SymmetryListing();
  for (int32_t number = 1; number <= quiltora_cli::kSymmetryCount; ++number) {
    const quiltora_cli::SymmetryInfo& info = quiltora_cli::Symmetry(number);
    EXPECT_EQ(info.number, number);
    EXPECT_EQ(FindSymmetry(info.name), number) << info.name;
    EXPECT_EQ(FindSymmetry(info.planeGroup), number) << info.planeGroup;
    EXPECT_NE(listing.find(info.name), std::string::npos) << info.name;
  }
  // The four symmetries without a feather.
  for (int32_t number : {7, 10, 14, 17}) EXPECT_FALSE(quiltora_cli::Symmetry(number).feather) << number;
}

TEST(CliCatalogue, BlendModesByNameOrNumber) {
  struct Case {
    const char* text;
    int32_t mode;
  };
  const Case cases[] = {{"normal", 1},     {"Darken", 2},  {"LIGHTEN", 3}, {"hue", 4},    {"saturation", 5},
                        {"color", 6},      {"colour", 6},  {"luminosity", 7}, {"multiply", 8}, {"screen", 9},
                        {"9", 9},          {"0", 0},       {"10", 0},      {"overlay", 0}, {"", 0}};
  for (const Case& c : cases) EXPECT_EQ(FindBlendMode(c.text), c.mode) << '"' << c.text << '"';
  EXPECT_STREQ(quiltora_cli::BlendModeName(6), "Color");
}

ParseResult Parse(std::vector<std::string> args) { return ParseCommandLine(args); }

TEST(CliOptions, ValuesInBothSpellingsReachTheSettings) {
  ParseResult r = Parse({"in.png", "--symmetry=p4g", "out.png", "--select", "10,20,30,40", "--feather=25%",
                         "--opacity", "40", "--blend=screen", "--offset=-5,7", "--region=1,2,300,200", "--mode=cmyk",
                         "--tile=t.bmp", "-q", "--plugin", "/x/Q.so"});
  ASSERT_TRUE(r.ok) << r.error;
  const quiltora_cli::Options& o = r.options;
  EXPECT_EQ(o.input, "in.png");
  EXPECT_EQ(o.output, "out.png");
  EXPECT_EQ(o.symmetry, 9);
  ASSERT_TRUE(o.select.has_value());
  EXPECT_EQ(o.select->x, 10);
  EXPECT_EQ(o.select->height, 40);
  EXPECT_EQ(*o.feather, 25);
  EXPECT_EQ(*o.opacity, 40);
  EXPECT_EQ(*o.blendMode, 9);
  EXPECT_EQ(o.offset->dx, -5);
  EXPECT_EQ(o.offset->dy, 7);
  EXPECT_EQ(o.region->width, 300);
  EXPECT_EQ(o.mode, ColorMode::kCMYK);
  EXPECT_EQ(o.tilePath, "t.bmp");
  EXPECT_TRUE(o.quiet);
  EXPECT_EQ(o.plugin, "/x/Q.so");

  r = Parse({"-s1", "--shear=-12", "a.bmp", "b.jpeg", "--source", "s.BMP", "--source-area=0,0,60,60"});
  ASSERT_TRUE(r.ok) << r.error;
  EXPECT_EQ(r.options.symmetry, 1);
  EXPECT_EQ(*r.options.shear, -12);
  EXPECT_EQ(r.options.sourceArea->width, 60);

  // "--" ends the options, so an input may start with a dash.
  r = Parse({"--", "-in.png", "out.png"});
  ASSERT_TRUE(r.ok) << r.error;
  EXPECT_EQ(r.options.input, "-in.png");
}

TEST(CliOptions, InformationOptionsNeedNoFiles) {
  for (const char* flag : {"--help", "-h", "--version", "-V", "--list"}) EXPECT_TRUE(Parse({flag}).ok) << flag;
}

TEST(CliOptions, RefusedCommandLinesSayWhy) {
  struct Case {
    std::vector<std::string> args;
    const char* reason;  // a part of the error
  };
  const Case cases[] = {
      {{}, "expected INPUT and OUTPUT"},
      {{"in.png"}, "expected INPUT and OUTPUT"},
      {{"a.png", "b.png", "c.png"}, "expected INPUT and OUTPUT"},
      {{"a.png", "b.png", "--frobnicate"}, "unknown option '--frobnicate'"},
      {{"a.png", "b.png", "-x"}, "unknown option '-x'"},
      {{"a.png", "b.png", "--symmetry"}, "--symmetry needs a value"},
      {{"a.png", "b.png", "--symmetry=zigzag"}, "unknown symmetry 'zigzag'"},
      {{"a.png", "b.png", "--symmetry=18"}, "unknown symmetry '18'"},
      {{"a.png", "b.png", "--quiet=yes"}, "--quiet takes no value"},
      {{"a.png", "b.png", "--opacity=0"}, "--opacity takes a percentage from 1 to 100"},
      {{"a.png", "b.png", "--opacity=101"}, "--opacity"},
      {{"a.png", "b.png", "--feather=-1"}, "--feather takes a percentage from 0 to 100"},
      {{"a.png", "b.png", "--feather=ten"}, "--feather"},
      {{"a.png", "b.png", "--blend=overlay"}, "unknown blend mode 'overlay'"},
      {{"a.png", "b.png", "--select=1,2,3"}, "--select takes X,Y,W,H"},
      {{"a.png", "b.png", "--select=1,2,3,4,5"}, "--select takes X,Y,W,H"},
      {{"a.png", "b.png", "--select=1,2,0,4"}, "W,H >= 1"},
      {{"a.png", "b.png", "--region=-1,0,60,60"}, "X,Y >= 0"},
      {{"a.png", "b.png", "--select=1,,3,4"}, "--select takes X,Y,W,H"},
      {{"a.png", "b.png", "--offset=3"}, "--offset takes DX,DY"},
      {{"a.png", "b.png", "--offset=99999999999,1"}, "--offset takes DX,DY"},
      {{"a.png", "b.png", "--mode=lab"}, "--mode takes gray, rgb or cmyk"},
      {{"a.png", "b.png", "--shear=4"}, "--shear applies to the sheared brick only"},
      {{"a.png", "b.png", "-s", "8", "--shear=4"}, "--shear applies"},
      {{"a.png", "b.png", "--source-area=0,0,9,9"}, "--source-area needs --source"},
      {{"a.png", "b.png", "--source=s.png"}, "--source takes a BMP file"},
      {{"a.png", "b.gif"}, "the output must end in .png, .jpg, .jpeg, .tif, .tiff, .bmp, .ppm, .pgm, .pnm, .pam or .tga"},
      {{"a.png", "b"}, "the output must end in"},
      {{"a.png", "b.png", "--tile=t.psd"}, "the tile must end in"},
      {{"a.png", "b.png", "--tile=b.png"}, "--tile must name another file"},
      {{"a.png", "b.png", "--drop=1"}, "--drop takes a fraction of the tile from 0 to 1, such as 1/2"},
      {{"a.png", "b.png", "--brick=a/b"}, "--brick takes a fraction"},
      {{"a.png", "b.png", "--drop=1/2", "--brick=1/3"}, "--drop and --brick cannot be combined"},
      {{"a.png", "b.png", "-s1", "--shear=5", "--drop=1/2"}, "--shear cannot be combined with --drop or --brick"},
      {{"a.png", "b.png", "--mode=cmyk", "--brick=1/2"}, "--drop and --brick work on gray and RGB images"},
      {{"a.png", "b.png", "--repeat=cm"}, "--repeat takes a size such as 64cm"},
      {{"a.png", "b.png", "--dpi=0"}, "--dpi takes a resolution in dots per inch from 1 to 100000"},
      {{"a.png", "b.png", "--dpi=72dpi"}, "--dpi takes"},
      {{"a.png", "b.png", "--settings=s.qset", "-s3"}, "--settings runs with the stored settings: leave out --symmetry"},
      {{"a.png", "b.png", "--settings=s.qset", "--source=x.bmp"}, "leave out --source"},
      {{"a.png", "b.png", "--save-settings=s.qset", "--drop=1/2"}, "--drop and --brick take two"},
      {{"a.png", "b.png", "--save-settings=b.png"}, "another file than the output"},
      {{"a.png", "b.png", "--settings="}, "--settings needs a file"},
#ifdef _WIN32
      {{"a.png", "b.png", "--dialog", "--repeat=10cm"}, "--dialog cannot be combined"},
#else
      {{"a.png", "b.png", "--dialog"}, "--dialog needs the Windows program (quiltora.exe)"},
#endif
  };
  for (const Case& c : cases) {
    const ParseResult r = ParseCommandLine(c.args);
    std::string joined;
    for (const std::string& arg : c.args) joined += arg + " ";
    EXPECT_FALSE(r.ok) << joined;
    EXPECT_NE(r.error.find(c.reason), std::string::npos) << joined << "-> " << r.error;
  }
}

TEST(CliOptions, OnlyPictureExtensionsQuiltoraWritesAreAccepted) {
  for (const char* path : {"a.png", "A.PNG", "x/y.bmp", "z.tga", "p.jpg", "q.JpEg", "t.tif", "T.TIFF", "a.ppm", "a.pgm",
                           "a.pnm", "a.pam"})
    EXPECT_TRUE(quiltora_cli::IsWritableExtension(path)) << path;
  for (const char* path : {"a.gif", "a", "dir.png/file", "a.png.txt", "a.psd", ".png/x"})
    EXPECT_FALSE(quiltora_cli::IsWritableExtension(path)) << path;
}

}  // namespace
