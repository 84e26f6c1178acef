#include "host/dispatch.h"

#include <new>

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
  // Parameters and Prepare need the host's record; so do Start and Continue,
  // unless an earlier step of the run stored one.
  const bool needsRecord = selector >= plugin::kSelectorParameters && selector <= plugin::kSelectorContinue;
  if (needsRecord && filterRecord == nullptr && (!runStep || gFilterRecord == nullptr)) return plugin::kParamErr;
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

void EntryPoint(int16_t selector, void* record, intptr_t* /*data: state lives in the module and the settings record*/,
                int16_t* result) {
  int16_t answer = plugin::kNoErr;
  try {
    answer = Dispatch(selector, record);
  } catch (const std::bad_alloc&) {
    answer = plugin::kMemFullErr;
  } catch (...) {
    answer = plugin::kMemFullErr;
  }
  if (result != nullptr) *result = answer;
}

}  // namespace quiltora
