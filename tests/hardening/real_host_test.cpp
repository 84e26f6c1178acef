// The module in the hosts people really use: each behaviour of a real host
// (host_behaviour.h) alone, through a session of runs as an editor makes it,
// against what the careful host gets; runs that cannot complete; and the
// settings blocks hosts hand back.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#endif

#include "abi/parameter_block.h"
#include "filterhost.h"
#include "hardening/hardening_support.h"

namespace {

using filterhost::Host;
using filterhost::HostBehaviour;
using filterhost::Image;
using filterhost::KeptBlock;
using filterhost::RunReport;
using quiltora::ParameterBlock;

constexpr int32_t kWidth = 64;
constexpr int32_t kHeight = 58;
const char kTooSmall[] = "Image is too small.  Try loading a different image.";

ParameterBlock BlockOf(const Host& host) {
  ParameterBlock block{};
  const std::vector<uint8_t> bytes = host.ParameterBytes();
  if (bytes.size() >= sizeof block) std::memcpy(&block, bytes.data(), sizeof block);
  return block;
}

// The picture a behaviour needs for the colour picture P: with an alpha plane
// after P's channels, or with P inside a frame that lies outside the filter area.
Image HostPicture(const Image& p, const HostBehaviour& b) {
  if (!b.alphaPlane && !b.filterRectInside) return p;
  const plugin::Rect inside = filterhost::InsideFilterRect(p.width + 7, p.height + 7);
  const int32_t width = b.filterRectInside ? p.width + 7 : p.width;
  const int32_t height = b.filterRectInside ? p.height + 7 : p.height;
  const int32_t left = b.filterRectInside ? inside.left : 0, top = b.filterRectInside ? inside.top : 0;
  Image picture(width, height, p.channels + (b.alphaPlane ? 1 : 0));
  for (int32_t y = 0; y < height; ++y)
    for (int32_t x = 0; x < width; ++x) {
      uint8_t* to = picture.At(x, y);
      const bool inP = x >= left && y >= top && x < left + p.width && y < top + p.height;
      for (int32_t c = 0; c < picture.channels; ++c)
        to[c] = inP && c < p.channels ? p.At(x - left, y - top)[c] : uint8_t(x * 11 + y * 7 + c * 31);
    }
  return picture;
}

// The colour picture inside a host's picture again: P's place and channels.
Image ColourPart(const Image& picture, const Image& p, const HostBehaviour& b) {
  const plugin::Rect inside = filterhost::InsideFilterRect(picture.width, picture.height);
  const int32_t left = b.filterRectInside ? inside.left : 0, top = b.filterRectInside ? inside.top : 0;
  Image colour(p.width, p.height, p.channels);
  for (int32_t y = 0; y < p.height; ++y)
    for (int32_t x = 0; x < p.width; ++x) std::memcpy(colour.At(x, y), picture.At(x + left, y + top), size_t(p.channels));
  return colour;
}

// True when every sample a run must not write (the alpha plane, the frame
// around the filter area) is as before.
bool OutsideUntouched(const Image& before, const Image& after, const Image& p, const HostBehaviour& b) {
  const plugin::Rect inside = filterhost::InsideFilterRect(before.width, before.height);
  const int32_t left = b.filterRectInside ? inside.left : 0, top = b.filterRectInside ? inside.top : 0;
  for (int32_t y = 0; y < before.height; ++y)
    for (int32_t x = 0; x < before.width; ++x)
      for (int32_t c = 0; c < before.channels; ++c) {
        const bool written = x >= left && y >= top && x < left + p.width && y < top + p.height && c < p.channels;
        if (!written && before.At(x, y)[c] != after.At(x, y)[c]) return false;
      }
  return true;
}

struct Session {
  std::vector<int16_t> results;
  std::vector<std::string> broken;
  Image picture;
};

// A session as an editor makes it: the filter with its dialog (which accepts
// the defaults), then the user's choice written into the block as the dialog
// writes it, then two repeats; the host does between runs what it does.
Session RunSession(Host& host, const Image& picture, bool choose) {
  Session session;
  host.SetImage(picture);
  for (int run = 0; run < 3; ++run) {
    if (run > 0 && !host.BetweenRuns()) session.broken.push_back("the module could not be loaded again");
    const RunReport report = host.Run(run == 0);
    session.results.push_back(report.result);
    for (const std::string& line : hardening::CheckRunEnd(host, report))
      session.broken.push_back("run " + std::to_string(run + 1) + ": " + line);
    if (run == 0 && choose && host.parameters() != nullptr) {
      ParameterBlock block = BlockOf(host);
      block.symmetry = 5;
      block.feather = 25;
      block.opacity = 60;
      block.blendMode = 8;
      std::vector<uint8_t> bytes(sizeof block);
      std::memcpy(bytes.data(), &block, sizeof block);
      host.PatchParameterBytes(bytes);
    }
  }
  session.picture = host.image();
  return session;
}

// Whether the user's choice reaches the repeats: not when the host drops the
// block, nor when it says the block it hands back is too small to be one.
bool ChoiceSurvives(const HostBehaviour& b) {
  if (b.keptBlock == KeptBlock::Dropped) return false;
  return b.noHandleSuite || b.handleSizeAnswer <= 0 || b.handleSizeAnswer >= int32_t(sizeof(ParameterBlock));
}

class RealHostTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(module_.Load(filterhost::ModuleBesideExecutable())) << module_.error();
  }

  // The careful host's session on P.
  Session Reference(const Image& p, bool choose) {
    Host host(module_);
    return RunSession(host, p, choose);
  }

  filterhost::Module module_;
};

