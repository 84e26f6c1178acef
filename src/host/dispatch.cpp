#include "host/dispatch.h"

#include "host/parameters.h"
#include "host/run.h"

namespace quiltora {

int16_t Dispatch(int16_t selector, void* record) {
  auto* filterRecord = static_cast<plugin::FilterRecord*>(record);
  switch (selector) {
    case plugin::kSelectorAbout: return plugin::kNoErr;  // the record is an AboutRecord: leave it alone
    case plugin::kSelectorParameters: return DoParameters(filterRecord);
    case plugin::kSelectorPrepare: return DoPrepare(filterRecord);
    case plugin::kSelectorStart: return DoStart();
    case plugin::kSelectorContinue: return DoContinue();
    case plugin::kSelectorFinish: return DoFinish();
    default: return plugin::kUnknownSelector;
  }
}

}  // namespace quiltora
