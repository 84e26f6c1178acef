// A one-line progress bar on stderr, drawn only when stderr is a terminal.
#pragma once

#include <cstdint>

namespace quiltora_cli {

class ProgressBar {
 public:
  explicit ProgressBar(bool wanted);
  ~ProgressBar();
  ProgressBar(const ProgressBar&) = delete;
  ProgressBar& operator=(const ProgressBar&) = delete;

  void Update(int32_t done, int32_t total);
  // Clears the line so that a message can follow on a clean one.
  void Finish();

 private:
  bool active_;
  bool drawn_ = false;
  int lastPermille_ = -1;
};

}  // namespace quiltora_cli
