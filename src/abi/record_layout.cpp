// The layout of every record the module shares with a host, checked when
// each target is compiled: the 64-bit build checks the x64 offsets, the
// 32-bit build (which this machine cannot run) the i686 ones. Offsets are
// those of the published interface on Windows: FilterRecord packed to 4
// bytes, the suites and small records naturally aligned.
#include <cstddef>
#include <cstdint>

#include "abi/parameter_block.h"
#include "abi/plugin_api.h"

namespace plugin {
namespace {

constexpr bool k64 = sizeof(void*) == 8;
static_assert(sizeof(void*) == 4 || sizeof(void*) == 8);

#define QUILTORA_RECORD_FIELD(field, i686, x64) \
  static_assert(offsetof(FilterRecord, field) == (k64 ? (x64) : (i686)), "FilterRecord." #field)

QUILTORA_RECORD_FIELD(serialNumber, 0, 0);
QUILTORA_RECORD_FIELD(abortProc, 4, 4);
QUILTORA_RECORD_FIELD(progressProc, 8, 12);
QUILTORA_RECORD_FIELD(parameters, 12, 20);
QUILTORA_RECORD_FIELD(imageSize, 16, 28);
QUILTORA_RECORD_FIELD(planes, 20, 32);
QUILTORA_RECORD_FIELD(filterRect, 22, 34);
QUILTORA_RECORD_FIELD(background, 30, 42);
QUILTORA_RECORD_FIELD(foreground, 36, 48);
QUILTORA_RECORD_FIELD(maxSpace, 44, 56);
QUILTORA_RECORD_FIELD(bufferSpace, 48, 60);
QUILTORA_RECORD_FIELD(inRect, 52, 64);
QUILTORA_RECORD_FIELD(inLoPlane, 60, 72);
QUILTORA_RECORD_FIELD(inHiPlane, 62, 74);
QUILTORA_RECORD_FIELD(outRect, 64, 76);
QUILTORA_RECORD_FIELD(outLoPlane, 72, 84);
QUILTORA_RECORD_FIELD(outHiPlane, 74, 86);
QUILTORA_RECORD_FIELD(inData, 76, 88);
QUILTORA_RECORD_FIELD(inRowBytes, 80, 96);
QUILTORA_RECORD_FIELD(outData, 84, 100);
QUILTORA_RECORD_FIELD(outRowBytes, 88, 108);
QUILTORA_RECORD_FIELD(isFloating, 92, 112);
QUILTORA_RECORD_FIELD(haveMask, 93, 113);
QUILTORA_RECORD_FIELD(autoMask, 94, 114);
QUILTORA_RECORD_FIELD(maskRect, 96, 116);
QUILTORA_RECORD_FIELD(maskData, 104, 124);
QUILTORA_RECORD_FIELD(maskRowBytes, 108, 132);
QUILTORA_RECORD_FIELD(backColor, 112, 136);
QUILTORA_RECORD_FIELD(foreColor, 116, 140);
QUILTORA_RECORD_FIELD(hostSig, 120, 144);
QUILTORA_RECORD_FIELD(hostProc, 124, 148);
QUILTORA_RECORD_FIELD(imageMode, 128, 156);
QUILTORA_RECORD_FIELD(imageHRes, 132, 160);
QUILTORA_RECORD_FIELD(imageVRes, 136, 164);
QUILTORA_RECORD_FIELD(floatCoord, 140, 168);
QUILTORA_RECORD_FIELD(wholeSize, 144, 172);
QUILTORA_RECORD_FIELD(monitor, 148, 176);
QUILTORA_RECORD_FIELD(platformData, 188, 216);
QUILTORA_RECORD_FIELD(bufferProcs, 192, 224);
QUILTORA_RECORD_FIELD(resourceProcs, 196, 232);
QUILTORA_RECORD_FIELD(processEvent, 200, 240);
QUILTORA_RECORD_FIELD(displayPixels, 204, 248);
QUILTORA_RECORD_FIELD(handleProcs, 208, 256);
QUILTORA_RECORD_FIELD(supportsDummyChannels, 212, 264);
QUILTORA_RECORD_FIELD(supportsAlternateLayouts, 213, 265);
QUILTORA_RECORD_FIELD(wantLayout, 214, 266);
QUILTORA_RECORD_FIELD(filterCase, 216, 268);
QUILTORA_RECORD_FIELD(dummyPlaneValue, 218, 270);
QUILTORA_RECORD_FIELD(premiereHook, 220, 272);
QUILTORA_RECORD_FIELD(advanceState, 224, 280);
QUILTORA_RECORD_FIELD(supportsAbsolute, 228, 288);
QUILTORA_RECORD_FIELD(wantsAbsolute, 229, 289);
QUILTORA_RECORD_FIELD(getPropertyObsolete, 232, 292);
QUILTORA_RECORD_FIELD(cannotUndo, 236, 300);
QUILTORA_RECORD_FIELD(supportsPadding, 237, 301);
QUILTORA_RECORD_FIELD(inputPadding, 238, 302);
QUILTORA_RECORD_FIELD(outputPadding, 240, 304);
QUILTORA_RECORD_FIELD(maskPadding, 242, 306);
QUILTORA_RECORD_FIELD(samplingSupport, 244, 308);
QUILTORA_RECORD_FIELD(reservedByte, 245, 309);
QUILTORA_RECORD_FIELD(inputRate, 248, 312);
QUILTORA_RECORD_FIELD(maskRate, 252, 316);
QUILTORA_RECORD_FIELD(colorServices, 256, 320);
QUILTORA_RECORD_FIELD(inLayerPlanes, 260, 328);
QUILTORA_RECORD_FIELD(inTransparencyMask, 262, 330);
QUILTORA_RECORD_FIELD(inLayerMasks, 264, 332);
QUILTORA_RECORD_FIELD(inInvertedLayerMasks, 266, 334);
QUILTORA_RECORD_FIELD(inNonLayerPlanes, 268, 336);
QUILTORA_RECORD_FIELD(outLayerPlanes, 270, 338);
QUILTORA_RECORD_FIELD(outTransparencyMask, 272, 340);
QUILTORA_RECORD_FIELD(outLayerMasks, 274, 342);
QUILTORA_RECORD_FIELD(outInvertedLayerMasks, 276, 344);
QUILTORA_RECORD_FIELD(outNonLayerPlanes, 278, 346);
QUILTORA_RECORD_FIELD(absLayerPlanes, 280, 348);
QUILTORA_RECORD_FIELD(absTransparencyMask, 282, 350);
QUILTORA_RECORD_FIELD(absLayerMasks, 284, 352);
QUILTORA_RECORD_FIELD(absInvertedLayerMasks, 286, 354);
QUILTORA_RECORD_FIELD(absNonLayerPlanes, 288, 356);
QUILTORA_RECORD_FIELD(inPreDummyPlanes, 290, 358);
QUILTORA_RECORD_FIELD(inPostDummyPlanes, 292, 360);
QUILTORA_RECORD_FIELD(outPreDummyPlanes, 294, 362);
QUILTORA_RECORD_FIELD(outPostDummyPlanes, 296, 364);
QUILTORA_RECORD_FIELD(inColumnBytes, 300, 368);
QUILTORA_RECORD_FIELD(inPlaneBytes, 304, 372);
QUILTORA_RECORD_FIELD(outColumnBytes, 308, 376);
QUILTORA_RECORD_FIELD(outPlaneBytes, 312, 380);
QUILTORA_RECORD_FIELD(imageServicesProcs, 316, 384);
QUILTORA_RECORD_FIELD(propertyProcs, 320, 392);
QUILTORA_RECORD_FIELD(inTileHeight, 324, 400);
QUILTORA_RECORD_FIELD(inTileWidth, 326, 402);
QUILTORA_RECORD_FIELD(inTileOrigin, 328, 404);
QUILTORA_RECORD_FIELD(absTileHeight, 332, 408);
QUILTORA_RECORD_FIELD(absTileWidth, 334, 410);
QUILTORA_RECORD_FIELD(absTileOrigin, 336, 412);
QUILTORA_RECORD_FIELD(outTileHeight, 340, 416);
QUILTORA_RECORD_FIELD(outTileWidth, 342, 418);
QUILTORA_RECORD_FIELD(outTileOrigin, 344, 420);
QUILTORA_RECORD_FIELD(maskTileHeight, 348, 424);
QUILTORA_RECORD_FIELD(maskTileWidth, 350, 426);
QUILTORA_RECORD_FIELD(maskTileOrigin, 352, 428);
QUILTORA_RECORD_FIELD(descriptorParameters, 356, 432);
QUILTORA_RECORD_FIELD(errorString, 360, 440);
QUILTORA_RECORD_FIELD(channelPortProcs, 364, 448);
QUILTORA_RECORD_FIELD(documentInfo, 368, 456);
QUILTORA_RECORD_FIELD(sSPBasic, 372, 464);
QUILTORA_RECORD_FIELD(plugInRef, 376, 472);
QUILTORA_RECORD_FIELD(depth, 380, 480);
QUILTORA_RECORD_FIELD(iCCprofileData, 384, 484);
QUILTORA_RECORD_FIELD(iCCprofileSize, 388, 492);
QUILTORA_RECORD_FIELD(canUseICCProfiles, 392, 496);
QUILTORA_RECORD_FIELD(hasImageScrap, 396, 500);
QUILTORA_RECORD_FIELD(bigDocumentData, 400, 504);
QUILTORA_RECORD_FIELD(input3DScene, 404, 512);
QUILTORA_RECORD_FIELD(output3DScene, 408, 520);
QUILTORA_RECORD_FIELD(createNewLayer, 412, 528);
QUILTORA_RECORD_FIELD(iCCWorkingProfileData, 416, 532);
QUILTORA_RECORD_FIELD(iCCWorkingProfileSize, 420, 540);
QUILTORA_RECORD_FIELD(bufferSpace64, 424, 544);
QUILTORA_RECORD_FIELD(maxSpace64, 432, 552);
QUILTORA_RECORD_FIELD(allowOverrangeColors, 440, 560);
QUILTORA_RECORD_FIELD(reserved, 441, 561);
static_assert(sizeof(FilterRecord) == (k64 ? 608 : 488));

#define QUILTORA_SUITE_FIELD(suite, field, i686, x64) \
  static_assert(offsetof(suite, field) == (k64 ? (x64) : (i686)), #suite "." #field)

QUILTORA_SUITE_FIELD(BufferProcs, bufferProcsVersion, 0, 0);
QUILTORA_SUITE_FIELD(BufferProcs, numBufferProcs, 2, 2);
QUILTORA_SUITE_FIELD(BufferProcs, allocateProc, 4, 8);
QUILTORA_SUITE_FIELD(BufferProcs, lockProc, 8, 16);
QUILTORA_SUITE_FIELD(BufferProcs, unlockProc, 12, 24);
QUILTORA_SUITE_FIELD(BufferProcs, freeProc, 16, 32);
QUILTORA_SUITE_FIELD(BufferProcs, spaceProc, 20, 40);
QUILTORA_SUITE_FIELD(BufferProcs, reserveProc, 24, 48);
QUILTORA_SUITE_FIELD(BufferProcs, allocateProc64, 28, 56);
QUILTORA_SUITE_FIELD(BufferProcs, spaceProc64, 32, 64);
static_assert(sizeof(BufferProcs) == (k64 ? 72 : 36));

QUILTORA_SUITE_FIELD(HandleProcs, handleProcsVersion, 0, 0);
QUILTORA_SUITE_FIELD(HandleProcs, numHandleProcs, 2, 2);
QUILTORA_SUITE_FIELD(HandleProcs, newProc, 4, 8);
QUILTORA_SUITE_FIELD(HandleProcs, disposeProc, 8, 16);
QUILTORA_SUITE_FIELD(HandleProcs, getSizeProc, 12, 24);
QUILTORA_SUITE_FIELD(HandleProcs, setSizeProc, 16, 32);
QUILTORA_SUITE_FIELD(HandleProcs, lockProc, 20, 40);
QUILTORA_SUITE_FIELD(HandleProcs, unlockProc, 24, 48);
QUILTORA_SUITE_FIELD(HandleProcs, recoverSpaceProc, 28, 56);
QUILTORA_SUITE_FIELD(HandleProcs, disposeRegularHandleProc, 32, 64);
static_assert(sizeof(HandleProcs) == (k64 ? 72 : 36));

QUILTORA_SUITE_FIELD(PlatformData, hwnd, 0, 0);
static_assert(sizeof(PlatformData) == (k64 ? 8 : 4));
QUILTORA_SUITE_FIELD(AboutRecord, platformData, 0, 0);
QUILTORA_SUITE_FIELD(AboutRecord, sSPBasic, 4, 8);
QUILTORA_SUITE_FIELD(AboutRecord, plugInRef, 8, 16);
QUILTORA_SUITE_FIELD(AboutRecord, reserved, 12, 24);
static_assert(sizeof(AboutRecord) == (k64 ? 272 : 256));

static_assert(sizeof(Point) == 4 && offsetof(Point, v) == 0 && offsetof(Point, h) == 2);
static_assert(sizeof(Rect) == 8 && offsetof(Rect, top) == 0 && offsetof(Rect, left) == 2);
static_assert(offsetof(Rect, bottom) == 4 && offsetof(Rect, right) == 6);
static_assert(sizeof(RGBColor) == 6 && sizeof(Boolean) == 1 && sizeof(OSErr) == 2);
static_assert(sizeof(Handle) == sizeof(void*) && sizeof(BufferID) == sizeof(void*));

// The settings block has no pointers and the same 688 bytes on both targets,
// its doubles on 8-byte offsets (parameter_block.h checks the offset of every
// field as well), so a 32-bit and a 64-bit module read each other's blocks.
static_assert(sizeof(quiltora::ParameterBlock) == 688);
static_assert(alignof(quiltora::ParameterBlock) <= 8);
static_assert(offsetof(quiltora::ParameterBlock, selectionNormalised) % 8 == 0);
static_assert(offsetof(quiltora::ParameterBlock, tileOffsetFracX) % 8 == 0);
static_assert(sizeof(quiltora::ObjectRef) == 8);

#undef QUILTORA_RECORD_FIELD
#undef QUILTORA_SUITE_FIELD

}  // namespace
}  // namespace plugin