// The host whose getSizeProc answers 0 for the handles it made: before, the
// new block looked too small and every run ended with 1 without a word.
TEST_F(RealHostTest, SuiteThatCannotSizeItsOwnHandlesRunsAsTheCarefulHostDoes) {
  const Image p = hardening::ProbeImage(kWidth, kHeight, 3);
  const Session careful = Reference(p, true);
  Host host(module_);
  host.ClearMessages();
  host.behaviour().handleSizeAnswer = 0;
  host.SetImage(p);
  ASSERT_EQ(host.Parameters(), 0);
  EXPECT_TRUE(host.ParametersFromHost()) << "the block comes from the host's suite";
  EXPECT_EQ(BlockOf(host).magic, quiltora::kParameterMagic);
  const Session session = RunSession(host, p, true);
  EXPECT_EQ(session.results, (std::vector<int16_t>{0, 0, 0}));
  EXPECT_TRUE(session.broken.empty()) << session.broken.front();
  EXPECT_TRUE(session.picture.pixels == careful.picture.pixels) << "another picture than the careful host's";
  EXPECT_EQ(BlockOf(host).symmetry, 5) << "the user's choice was lost";
  EXPECT_TRUE(host.messages().empty());
}

// Every behaviour alone, in gray, RGB and CMYK: the session completes and
// renders, byte for byte, what the careful host renders with the settings
// that reach it; nothing outside the filter area's colour planes changes.
TEST_F(RealHostTest, EveryBehaviourAloneRendersWhatTheCarefulHostRenders) {
  for (int32_t channels : {1, 3, 4}) {
    const Image p = hardening::ProbeImage(kWidth, kHeight, channels);
    const Session withChoice = Reference(p, true);
    const Session withoutChoice = Reference(p, false);
    ASSERT_TRUE(withChoice.broken.empty()) << withChoice.broken.front();
    ASSERT_NE(withChoice.picture.pixels, withoutChoice.picture.pixels) << "the choice must show";
    for (const filterhost::NamedBehaviour& row : filterhost::EachBehaviourAlone()) {
      SCOPED_TRACE(row.name + ", " + std::to_string(channels) + " channels");
      Host host(module_);
      host.ClearMessages();
      host.behaviour() = row.behaviour;
      const Image picture = HostPicture(p, row.behaviour);
      const Session session = RunSession(host, picture, true);
      EXPECT_EQ(session.results, (std::vector<int16_t>{0, 0, 0}));
      for (const std::string& line : session.broken) ADD_FAILURE() << line;
      const Session& expected = ChoiceSurvives(row.behaviour) ? withChoice : withoutChoice;
      EXPECT_TRUE(ColourPart(session.picture, p, row.behaviour).pixels == expected.picture.pixels)
          << "another picture than the careful host's";
      EXPECT_TRUE(OutsideUntouched(picture, session.picture, p, row.behaviour)) << "wrote outside the filter area";
      EXPECT_TRUE(host.messages().empty()) << host.messages().front().text;
    }
  }
}

