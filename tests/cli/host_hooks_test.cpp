// The hooks the command installs on the host: the finish hook sees a run that
// went through, while the module still holds the run's objects.
#include <gtest/gtest.h>

#include "filterhost.h"

namespace {

filterhost::Image Flat(int32_t width, int32_t height) {
  filterhost::Image image(width, height, 3);
  for (size_t i = 0; i < image.pixels.size(); ++i) image.pixels[i] = uint8_t(i * 7);
  return image;
}

TEST(CliHostHooks, FinishHookRunsOnceBeforeFinishAndOnlyAfterASuccessfulRun) {
  filterhost::Module module;
  ASSERT_TRUE(module.Load(filterhost::ModuleBesideExecutable())) << module.error();
  filterhost::Host host(module);
  int hookCalls = 0;
  bool tileCopied = false;
  filterhost::TileCopy tile;
  host.SetBeforeFinishHook([&] {
    ++hookCalls;
    tileCopied = filterhost::CopyModuleTile(module, &tile);
  });
  host.SetAbortHook([] { return false; });

  host.SetImage(Flat(64, 60));
  ASSERT_EQ(host.Parameters(), 0);
  filterhost::RunReport report = host.Render();
  EXPECT_EQ(report.result, 0);
  EXPECT_TRUE(report.finishCalled);
  EXPECT_EQ(hookCalls, 1);
  // With the export, the tile is still there when the hook runs.
  const bool exported = module.Symbol("QuiltoraCopyTile") != nullptr;
  EXPECT_EQ(tileCopied, exported);
  if (exported) {
    EXPECT_GT(tile.width, 0);
    EXPECT_EQ(tile.channels, 3);
    EXPECT_EQ(tile.pixels.size(), size_t(tile.width) * tile.height * 3);
  }

  // A refused image never reaches the hook.
  host.SetImage(Flat(49, 60));
  report = host.Render();
  EXPECT_NE(report.result, 0);
  EXPECT_EQ(hookCalls, 1);
  // After Finish the module holds no tile any more.
  EXPECT_FALSE(filterhost::CopyModuleTile(module, &tile));
}

}  // namespace
