// The symmetry object: where the source area lies, how large the source
// shape and its tile are, how wide the feather border may be, and how the
// tile is built. One class per symmetry, grouped under one class per source
// shape; every operation is virtual and the base versions do nothing.
#pragma once

#include <cstdint>

#include "abi/parameter_block.h"
#include "common/progress.h"

namespace quiltora {

struct Rect16 {  // top, left, bottom, right, as the host's rectangles
  int16_t top, left, bottom, right;
};

// Fields are public: the tile builders and the feather read them directly.
class TileSymmetry {
 public:
  TileSymmetry() = default;
  virtual ~TileSymmetry() = default;
  TileSymmetry(const TileSymmetry&) = delete;
  TileSymmetry& operator=(const TileSymmetry&) = delete;

  // The 22 operations, in table order.
  virtual void LoadSelection(const ParameterBlock& block);                       // 0
  virtual void StoreSelection(ParameterBlock& block);                            // 1
  virtual void SetFromRect(const Rect16& rect);                                  // 2
  virtual void SetFromFrame(const SelectionFrame& frame);                        // 3
  virtual void GetRect(Rect16* rect);                                            // 4
  virtual void GetFrame(SelectionFrame* frame);                                  // 5
  virtual int16_t LimitFeather();                                                // 6
  virtual int16_t IsOutsideImage();                                              // 7
  virtual void SetDefault();                                                     // 8
  virtual void SetScaled(int32_t x, int32_t y, int32_t width, int32_t height,   // 9
                         int32_t shear, double scale);
  virtual void PrepareRun();                                                     // 10
  virtual void Scale(double factor);                                             // 11
  virtual void ReservedA(int32_t first, int32_t second);                         // 12
  virtual void ComputeTileSize();                                                // 13
  virtual void ComputeRowShift();                                                // 14
  virtual void ComputeSourceExtent();                                            // 15
  virtual void SetFeatherPercent(int32_t percent);                               // 16
  virtual void GetFeatherReach(int32_t* reachX, int32_t* reachY);                // 17
  virtual void GetSourceBounds(Rect16* bounds);                                  // 18
  // 0 when the tile is built, 1 when progress stopped it, -108 when memory ran short.
  virtual int16_t BuildTile(const uint8_t* source, int32_t sourceRowBytes,  // 19
                            int16_t sourceMode, ProgressSink& progress, uint8_t* tile, int32_t tileRowBytes,
                            int16_t tileMode);
  // 0, or -108 when memory ran short (the work image then keeps its copy).
  virtual int16_t FeatherSource(const uint8_t* source, int32_t sourceRowBytes,  // 20
                                int16_t sourceMode, uint8_t* work, int32_t workRowBytes, int16_t workMode);
  virtual void ReservedB();                                                      // 21

  // Non-virtual helpers shared by every class.
  void SetSourceSize(int32_t width, int32_t height);
  void ResetEdgeMins();
  // The three rectangles hold (extentHeight + bottom margin, -left margin,
  // -top margin, extentWidth + right margin): the larger row bound first.
  void ComputeEdgeRect();
  void ComputeFeatherRect();
  void ComputeBlendRect();
  // Each feather margin = max(featherPixels, the edge minimum of that side).
  void ComputeFeatherMargins();
  // Each blend margin = the feather margin of that side + 5.
  void ComputeBlendMargins();
  void GetEdgeRect(Rect16* rect) const;
  void GetFeatherRect(Rect16* rect) const;
  void GetBlendRect(Rect16* rect) const;
  // Shrinks featherPixels so the extent grown by it keeps off the image border.
  void FitFeather();

  int16_t number = 0;  // the leaf's symmetry number (its catalogue row); 0 above the leaves
  int32_t sourceWidth = 0;
  int32_t sourceHeight = 0;
  int32_t destWidth = 0;
  int32_t destHeight = 0;
  int32_t x = 0;
  int32_t y = 0;
  double fx = 0.0;
  double fy = 0.0;
  int32_t tileWidth = 0;
  int32_t tileHeight = 0;
  int32_t extentWidth = 0;
  int32_t extentHeight = 0;
  int32_t rowShift = 0;
  int32_t featherPixels = 0;
  int32_t selectionReserved = 0;
  int16_t edgeMinBottom = 0, edgeMinLeft = 0, edgeMinTop = 0, edgeMinRight = 0;
  Rect16 edgeRect = {0, 0, 0, 0};
  int16_t featherMarginBottom = 0, featherMarginLeft = 0, featherMarginTop = 0,
          featherMarginRight = 0;
  Rect16 featherRect = {0, 0, 0, 0};
  int16_t blendMarginBottom = 0, blendMarginLeft = 0, blendMarginTop = 0,
          blendMarginRight = 0;
  Rect16 blendRect = {0, 0, 0, 0};
};

// The one current symmetry object of the module, or null.
extern TileSymmetry* gSymmetry;

// Destroys the current object, then makes the leaf of number 1..17 current;
// any other number (or an exhausted heap) leaves gSymmetry null.
TileSymmetry* CreateSymmetry(int16_t number);

// Destroys the current object if any; gSymmetry becomes null.
void DestroySymmetry();

enum class CreateSymmetryResult { kCreated, kFellBack, kOutOfMemory };

// CreateSymmetry for a run: a number outside 1..17 (a settings record from
// elsewhere) gives symmetry 8 and kFellBack; a failed allocation gives
// kOutOfMemory with gSymmetry null. *usedNumber receives the number made.
CreateSymmetryResult CreateSymmetryForRun(int32_t number, int16_t* usedNumber);

}  // namespace quiltora