// Runs that cannot complete, in every host: each ends with a negative code the
// host reports, or with 1 after the module's own message; never with 1 unsaid.
TEST_F(RealHostTest, RunsThatCannotCompleteSaySoInEveryHost) {
  struct Case {
    const char* name;
    int32_t width, height, channels;
    bool blockAllocationFails;
    int16_t result;
    bool message;
  };
  const Case cases[] = {
      {"filter area below 50 pixels", 49, 60, 3, false, plugin::kStopped, true},
      {"the block cannot be allocated", 60, 60, 3, true, plugin::kMemFullErr, false},
      {"a multichannel image", 60, 60, 2, false, plugin::kBadModeResult, false},
  };
  for (const filterhost::NamedBehaviour& row : filterhost::EachBehaviourAlone())
    for (const Case& c : cases) {
      // Without a host handle suite the block comes from the module's own memory.
      if (c.blockAllocationFails && row.behaviour.noHandleSuite) continue;
      SCOPED_TRACE(row.name + ": " + c.name);
      Host host(module_);
      host.behaviour() = row.behaviour;
      host.ClearMessages();
      Image picture = HostPicture(hardening::ProbeImage(c.width, c.height, c.channels), row.behaviour);
      if (row.behaviour.filterRectInside && c.channels == 2) continue;  // a 2-channel frame is not a picture P
      host.SetImage(picture);
      if (c.blockAllocationFails) host.faults().failAllocationsFrom = host.allocations() + 1;
      const RunReport report = host.Run(true);
      EXPECT_EQ(report.result, c.result);
      for (const std::string& line : hardening::CheckRunEnd(host, report)) ADD_FAILURE() << line;
      if (c.message) {
        ASSERT_FALSE(host.messages().empty());
        EXPECT_EQ(host.messages().front().text, kTooSmall);
      } else {
        EXPECT_TRUE(host.messages().empty());
      }
    }
}

// Blocks handed back from an earlier run, in a new handle of the host's: read
// when the host's size (if it can tell one) and the block's magic and version
// say it is one of ours; otherwise replaced by the defaults, in place when the
// handle is known to be large enough, and the old handle given back (without
// a handle suite the host takes back the handle it made).
TEST_F(RealHostTest, HandedBackBlocksAreCheckedBySizeWhereTheHostCanTellItAndByMagic) {
  enum Damage { kNone, kMagic, kVersion, kTruncated, kEmpty };
  struct Case {
    int32_t sizeAnswer;  // -1: the truth
    Damage damage;
    bool kept, inPlace;
    bool noHandleSuite = false;
  };
  const Case cases[] = {
      {-1, kNone, true, false},      {0, kNone, true, false},         {16, kNone, false, false},
      {1 << 20, kNone, true, false}, {-1, kMagic, false, true},       {0, kMagic, false, false},
      {-1, kVersion, false, true},   {-1, kTruncated, false, false},  {1 << 20, kMagic, false, true},
      {-1, kNone, true, false, true}, {-1, kVersion, false, false, true},
      {-1, kEmpty, false, false},  // a suite that sizes its handles says 0: nothing to read
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("size answer " + std::to_string(c.sizeAnswer) + ", damage " + std::to_string(c.damage) +
                 (c.noHandleSuite ? ", no handle suite" : ""));
    Host host(module_);
    host.SetImage(hardening::ProbeImage(kWidth, kHeight, 3));
    ASSERT_EQ(host.Run(true).result, 0);  // an earlier run, ended by Finish
    ParameterBlock earlier = BlockOf(host);
    earlier.symmetry = 13;
    std::vector<uint8_t> bytes(sizeof earlier);
    std::memcpy(bytes.data(), &earlier, sizeof earlier);
    if (c.damage == kMagic) bytes[0] ^= 0x40;
    if (c.damage == kVersion) bytes[5] ^= 0x01;
    if (c.damage == kTruncated) bytes.resize(100);
    if (c.damage == kEmpty) bytes.clear();
    host.behaviour().handleSizeAnswer = c.sizeAnswer;
    host.behaviour().noHandleSuite = c.noHandleSuite;
    host.RestoreParameterBytes(bytes);
    const plugin::Handle handedBack = host.parameters();
    const RunReport report = host.Run(false);
    EXPECT_EQ(report.result, 0);
    for (const std::string& line : hardening::CheckRunEnd(host, report)) ADD_FAILURE() << line;
    const ParameterBlock block = BlockOf(host);
    EXPECT_EQ(block.magic, quiltora::kParameterMagic);
    EXPECT_EQ(block.version, quiltora::kParameterVersion);
    EXPECT_EQ(block.symmetry, c.kept ? 13 : 8);
    if (!c.kept) {
      EXPECT_EQ(host.parameters() == handedBack, c.inPlace);
    }
  }
}

#ifdef _WIN32
// The window a host names from another thread is a real one, owned there, so
// that a dialog made on the module's thread meets it as it would in such a host.
TEST_F(RealHostTest, WindowOfAnotherThreadIsARealWindowOwnedThere) {
  const auto window = reinterpret_cast<HWND>(filterhost::OtherThreadWindow());
  ASSERT_TRUE(IsWindow(window));
  EXPECT_NE(GetWindowThreadProcessId(window, nullptr), GetCurrentThreadId());
  DWORD_PTR answer = 0;
  EXPECT_NE(SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_BLOCK, 5000, &answer), 0) << "its thread pumps messages";
}
#endif

}  // namespace
