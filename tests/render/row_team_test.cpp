// Rows shared between the calling thread and a helper: each row computed
// once, progress and the stop question on the calling thread only, once per
// finished row, and every row's work over when the call returns.
#include "render/row_team.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace quiltora {
namespace {

class ThreadProgress final : public ProgressSink {
 public:
  explicit ThreadProgress(int32_t stopAtStep) : stopAtStep_(stopAtStep) {}
  void Begin(int32_t) override {}
  bool Step() override {
    if (std::this_thread::get_id() != caller_) elsewhere = true;
    return steps++ == stopAtStep_;
  }
  int32_t steps = 0;
  bool elsewhere = false;

 private:
  std::thread::id caller_ = std::this_thread::get_id();
  int32_t stopAtStep_;
};

TEST(RowTeam, EachRowOnceProgressOnTheCallerAndNoWorkLeftRunning) {
  constexpr int32_t kRows = 200;
  for (const int32_t stopAt : {-1, 0, 1, 57, kRows - 1}) {
    SCOPED_TRACE(testing::Message() << "stop at step " << stopAt);
    std::vector<std::atomic<int32_t>> computed(kRows);
    std::atomic<int32_t> started{0}, ended{0};
    ThreadProgress progress(stopAt);
    const RowGate gate(BuildRun{&progress, 0}, kRows);
    const int16_t status = RunRowTeam(kRows, &gate, [&](int32_t r) {
      started.fetch_add(1);
      // Enough work per row for the two threads to overlap.
      volatile uint32_t sink = 0;
      for (uint32_t k = 0; k < 20000; ++k) sink = sink + k * uint32_t(r);
      computed[size_t(r)].fetch_add(1);
      ended.fetch_add(1);
    });
    // Nothing still computing once the call is back.
    EXPECT_EQ(started.load(), ended.load());
    EXPECT_FALSE(progress.elsewhere);
    int32_t total = 0;
    for (const auto& count : computed) {
      EXPECT_LE(count.load(), 1);
      total += count.load();
    }
    if (stopAt < 0) {
      EXPECT_EQ(status, 0);
      EXPECT_EQ(progress.steps, kRows);
      EXPECT_EQ(total, kRows);
    } else {
      EXPECT_EQ(status, 1);
      EXPECT_EQ(progress.steps, stopAt + 1);
      EXPECT_GE(total, stopAt + 1);
    }
  }
}

}  // namespace
}  // namespace quiltora
