// The real quiltora program, run as a user runs it: files in, files out, one
// line on stderr and an exit status when something is wrong.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>
#endif

#include "catalogue.h"
#include "filterhost.h"
#include "picture.h"
#include "program_fixture.h"

namespace {

using namespace quiltora_test;

TEST_F(CommandTest, PngInPngOutKeepsSizeAndAlpha) {
  const Picture input = Probe(120, 90, 4);
  Write("in.png", input);
  const Outcome run = Run({Path("in.png"), Path("out.png"), "--symmetry=pinwheel", "--feather=10", "-q"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err, "");
  Picture output;
  std::string error;
  ASSERT_TRUE(quiltora_cli::LoadPicture(Path("out.png"), &output, &error)) << error;
  EXPECT_EQ(output.width, 120);
  EXPECT_EQ(output.height, 90);
  ASSERT_EQ(output.channels, 4);
  for (size_t i = 3; i < output.pixels.size(); i += 4) ASSERT_EQ(output.pixels[i], input.pixels[i]) << i;
  EXPECT_EQ(Leftovers({"in.png"}), std::vector<std::string>{"out.png"});
}

TEST_F(CommandTest, FailuresSayWhyOnOneLineAndWriteNothing) {
  Write("in.png", Probe(80, 60, 3));
  Write("small.png", Probe(49, 49, 3));
  Write("narrow.png", Probe(200, 49, 1));
  Write("source.bmp", Probe(70, 40, 3));
  std::ofstream(Path("junk.png")) << "not a picture";
  struct Case {
    std::vector<std::string> args;
    int status;
    const char* reason;
  };
  const std::string in = Path("in.png"), out = Path("out.png");
  const Case cases[] = {
      {{}, 2, "quiltora: expected INPUT and OUTPUT (see --help)\n"},
      {{in, out, "--bogus"}, 2, "quiltora: unknown option '--bogus' (see --help)\n"},
      {{in, out, "--symmetry=zigzag"}, 2, "quiltora: unknown symmetry 'zigzag' (see --list)\n"},
      {{in, out, "--opacity=0"}, 2, "quiltora: --opacity takes a percentage from 1 to 100, not '0'\n"},
      {{Path("missing.png"), out}, 1, "no such file"},
      {{Path("junk.png"), out}, 1, "quiltora: cannot read"},
      {{Path("small.png"), out}, 1, "quiltora: Image is too small.  Try loading a different image.\n"},
      {{Path("narrow.png"), out}, 1, "quiltora: Image is too small.  Try loading a different image.\n"},
      {{in, out, "--region=10,10,49,50"}, 1, "quiltora: Image is too small."},
      {{in, out, "--region=40,0,50,50"}, 2, "quiltora: --region lies outside the 80 x 60 image\n"},
      {{in, out, "--select=70,0,20,20"}, 2, "does not lie inside the 80 x 60 source"},
      {{in, out, "--offset=80,0"}, 2, "must stay within the 80 x 60 filter area"},
      {{in, out, "--plugin", Path("nowhere.so")}, 1, "quiltora: cannot load the filter module"},
      {{in, Path("no-such-folder/out.png")}, 1, "quiltora: cannot write"},
      {{in, out, "--source", Path("missing.bmp")}, 1, "no such file"},
      {{in, out, "--source", Path("source.bmp"), "--source-area=30,0,41,40"}, 2,
       "does not lie inside the 70 x 40 source file"},
      {{in, out, "--source", Path("source.bmp"), "--source-area=10,0,50,40", "--select=0,0,10,10"}, 2,
       "--select 0,0,10,10 does not lie inside the 50 x 40 source area at 10,0"},
  };
  for (const Case& c : cases) {
    const Outcome run = Run(c.args);
    std::string joined;
    for (const std::string& arg : c.args) joined += arg + " ";
    EXPECT_EQ(run.status, c.status) << joined << run.err;
    EXPECT_EQ(run.err.rfind("quiltora: ", 0), 0u) << joined << run.err;
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << joined << run.err;
    EXPECT_NE(run.err.find(c.reason), std::string::npos) << joined << run.err;
    EXPECT_EQ(run.out, "") << joined;
    EXPECT_EQ(Leftovers({"in.png", "small.png", "narrow.png", "junk.png", "source.bmp"}), std::vector<std::string>{}) << joined;
  }
}

TEST_F(CommandTest, ListHelpAndVersion) {
  const Outcome list = Run({"--list"});
  ASSERT_EQ(list.status, 0);
  std::istringstream lines(list.out);
  std::string heading, line;
  std::getline(lines, heading);
  EXPECT_NE(heading.find("Name"), std::string::npos);
  int32_t number = 0;
  while (std::getline(lines, line) && !line.empty()) {
    ++number;
    const quiltora_cli::SymmetryInfo& info = quiltora_cli::Symmetry(number);
    std::istringstream fields(line);
    int32_t listed = 0;
    fields >> listed;
    EXPECT_EQ(listed, number);
    EXPECT_NE(line.find(std::string(" ") + info.name + " "), std::string::npos) << line;
    EXPECT_NE(line.find(std::string(" ") + info.planeGroup + " "), std::string::npos) << line;
    EXPECT_NE(line.find(quiltora::ShapeName(info.shape)), std::string::npos) << line;
    EXPECT_EQ(line.substr(line.size() - 3), info.feather ? "yes" : " no") << line;
  }
  EXPECT_EQ(number, quiltora_cli::kSymmetryCount);
  // Below the table, after a blank line, the repeats for print with an example each.
  EXPECT_NE(list.out.find("\n\n"), std::string::npos);
  EXPECT_NE(list.out.find("--drop 1/2 "), std::string::npos) << list.out;
  EXPECT_NE(list.out.find("--repeat 64cm --dpi 150 "), std::string::npos) << list.out;

  const Outcome help = Run({"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_EQ(help.out.rfind("Usage: quiltora INPUT OUTPUT [options]", 0), 0u);
  for (const char* option : {"--symmetry", "--select", "--shear", "--feather", "--opacity", "--blend", "--offset",
                             "--region", "--source", "--source-area", "--mode", "--tile", "--list", "--quiet",
                             "--compression", "--quality", "--in-memory", "read whole", "written whole", "--drop",
                             "--brick", "--repeat", "--dpi", "Example: --drop 1/2", "Example: --brick 1/3",
                             "Example: --repeat 64cm --dpi 150"})
    EXPECT_NE(help.out.find(option), std::string::npos) << option;
  const Outcome version = Run({"--version"});
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out.rfind("quiltora ", 0), 0u);
}

// --blend and --opacity reach the module: Multiply at 50 % is exactly the
// formula applied to the input and the pattern that Normal at 100 % shows.
TEST_F(CommandTest, BlendAndOpacityChangeExactlyWhatTheFormulaSays) {
  const Picture input = Probe(100, 80, 3);
  Write("in.png", input);
  ASSERT_EQ(Run({Path("in.png"), Path("normal.png"), "-q", "--symmetry=6"}).status, 0);
  ASSERT_EQ(
      Run({Path("in.png"), Path("multiply.png"), "-q", "--symmetry=6", "--blend=multiply", "--opacity=50"}).status, 0);
  Picture pattern, blended;
  std::string error;
  ASSERT_TRUE(quiltora_cli::LoadPicture(Path("normal.png"), &pattern, &error)) << error;
  ASSERT_TRUE(quiltora_cli::LoadPicture(Path("multiply.png"), &blended, &error)) << error;
  const int32_t a = 255 - (100 - 50) * 255 / 100;
  for (size_t i = 0; i < input.pixels.size(); ++i) {
    const int32_t in = input.pixels[i], tile = pattern.pixels[i];
    ASSERT_EQ(blended.pixels[i], (a * tile * in + (255 - a) * 256 * in) >> 16) << "byte " << i;
  }
}

#ifndef _WIN32
// Ctrl-C while the picture is read, filtered or written: exit 130 and no
// output, not even a temporary file; or, when it came too late, a complete one.
TEST_F(CommandTest, CtrlCLeavesNoOutputBehind) {
  Write("big.bmp", Probe(2000, 1200, 3));
  for (int delayMs : {100, 300, 600}) {
    const std::string program = program_.string(), in = Path("big.bmp"), out = Path("out.png");
    std::vector<char*> argv;
    std::string args[] = {program, in, out, "--quiet"};
    for (std::string& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    const std::string errPath = Path("stderr.txt");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t child = 0;
    const int spawned = posix_spawn(&child, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ASSERT_EQ(spawned, 0);
    const std::vector<std::string> inputs = {"big.bmp", "stderr.txt"};
    // The program catches Ctrl-C before it opens its output: wait for the
    // output's temporary file, so that a slow start (a sanitizer build on a
    // busy machine) does not take the signal before the program is ready.
    for (int waited = 0; waited < 20000 && Leftovers(inputs).empty(); waited += 5)
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
    kill(child, SIGINT);
    int raw = 0;
    ASSERT_EQ(waitpid(child, &raw, 0), child);
    ASSERT_TRUE(WIFEXITED(raw)) << "killed by signal " << WTERMSIG(raw) << " after " << delayMs << " ms";
    const int status = WEXITSTATUS(raw);
    const std::vector<std::string> left = Leftovers(inputs);
    const std::string err = ReadFile(errPath);
    if (status == 130) {
      EXPECT_EQ(left, std::vector<std::string>{}) << delayMs;
      EXPECT_EQ(err, "quiltora: interrupted; nothing written\n") << delayMs;
    } else {
      EXPECT_EQ(err, "") << delayMs;
      EXPECT_EQ(status, 0) << delayMs;
      EXPECT_EQ(left, std::vector<std::string>{"out.png"}) << delayMs;
      Picture output;
      std::string error;
      EXPECT_TRUE(quiltora_cli::LoadPicture(out, &output, &error)) << error;
    }
    fs::remove(out);
  }
}
#endif

// At 100% Normal the output repeats with the
// tile size the symmetry makes from a 40 x 30 selection (w = 40, h = 30; the
// square and triangle shapes take s = 30).
TEST_F(CommandTest, PatternRepeatsWithTheTileSizeOfItsSymmetry) {
  const Picture input = Probe(200, 150, 3);
  Write("in.png", input);
  struct Case {
    int32_t symmetry, periodX, periodY;
  };
  const Case cases[] = {{1, 40, 30}, {2, 30, 30},  {3, 80, 30}, {4, 80, 30},  {5, 80, 30}, {6, 80, 60},
                        {7, 80, 60}, {8, 60, 60},  {9, 60, 60}, {10, 60, 60}, {11, 60, 60}, {12, 160, 30}};
  for (const Case& c : cases) {
    SCOPED_TRACE(quiltora_cli::Symmetry(c.symmetry).name);
    const Outcome run = Run({Path("in.png"), Path("out.png"), "-q", "--select=30,20,40,30", "--symmetry",
                             std::to_string(c.symmetry), "--offset=5,9"});
    ASSERT_EQ(run.status, 0) << run.err;
    Picture output;
    std::string error;
    ASSERT_TRUE(quiltora_cli::LoadPicture(Path("out.png"), &output, &error)) << error;
    auto at = [&](int32_t x, int32_t y) {
      const uint8_t* p = output.pixels.data() + (size_t(y) * output.width + x) * 3;
      return uint32_t(p[0]) << 16 | uint32_t(p[1]) << 8 | p[2];
    };
    for (int32_t y = 0; y < output.height; ++y)
      for (int32_t x = 0; x < output.width; ++x) {
        if (x + c.periodX < output.width) {
          ASSERT_EQ(at(x + c.periodX, y), at(x, y)) << x << "," << y;
        }
        if (y + c.periodY < output.height) {
          ASSERT_EQ(at(x, y + c.periodY), at(x, y)) << x << "," << y;
        }
      }
  }
}

// The output at 100% Normal
// is the tile repeated on its lattice, for every symmetry.
TEST_F(CommandTest, PatternRepeatsTheSavedTile) {
  const Picture input = Probe(150, 110, 3);
  Write("in.png", input);
  for (int32_t symmetry = 1; symmetry <= quiltora_cli::kSymmetryCount; ++symmetry) {
    SCOPED_TRACE(quiltora_cli::Symmetry(symmetry).name);
    const Outcome run = Run({Path("in.png"), Path("out.png"), "--tile", Path("tile.png"), "--symmetry",
                             std::to_string(symmetry), "--offset=7,-3"});
    ASSERT_EQ(run.status, 0) << run.err;
    Picture output, tile;
    std::string error;
    ASSERT_TRUE(quiltora_cli::LoadPicture(Path("out.png"), &output, &error)) << error;
    ASSERT_TRUE(quiltora_cli::LoadPicture(Path("tile.png"), &tile, &error)) << error;
    int originX = 0, originY = 0, rowShift = 0, width = 0, height = 0;
    ASSERT_EQ(std::sscanf(run.out.c_str(), "tile %d x %d, origin %d,%d, row shift %d", &width, &height, &originX,
                          &originY, &rowShift),
              5)
        << run.out;
    ASSERT_EQ(width, tile.width);
    ASSERT_EQ(height, tile.height);
    for (int32_t y = 0; y < output.height; ++y) {
      const int32_t dy = y - originY;
      const int32_t band = dy >= 0 ? dy / height : (dy + 1) / height - 1;
      const int32_t row = dy - band * height;
      for (int32_t x = 0; x < output.width; ++x) {
        int32_t column = (x - originX - rowShift * band) % width;
        if (column < 0) column += width;
        const uint8_t* got = output.pixels.data() + (size_t(y) * output.width + x) * 3;
        const uint8_t* want = tile.pixels.data() + (size_t(row) * tile.width + column) * 3;
        ASSERT_TRUE(got[0] == want[0] && got[1] == want[1] && got[2] == want[2])
            << "at " << x << "," << y << " tile " << column << "," << row;
      }
    }
  }
}

}  // namespace
