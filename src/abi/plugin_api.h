// The records that cross the boundary between a filter host and this module,
// declared from the published layout: FilterRecord packed to 4 bytes on every
// target, the suites and the small records with natural alignment. The host
// side (apps/filterhost) uses the same declarations.
#pragma once

#include <cstddef>
#include <cstdint>

namespace plugin {

using OSErr = int16_t;
using Boolean = uint8_t;
using Handle = char**;
using BufferID = struct BufferOpaque*;

struct Point {
  int16_t v, h;
};
struct Rect {
  int16_t top, left, bottom, right;
};
// All four coordinates 0: the request for nothing, as every host reads it.
inline constexpr Rect kEmptyRect{0, 0, 0, 0};

struct RGBColor {
  uint16_t red, green, blue;
};

using TestAbortProc = Boolean (*)();
using ProgressProc = void (*)(int32_t done, int32_t total);
using AdvanceStateProc = OSErr (*)();
using AnyProc = void (*)();

struct BufferProcs {
  int16_t bufferProcsVersion;
  int16_t numBufferProcs;
  OSErr (*allocateProc)(int32_t size, BufferID* bufferID);
  char* (*lockProc)(BufferID bufferID, Boolean moveHigh);
  void (*unlockProc)(BufferID bufferID);
  void (*freeProc)(BufferID bufferID);
  int32_t (*spaceProc)();
  OSErr (*reserveProc)(int32_t size);
  OSErr (*allocateProc64)(int64_t size, BufferID* bufferID);
  int64_t (*spaceProc64)();
};

struct HandleProcs {
  int16_t handleProcsVersion;
  int16_t numHandleProcs;
  Handle (*newProc)(int32_t size);
  void (*disposeProc)(Handle h);
  int32_t (*getSizeProc)(Handle h);
  OSErr (*setSizeProc)(Handle h, int32_t newSize);
  char* (*lockProc)(Handle h, Boolean moveHigh);
  void (*unlockProc)(Handle h);
  void (*recoverSpaceProc)(int32_t size);
  void (*disposeRegularHandleProc)(Handle h);
};

struct PlatformData {
  intptr_t hwnd;
};

struct AboutRecord {
  PlatformData* platformData;
  void* sSPBasic;
  void* plugInRef;
  char reserved[244];
};

#pragma pack(push, 4)
struct FilterRecord {
  int32_t serialNumber;
  TestAbortProc abortProc;
  ProgressProc progressProc;
  Handle parameters;
  Point imageSize;
  int16_t planes;
  Rect filterRect;
  RGBColor background;
  RGBColor foreground;
  int32_t maxSpace;
  int32_t bufferSpace;
  Rect inRect;
  int16_t inLoPlane;
  int16_t inHiPlane;
  Rect outRect;
  int16_t outLoPlane;
  int16_t outHiPlane;
  void* inData;
  int32_t inRowBytes;
  void* outData;
  int32_t outRowBytes;
  Boolean isFloating;
  Boolean haveMask;
  Boolean autoMask;
  Rect maskRect;
  void* maskData;
  int32_t maskRowBytes;
  uint8_t backColor[4];
  uint8_t foreColor[4];
  uint32_t hostSig;
  AnyProc hostProc;
  int16_t imageMode;
  int32_t imageHRes;
  int32_t imageVRes;
  Point floatCoord;
  Point wholeSize;
  int32_t monitor[10];
  PlatformData* platformData;
  BufferProcs* bufferProcs;
  void* resourceProcs;
  AnyProc processEvent;
  AnyProc displayPixels;
  HandleProcs* handleProcs;
  Boolean supportsDummyChannels;
  Boolean supportsAlternateLayouts;
  int16_t wantLayout;
  int16_t filterCase;
  int16_t dummyPlaneValue;
  void* premiereHook;
  AdvanceStateProc advanceState;
  Boolean supportsAbsolute;
  Boolean wantsAbsolute;
  AnyProc getPropertyObsolete;
  Boolean cannotUndo;
  Boolean supportsPadding;
  int16_t inputPadding;
  int16_t outputPadding;
  int16_t maskPadding;
  char samplingSupport;
  char reservedByte;
  int32_t inputRate;
  int32_t maskRate;
  AnyProc colorServices;
  int16_t inLayerPlanes;
  int16_t inTransparencyMask;
  int16_t inLayerMasks;
  int16_t inInvertedLayerMasks;
  int16_t inNonLayerPlanes;
  int16_t outLayerPlanes;
  int16_t outTransparencyMask;
  int16_t outLayerMasks;
  int16_t outInvertedLayerMasks;
  int16_t outNonLayerPlanes;
  int16_t absLayerPlanes;
  int16_t absTransparencyMask;
  int16_t absLayerMasks;
  int16_t absInvertedLayerMasks;
  int16_t absNonLayerPlanes;
  int16_t inPreDummyPlanes;
  int16_t inPostDummyPlanes;
  int16_t outPreDummyPlanes;
  int16_t outPostDummyPlanes;
  int32_t inColumnBytes;
  int32_t inPlaneBytes;
  int32_t outColumnBytes;
  int32_t outPlaneBytes;
  void* imageServicesProcs;
  void* propertyProcs;
  int16_t inTileHeight;
  int16_t inTileWidth;
  Point inTileOrigin;
  int16_t absTileHeight;
  int16_t absTileWidth;
  Point absTileOrigin;
  int16_t outTileHeight;
  int16_t outTileWidth;
  Point outTileOrigin;
  int16_t maskTileHeight;
  int16_t maskTileWidth;
  Point maskTileOrigin;
  void* descriptorParameters;
  uint8_t (*errorString)[256];
  void* channelPortProcs;
  void* documentInfo;
  void* sSPBasic;
  void* plugInRef;
  int32_t depth;
  Handle iCCprofileData;
  int32_t iCCprofileSize;
  int32_t canUseICCProfiles;
  int32_t hasImageScrap;
  void* bigDocumentData;
  void* input3DScene;
  void* output3DScene;
  Boolean createNewLayer;
  Handle iCCWorkingProfileData;
  int32_t iCCWorkingProfileSize;
  int64_t bufferSpace64;
  int64_t maxSpace64;
  Boolean allowOverrangeColors;
  char reserved[45];
};
#pragma pack(pop)

// record_layout.cpp checks every offset of these records for both targets.

// Selectors.
enum : int16_t {
  kSelectorAbout = 0,
  kSelectorParameters = 1,
  kSelectorPrepare = 2,
  kSelectorStart = 3,
  kSelectorContinue = 4,
  kSelectorFinish = 5,
};

// Result codes this module returns or records.
enum : int16_t {
  kNoErr = 0,
  kStopped = 1,
  kUnknownSelector = -1,
  kBadModeResult = -19,
  kParamErr = -50,  // the host called a step without the record it needs
  kMemFullErr = -108,
  kNilHandleErr = -109,
  kFilterBadMode = -30101,
};

enum : int16_t { kModeGray = 1, kModeRGB = 3, kModeCMYK = 4 };

// The exported entry point's type, as hosts call it.
using EntryPoint = void (*)(int16_t selector, void* record, intptr_t* data, int16_t* result);

}  // namespace plugin
