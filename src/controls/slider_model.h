// The slider's arithmetic: layout of value box, track and channel, the thumb
// for a value, the value under the pointer, keys, ticks and the take-over of a
// typed value. The window procedure only routes messages to these.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "abi/parameter_block.h"  // IntRect, IntPoint

namespace quiltora {

// Low 16 bits of a slider's window style.
enum SliderStyle : uint32_t {
  kSliderVertical = 0x0001,   // minimum at the bottom
  kSliderBoxAfter = 0x0100,   // value box right of (below) the track
  kSliderBoxBefore = 0x0200,  // value box left of (above) the track
  kSliderNoLayout = 0x0400,   // box and track both take the whole client area
  kSliderNoTicks = 0x0800,
  kSliderTicksEveryStep = 0x1000,
};

// Pixel width of 4 and height of 8 dialog units of the library font.
struct BaseUnits {
  int32_t x, y;
};

// What a slider holds besides its window.
struct SliderValues {
  int32_t minimum = 0;
  int32_t maximum = 100;
  int32_t value = 50;
  int32_t step = 10;
  int32_t tickSpacing = 10;
  bool automaticTicks = false;
};

struct SliderGeometry {
  IntRect box;      // the value box
  IntRect track;    // where the thumb moves
  IntRect channel;  // the groove; its ends are the positions of minimum and maximum
  int32_t halfLength;
  int32_t halfDepth;
};

enum class PressKind { Drag, Channel };

// a × b / c rounded to the nearest integer, halves away from zero; -1 when c is 0.
int32_t MulDivRound(int32_t a, int32_t b, int32_t c);

bool SliderHasValueBox(uint32_t style);
bool SliderIsVertical(uint32_t style);

// Width of a horizontal slider's value box: the wider of the two range texts
// plus a margin of one average character of the maximum text (half of one
// when that text has more than one character).
int32_t ValueBoxWidth(int32_t minimumTextWidth, int32_t maximumTextWidth, int32_t maximumTextLength);

// Value box, track, channel and thumb size for a client rectangle. boxWidth is
// the value box width of a horizontal slider. A slider without a value box
// gives the whole client area to its track.
SliderGeometry LayoutSlider(const IntRect& client, uint32_t style, BaseUnits units, int32_t boxWidth);

// The thumb's rectangle for value v.
IntRect SliderThumbRect(const SliderGeometry& geometry, bool vertical, const SliderValues& values, int32_t v);

// The value under the pointer coordinate along the track (x, or y when
// vertical): rounded for a drag; for a press in the channel, one step toward
// the pointer at least and never past it. Snapped to multiples of the step
// (counted from 0) and clamped to the range.
int32_t SliderValueFromPointer(const SliderGeometry& geometry, bool vertical, const SliderValues& values,
                               int32_t pointer, PressKind kind);

// The areas to repaint when the thumb moves from value `from` to value `to`.
struct ThumbMoveAreas {
  IntRect before;
  IntRect after;
};
ThumbMoveAreas SliderThumbMoveAreas(const SliderGeometry& geometry, bool vertical, const SliderValues& values,
                                    int32_t from, int32_t to);

enum class SliderKey { Tab, Enter, Escape, PageUp, PageDown, End, Home, Left, Right, Up, Down, Other };

// What a key does: Tab, Enter and Escape go to the parent (value unchanged);
// the others give the new value; any other key is swallowed (nullopt).
struct SliderKeyAction {
  bool toParent;
  int32_t value;
};
std::optional<SliderKeyAction> SliderKeyResult(SliderKey key, const SliderValues& values);

int32_t ClampToRange(int64_t v, int32_t minimum, int32_t maximum);

// The range set by SliderSetRange: a step below 1 becomes 1, a maximum below
// the minimum becomes the minimum, the value is clamped.
void SetSliderRange(SliderValues* values, int32_t minimum, int32_t maximum, int32_t step, int32_t value);

// Tick spacing: spacing >= 0 sets it (0 = none); -1 asks for automatic ticks
// (a quarter of the range) when the range is at least 4.
void SetSliderTicks(SliderValues* values, int32_t spacing);

int32_t SliderTickCount(uint32_t style, const SliderValues& values);

struct TickMark {
  int32_t position;  // along the track
  int32_t length;    // 4 for the two end marks, 3 between
};
// Marks from channelStart to channelEnd, never closer than 2 pixels.
std::vector<TickMark> SliderTickMarks(int32_t channelStart, int32_t channelEnd, int32_t count);

// The decimal value at the start of a typed text (0 when there is none),
// saturated to the 64-bit range.
int64_t LeadingDecimalValue(const std::string& text);

// Taking over the value box's text after a key release.
struct TypedTakeOver {
  bool takesValue;    // false: a number still being typed toward a positive minimum
  int32_t value;      // the new value when takesValue
  bool replacesText;  // the box text becomes `text`
  std::string text;
};
// Empty text: nullopt (nothing happens).
std::optional<TypedTakeOver> TakeOverTypedText(const std::string& typed, int32_t minimum, int32_t maximum);

}  // namespace quiltora
