#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "files/bmp_file.h"
#include "files/file_message.h"
#include "platform/platform.h"

namespace quiltora {
namespace {

TEST(FileMessage, TextForEachCodeWithThePathInPlace) {
  struct Case {
    int32_t code;
    const char* text;
  };
  const Case cases[] = {
      {kBmpOk, ""},
      {kBmpNotValid,
       "C:\\a 100%s.bmp is not a valid source file.\r\nOnly 8 bit gray and 24 bit non-compressed BMP files are "
       "supported."},
      {kBmpReadError, "Error reading file C:\\a 100%s.bmp."},
      {kBmpOpenError, "Error opening file C:\\a 100%s.bmp."},
      {kBmpLowMemory, "Error - low memory."},
      {kFilePathTooLong,
       "The path of C:\\a 100%s.bmp is too long.\r\nMove the file to a folder with a shorter path and load it "
       "again."},
      {1, ""},
  };
  for (const Case& c : cases) EXPECT_EQ(FileMessageText("C:\\a 100%s.bmp", c.code), c.text) << c.code;
}

#ifndef _WIN32
// Headless builds hand message boxes to a policy; Windows shows real ones.
struct Shown {
  std::string text, caption;
  platform::MessageStyle style;
};
std::vector<Shown> gShown;

platform::MessageAnswer Record(const char* text, const char* caption, platform::MessageStyle style) {
  gShown.push_back({text, caption, style});
  return platform::MessageAnswer::Ok;
}

TEST(FileMessage, ShownAsAWarningOnlyForFailures) {
  gShown.clear();
  platform::SetMessagePolicy(Record);
  ShowFileMessage(nullptr, "x.bmp", kBmpOk);
  ShowFileMessage(nullptr, "x.bmp", kBmpOpenError);
  platform::SetMessagePolicy(nullptr);
  ASSERT_EQ(gShown.size(), 1u);
  EXPECT_EQ(gShown[0].text, "Error opening file x.bmp.");
  EXPECT_EQ(gShown[0].caption, "Quiltora Warning");
  EXPECT_EQ(gShown[0].style, platform::MessageStyle::Warning);
}
#endif

}  // namespace
}  // namespace quiltora
