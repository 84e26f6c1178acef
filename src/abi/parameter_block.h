// The settings record the host keeps between runs: 688 bytes, the same layout
// on every build. Picture and display references are ObjectRef ids (see
// common/object_table.h), 8 bytes wide so 32- and 64-bit builds agree.
#pragma once

#include <cstddef>
#include <cstdint>

namespace quiltora {

// An id of a module-owned object, as the record keeps it.
using ObjectRef = uint64_t;

struct IntRect {  // left, top, right, bottom
  int32_t left, top, right, bottom;
};

struct IntPoint {
  int32_t x, y;
};

// A selection's bounding box, in pixels or as fractions of the source size.
struct SelectionFrame {
  double top, left, bottom, right, shear;
};

constexpr uint32_t kParameterMagic = 0xF00F;
constexpr uint32_t kParameterVersion = 0x1000;
constexpr int kSourcePathSize = 296;

enum SourceKind : int32_t { kSourceLoadedFile = 1, kSourceImage = 2 };

struct ParameterBlock {
  uint32_t magic;
  uint32_t version;
  ObjectRef previewImage;
  ObjectRef loadedSource;
  ObjectRef sourcePaneImage;
  ObjectRef resultPaneImage;
  ObjectRef resultPaneWork;
  IntRect sourcePaneImageRect;
  IntRect sourcePaneBounds;
  IntRect resultPaneImageRect;
  IntPoint selectionVertices[5];
  int32_t selectionHandles[5];
  int32_t selectionVertexCount;
  ObjectRef sourcePaneView;
  ObjectRef resultPaneView;
  double sourcePaneScaleX;
  double sourcePaneScaleY;
  IntRect sourceArea;
  int32_t sourceSmallerThanImage;
  int32_t showDialog;
  int32_t selectionInitialised;
  int32_t showFeatherOutline;
  int32_t showTilePreview;
  int32_t liveUpdate;
  int32_t symmetry;
  int32_t blendMode;
  int32_t opacity;
  IntRect selectionRect;
  int32_t imageHeight;
  int32_t imageWidth;
  int32_t sourceKind;
  int32_t loadedSourceBytesPerPixel;
  int32_t sourceWidth;
  int32_t sourceHeight;
  int32_t alignmentPad;  // keeps the doubles on 8-byte offsets on every target
  SelectionFrame selectionNormalised;
  int32_t tileOffsetX;
  int32_t tileOffsetY;
  double tileOffsetFracX;
  double tileOffsetFracY;
  int32_t selectionX;
  int32_t selectionY;
  int32_t selectionHeight;
  int32_t selectionWidth;
  int32_t selectionSize;
  int32_t selectionExtra;
  int32_t selectionSpan;
  int32_t featherPixels;
  int32_t feather;
  int32_t selectionReserved;
  char sourcePath[kSourcePathSize];
};

static_assert(sizeof(ParameterBlock) == 688, "the host keeps exactly 688 bytes");
static_assert(offsetof(ParameterBlock, previewImage) == 8);
static_assert(offsetof(ParameterBlock, sourcePaneImageRect) == 48);
static_assert(offsetof(ParameterBlock, selectionVertices) == 96);
static_assert(offsetof(ParameterBlock, selectionHandles) == 136);
static_assert(offsetof(ParameterBlock, selectionVertexCount) == 156);
static_assert(offsetof(ParameterBlock, sourcePaneView) == 160);
static_assert(offsetof(ParameterBlock, sourcePaneScaleX) == 176);
static_assert(offsetof(ParameterBlock, sourceArea) == 192);
static_assert(offsetof(ParameterBlock, showDialog) == 212);
static_assert(offsetof(ParameterBlock, symmetry) == 232);
static_assert(offsetof(ParameterBlock, opacity) == 240);
static_assert(offsetof(ParameterBlock, selectionRect) == 244);
static_assert(offsetof(ParameterBlock, imageHeight) == 260);
static_assert(offsetof(ParameterBlock, sourceKind) == 268);
static_assert(offsetof(ParameterBlock, sourceHeight) == 280);
static_assert(offsetof(ParameterBlock, selectionNormalised) == 288);
static_assert(offsetof(ParameterBlock, tileOffsetX) == 328);
static_assert(offsetof(ParameterBlock, tileOffsetFracX) == 336);
static_assert(offsetof(ParameterBlock, tileOffsetFracY) == 344);
static_assert(offsetof(ParameterBlock, selectionX) == 352);
static_assert(offsetof(ParameterBlock, selectionSize) == 368);
static_assert(offsetof(ParameterBlock, selectionSpan) == 376);
static_assert(offsetof(ParameterBlock, featherPixels) == 380);
static_assert(offsetof(ParameterBlock, feather) == 384);
static_assert(offsetof(ParameterBlock, sourcePath) == 392);

}  // namespace quiltora
