#include "common/progress.h"

namespace quiltora {
namespace {

class Silent final : public ProgressSink {
 public:
  void Begin(int32_t) override {}
  bool Step() override { return false; }
};

}  // namespace

ProgressSink& SilentProgress() {
  static Silent silent;
  return silent;
}

}  // namespace quiltora
