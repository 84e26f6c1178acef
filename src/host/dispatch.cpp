#include "host/dispatch.h"

#include "host/parameters.h"
#include "host/run.h"
#include "host/run_state.h"

namespace quiltora {

int16_t Dispatch(int16_t selector, void* record) {
  auto* filterRecord = static_cast<plugin::FilterRecord*>(record);
  // Start, Continue and Finish work on the record Prepare stored; a host that
  // hands over a record of its own then is followed, so the module never
  // keeps a pointer the host may have freed.
  const bool runStep = selector == plugin::kSelectorStart || selector == plugin::kSelectorContinue ||
                       selector == plugin::kSelectorFinish;
  if (runStep && filterRecord != nullptr) gFilterRecord = filterRecord;
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
