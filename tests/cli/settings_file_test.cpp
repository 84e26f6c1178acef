// Settings records in files: a run's record saved with --save-settings and
// handed back with --settings, as a host keeps it between runs.
#include "settings_file.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <random>

#include "abi/parameter_block.h"
#include "program_fixture.h"

namespace {

using namespace quiltora_test;
using quiltora::ParameterBlock;

std::vector<uint8_t> RecordWithHeader(uint32_t magic, uint32_t version, size_t size) {
  std::vector<uint8_t> bytes(size, 0x5A);
  if (size >= 8) {
    std::memcpy(bytes.data(), &magic, 4);
    std::memcpy(bytes.data() + 4, &version, 4);
  }
  return bytes;
}

TEST(SettingsRecordProblem, OnlyARecordOfOurSizeMagicAndVersionPasses) {
  struct Case {
    std::vector<uint8_t> bytes;
    const char* problem;  // empty: handed to the module
  } cases[] = {
      {RecordWithHeader(0xF00F, 0x1000, 688), ""},
      {{}, "holds 0 bytes, not the 688"},
      {RecordWithHeader(0xF00F, 0x1000, 687), "holds 687 bytes"},
      {RecordWithHeader(0xF00F, 0x1000, 689), "holds 689 bytes"},
      {RecordWithHeader(0x0FF0, 0x1000, 688), "is not a Quiltora settings record"},
      {RecordWithHeader(0xF00F, 0x0010, 688), "is not a Quiltora settings record"},
  };
  for (const Case& c : cases) {
    const std::string problem = quiltora_cli::SettingsRecordProblem(c.bytes);
    if (*c.problem == '\0')
      EXPECT_EQ(problem, "") << c.bytes.size();
    else
      EXPECT_NE(problem.find(c.problem), std::string::npos) << problem;
  }
}

class SettingsFile : public CommandTest {
 protected:
  void WriteBytes(const char* name, const std::vector<uint8_t>& bytes) {
    std::ofstream(Path(name), std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  }
  ParameterBlock ReadRecord(const char* name) {
    const std::string bytes = ReadFile(Path(name));
    ParameterBlock block{};
    EXPECT_EQ(bytes.size(), sizeof block);
    std::memcpy(&block, bytes.data(), std::min(bytes.size(), sizeof block));
    return block;
  }
};

TEST_F(SettingsFile, ReadingClearsTheDialogFlagAndRefusesWhatIsNoRecord) {
  ParameterBlock block{};
  block.magic = quiltora::kParameterMagic;
  block.version = quiltora::kParameterVersion;
  block.showDialog = 1;
  block.symmetry = 5;
  WriteBytes("good.qset", std::vector<uint8_t>(reinterpret_cast<uint8_t*>(&block),
                                               reinterpret_cast<uint8_t*>(&block) + sizeof block));
  std::vector<uint8_t> record;
  std::string error;
  ASSERT_TRUE(quiltora_cli::ReadSettingsFile(Path("good.qset"), &record, &error)) << error;
  ASSERT_EQ(record.size(), sizeof block);
  ParameterBlock read{};
  std::memcpy(&read, record.data(), sizeof read);
  EXPECT_EQ(read.showDialog, 0);
  EXPECT_EQ(read.symmetry, 5);

  WriteBytes("long.qset", std::vector<uint8_t>(5000, 0));
  EXPECT_FALSE(quiltora_cli::ReadSettingsFile(Path("long.qset"), &record, &error));
  EXPECT_EQ(error,
            "'" + Path("long.qset") + "' holds 5000 bytes, not the 688 of a settings record (see --save-settings)");
  EXPECT_FALSE(quiltora_cli::ReadSettingsFile(Path("absent.qset"), &record, &error));
  EXPECT_EQ(error.rfind("cannot read '", 0), 0u) << error;
}

// The record a run leaves gives the same output when handed back, from the
// image or from a loaded file's area, in gray and RGB; the second run saves
// the same settings again.
TEST_F(SettingsFile, SavedSettingsReproduceTheRunByteForByte) {
  Write("rgb.png", Probe(150, 110, 3));
  Write("gray.png", Probe(120, 100, 1));
  Write("source.bmp", Probe(260, 180, 3));
  const std::vector<std::vector<std::string>> runs = {
      {"rgb.png", "--symmetry=13", "--feather=20", "--blend=multiply", "--opacity=70", "--offset=9,-4"},
      {"gray.png", "--symmetry=1", "--select=20,30,50,40", "--shear=12"},
      {"rgb.png", "--symmetry=8", "--source", Path("source.bmp"), "--source-area=70,40,150,110", "--feather=10"},
      {"rgb.png", "--symmetry=4", "--region=10,5,120,100", "--select=5,5,30,30"},
  };
  for (const std::vector<std::string>& given : runs) {
    std::vector<std::string> first = {Path(given[0].c_str()), Path("first.ppm"), "-q", "--save-settings",
                                      Path("run.qset")};
    first.insert(first.end(), given.begin() + 1, given.end());
    const Outcome saved = Run(first);
    ASSERT_EQ(saved.status, 0) << given[1] << saved.err;
    std::vector<std::string> again = {Path(given[0].c_str()), Path("again.ppm"), "-q", "--settings", Path("run.qset"),
                                      "--save-settings",      Path("again.qset")};
    for (const std::string& arg : given)
      if (arg.rfind("--region", 0) == 0) again.push_back(arg);
    const Outcome repeated = Run(again);
    ASSERT_EQ(repeated.status, 0) << given[1] << repeated.err;
    EXPECT_EQ(repeated.err, "");
    EXPECT_TRUE(ReadFile(Path("first.ppm")) == ReadFile(Path("again.ppm"))) << given[1];
    const ParameterBlock one = ReadRecord("run.qset"), two = ReadRecord("again.qset");
    EXPECT_EQ(one.symmetry, two.symmetry);
    EXPECT_EQ(one.sourceKind, two.sourceKind);
    EXPECT_EQ(std::memcmp(&one.selectionNormalised, &two.selectionNormalised, sizeof one.selectionNormalised), 0);
    EXPECT_EQ(one.showDialog, 0);
  }
}

// Records whose header is ours but whose contents are anything run with sane
// values (or say why not in one line); garbage without the header is refused
// in one line; nothing crashes and a failed run writes nothing.
TEST_F(SettingsFile, DamagedRecordsRunCleanlyOrFailInOneLine) {
  Write("in.png", Probe(90, 70, 3));
  std::mt19937 random(16);
  for (int round = 0; round < 12; ++round) {
    std::vector<uint8_t> bytes(sizeof(ParameterBlock));
    for (uint8_t& byte : bytes) byte = uint8_t(random());
    const bool ours = round % 3 != 0;
    if (ours) {
      const uint32_t magic = quiltora::kParameterMagic, version = quiltora::kParameterVersion;
      std::memcpy(bytes.data(), &magic, 4);
      std::memcpy(bytes.data() + 4, &version, 4);
      // Half of them name a file that is not there as their source.
      if (round % 2 == 0) {
        const int32_t loaded = quiltora::kSourceLoadedFile;
        std::memcpy(bytes.data() + offsetof(ParameterBlock, sourceKind), &loaded, 4);
        const std::string missing = Path("missing.bmp");
        std::memcpy(bytes.data() + offsetof(ParameterBlock, sourcePath), missing.c_str(), missing.size() + 1);
      }
    }
    WriteBytes("damaged.qset", bytes);
    const Outcome run = Run({Path("in.png"), Path("out.png"), "--settings", Path("damaged.qset")});
    if (!ours) {
      EXPECT_EQ(run.status, 1) << round;
      EXPECT_EQ(run.err,
                "quiltora: '" + Path("damaged.qset") + "' is not a Quiltora settings record (see --save-settings)\n")
          << round;
      EXPECT_EQ(Leftovers({"in.png", "damaged.qset"}), std::vector<std::string>{}) << round;
      continue;
    }
    EXPECT_TRUE(run.status == 0 || run.status == 1) << round << run.err;
    if (run.status == 0) {
      Picture output;
      std::string error;
      EXPECT_TRUE(quiltora_cli::LoadPicture(Path("out.png"), &output, &error)) << round << error;
      if (round % 2 == 0) {
        EXPECT_NE(run.err.find("note: the source file"), std::string::npos) << round << run.err;
      }
    } else {
      EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << round << run.err;
    }
    fs::remove(Path("out.png"));
  }
}

}  // namespace
