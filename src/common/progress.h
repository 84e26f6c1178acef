// How a long build reports its rows and learns of a stop. The run hands the
// tile builders one that reports to the host and polls its abort test; the
// previews hand in one that does neither.
#pragma once

#include <cstdint>

namespace quiltora {

class ProgressSink {
 public:
  // Starts a count of total steps at 0.
  virtual void Begin(int32_t total) = 0;
  // Reports the count so far, counts one more step and asks whether to stop:
  // true ends the build.
  virtual bool Step() = 0;

 protected:
  ~ProgressSink() = default;
};

// Reports nothing and never stops.
ProgressSink& SilentProgress();

}  // namespace quiltora
