// Rows of a build shared between the calling thread and one helper thread,
// where the processor has a second core. Only the calling thread (the host's)
// reports progress and asks about a stop, once per finished row; a stop lets
// each thread finish the row it is on. The helper is joined before Run
// returns, whatever happened, so no thread outlives the call.
#pragma once

#include <atomic>
#include <cstdint>
#include <thread>

#include "render/build_rows.h"

namespace quiltora {

// Whether a helper thread is worth starting here: more than one core.
bool RowTeamHasHelper();

// Runs compute(r) for r = 0 .. count − 1, each row once, in no particular
// order; compute must touch only what row r owns. gate, when given, is
// stepped once per finished row on this thread. Returns 0, or 1 when the
// gate said stop (some rows are then not computed).
template <typename Compute>
int16_t RunRowTeam(int32_t count, const RowGate* gate, Compute&& compute) {
  std::atomic<int32_t> next{0};
  std::atomic<int32_t> finished{0};
  std::atomic<bool> stop{false};
  auto work = [&] {
    for (;;) {
      const int32_t r = next.fetch_add(1, std::memory_order_relaxed);
      if (r >= count || stop.load(std::memory_order_relaxed)) return;
      compute(r);
      finished.fetch_add(1, std::memory_order_release);
    }
  };
  std::thread helper;
  if (count > 1 && RowTeamHasHelper()) {
    try {
      helper = std::thread(work);
    } catch (...) {
      // No thread to be had: this one does every row.
    }
  }
  int32_t reported = 0;
  int16_t status = 0;
  auto report = [&](int32_t upTo) {
    for (; reported < upTo && status == 0; ++reported) {
      if (gate != nullptr) status = gate->StartRow();
    }
    if (status != 0) stop.store(true, std::memory_order_relaxed);
  };
  while (status == 0) {
    report(finished.load(std::memory_order_acquire));
    if (status != 0) break;
    const int32_t r = next.fetch_add(1, std::memory_order_relaxed);
    if (r >= count) break;
    compute(r);
    finished.fetch_add(1, std::memory_order_release);
  }
  if (helper.joinable()) helper.join();
  report(finished.load(std::memory_order_acquire));
  return status;
}

}  // namespace quiltora
