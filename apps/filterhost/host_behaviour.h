// What real filter hosts do differently, as switches of the test host. All
// switches off is the careful host; each one reproduces a behaviour seen in
// a real host, so that a test (or a dialog test later) can run the module the
// way that host does, alone or together with the fault injection of Faults.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "abi/plugin_api.h"

namespace filterhost {

// What the host does with the kept settings block between runs.
enum class KeptBlock {
  Kept,        // hands the same handle back
  Dropped,     // forgets it: every run starts without a block
  ByteCopied,  // copies its bytes into a new handle and frees the old one
};

// What platformData names.
enum class HostWindow {
  Zero,         // a PlatformData whose window is 0
  None,         // platformData itself is null
  OtherThread,  // a real window (on Windows) owned by another thread, which pumps its messages
  Given,        // the window in HostBehaviour::givenWindow: the editor's own, on the calling thread
};

struct HostBehaviour {
  // getSizeProc's answer for the handles this host made: the true size when
  // negative; otherwise this value for every one of them (0: a host whose size
  // bookkeeping covers only foreign handles).
  int32_t handleSizeAnswer = -1;
  bool disposeDoesNothing = false;  // disposeProc frees nothing (the host keeps it till it closes)
  bool setSizeDoesNothing = false;  // setSizeProc answers noErr and leaves the handle as it was
  bool parametersEveryRun = false;  // Parameters before every run: the dialog is wanted every time
  KeptBlock keptBlock = KeptBlock::Kept;
  bool reloadModuleBetweenRuns = false;
  HostWindow window = HostWindow::Zero;
  intptr_t givenWindow = 0;  // for HostWindow::Given
  bool alphaPlane = false;          // the image's last channel is transparency, counted in planes
  bool freshBandEveryCall = false;  // each Continue gets its rows copied into newly allocated memory
  bool noBufferSuite = false;
  bool noHandleSuite = false;
  bool nullBasicSuiteAndDescriptorProcs = false;  // sSPBasic null, descriptorParameters with null procs
  bool filterRectInside = false;  // SetImage makes the filter area a rectangle inside the image
};

// The switches that are on, in words ("careful host" when none is).
std::string Describe(const HostBehaviour& behaviour);

// A host that does both: every switch that is on in either.
HostBehaviour Combine(const HostBehaviour& a, const HostBehaviour& b);

// One row per behaviour, each alone, for tables of runs.
struct NamedBehaviour {
  std::string name;
  HostBehaviour behaviour;
};
std::vector<NamedBehaviour> EachBehaviourAlone();

// The filter area filterRectInside gives an image of that size: 3 pixels in
// from the left, 2 from the top, 4 from the right and 5 from the bottom.
plugin::Rect InsideFilterRect(int32_t width, int32_t height);

// Sets the record's fields a behaviour decides (window, basic suite,
// descriptor parameters); platformData is the host's own PlatformData.
void ApplyToRecord(const HostBehaviour& behaviour, plugin::PlatformData* platformData, plugin::FilterRecord* record);

// A window owned by another thread of this process, which keeps pumping its
// messages: made once, on first use, and kept until the process ends. Where
// there are no windows, a non-zero value that names none.
intptr_t OtherThreadWindow();

}  // namespace filterhost
