#include "progress.h"

#include <cstdio>

#ifdef _WIN32
#include <io.h>
#define QUILTORA_ISATTY(fd) _isatty(fd)
#define QUILTORA_FILENO(f) _fileno(f)
#else
#include <unistd.h>
#define QUILTORA_ISATTY(fd) isatty(fd)
#define QUILTORA_FILENO(f) fileno(f)
#endif

namespace quiltora_cli {
namespace {

constexpr int kBarWidth = 40;

}  // namespace

ProgressBar::ProgressBar(bool wanted) : active_(wanted && QUILTORA_ISATTY(QUILTORA_FILENO(stderr))) {}

ProgressBar::~ProgressBar() { Finish(); }

void ProgressBar::Update(int32_t done, int32_t total) {
  if (!active_ || total <= 0) return;
  const int64_t clamped = done < 0 ? 0 : done > total ? total : done;
  const int permille = int(clamped * 1000 / total);
  if (permille == lastPermille_) return;  // redraw only when the bar moves
  lastPermille_ = permille;
  char bar[kBarWidth + 1];
  const int filled = permille * kBarWidth / 1000;
  for (int i = 0; i < kBarWidth; ++i) bar[i] = i < filled ? '#' : '.';
  bar[kBarWidth] = '\0';
  std::fprintf(stderr, "\r[%s] %3d%%", bar, permille / 10);
  std::fflush(stderr);
  drawn_ = true;
}

void ProgressBar::Finish() {
  if (!drawn_) return;
  std::fprintf(stderr, "\r%*s\r", kBarWidth + 8, "");
  std::fflush(stderr);
  drawn_ = false;
  lastPermille_ = -1;
}

}  // namespace quiltora_cli
