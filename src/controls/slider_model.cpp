#include "controls/slider_model.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace quiltora {
namespace {

int32_t ClampTo32(int64_t v) {
  return static_cast<int32_t>(
      std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

// Channel thickness base, thumb half-length and half-depth by orientation.
struct ThumbSizes {
  int32_t channelBase, halfLength, halfDepth;
};

ThumbSizes SliderThumbSizes(bool vertical, int32_t clientHeight, BaseUnits units) {
  if (vertical) {
    int32_t boxHeight = (units.y * 12) / 8;
    return {((units.y * 12) / 7) / 3, MulDivRound(boxHeight, 4, 20), MulDivRound(boxHeight, 6, 20)};
  }
  return {clientHeight / 3, MulDivRound(clientHeight, 4, 23), MulDivRound(clientHeight, 6, 23)};
}

void PlaceValueBox(const IntRect& client, uint32_t style, BaseUnits units, int32_t boxWidth, IntRect* box,
                   IntRect* track) {
  if (SliderIsVertical(style)) {
    int32_t gap = (units.y * 6) / 8;
    int32_t height = (units.y * 12) / 8;
    if (style & kSliderBoxBefore) {
      box->bottom = client.top + height;
      track->top = box->bottom + gap;
    } else {
      box->top = client.bottom - height;
      track->bottom = box->top - gap;
    }
    return;
  }
  int32_t gap = (units.x * 6) / 4;
  box->top = client.top + 2;
  if (style & kSliderBoxAfter) {
    box->left = client.right - boxWidth;
    track->right = box->left - gap;
  } else {
    box->right = client.left + boxWidth;
    track->left = box->right + gap;
  }
}

IntRect ChannelOfTrack(const IntRect& track, bool vertical, const ThumbSizes& sizes) {
  IntRect channel = track;
  if (vertical) {
    channel.top += sizes.halfLength + 1;
    channel.bottom -= sizes.halfLength + 1;
    int32_t inset = (track.right - sizes.channelBase) / 2 + 1;
    channel.left += inset;
    channel.right -= inset;
    channel.left -= 1;
  } else {
    channel.left += sizes.halfLength;
    channel.right -= sizes.halfLength;
    int32_t inset = (track.bottom - sizes.channelBase) / 2;
    channel.top += inset;
    channel.bottom -= inset;
    channel.top -= 1;
  }
  return channel;
}

IntRect Widened(IntRect r, int32_t along, int32_t across, bool vertical) {
  int32_t dx = vertical ? across : along;
  int32_t dy = vertical ? along : across;
  return IntRect{r.left - dx, r.top - dy, r.right + dx, r.bottom + dy};
}

}  // namespace

int32_t MulDivRound(int32_t a, int32_t b, int32_t c) {
  if (c == 0) return -1;
  int64_t product = int64_t(a) * b;
  int64_t divisor = c;
  if (divisor < 0) {
    product = -product;
    divisor = -divisor;
  }
  int64_t result = product >= 0 ? (product + divisor / 2) / divisor : (product - divisor / 2) / divisor;
  if (result > std::numeric_limits<int32_t>::max() || result < -std::numeric_limits<int32_t>::max()) return -1;
  return static_cast<int32_t>(result);
}

bool SliderHasValueBox(uint32_t style) { return (style & (kSliderBoxAfter | kSliderBoxBefore)) != 0; }
bool SliderIsVertical(uint32_t style) { return (style & kSliderVertical) != 0; }

int32_t ValueBoxWidth(int32_t minimumTextWidth, int32_t maximumTextWidth, int32_t maximumTextLength) {
  int32_t widest = std::max(minimumTextWidth, maximumTextWidth);
  if (maximumTextLength < 1) return widest;
  int32_t averageCharacter = maximumTextWidth / maximumTextLength;
  return widest + (maximumTextLength == 1 ? averageCharacter : averageCharacter / 2);
}

SliderGeometry LayoutSlider(const IntRect& client, uint32_t style, BaseUnits units, int32_t boxWidth) {
  bool vertical = SliderIsVertical(style);
  SliderGeometry geometry{client, client, client, 0, 0};
  if (!(style & kSliderNoLayout) && SliderHasValueBox(style))
    PlaceValueBox(client, style, units, boxWidth, &geometry.box, &geometry.track);
  ThumbSizes sizes = SliderThumbSizes(vertical, client.bottom - client.top, units);
  geometry.channel = ChannelOfTrack(geometry.track, vertical, sizes);
  geometry.halfLength = sizes.halfLength;
  geometry.halfDepth = sizes.halfDepth;
  return geometry;
}

IntRect SliderThumbRect(const SliderGeometry& g, bool vertical, const SliderValues& values, int32_t v) {
  int64_t range = int64_t(values.maximum) - values.minimum;
  const IntRect& t = g.track;
  int32_t hl = g.halfLength, hd = g.halfDepth;
  if (vertical) {
    int64_t pos = range == 0
                      ? g.channel.bottom
                      : g.channel.top + (int64_t(values.maximum) - v) * (g.channel.bottom - g.channel.top) / range;
    int32_t mid = (t.left + t.right) / 2;
    return IntRect{std::max(mid - hd - 2, t.left), ClampTo32(std::max<int64_t>(pos - hl, t.top)),
                   std::min(mid + hd, t.right), ClampTo32(std::min<int64_t>(pos + hl, t.bottom))};
  }
  int64_t pos =
      range == 0 ? g.channel.right
                 : g.channel.left + int64_t(g.channel.right - g.channel.left) * (int64_t(v) - values.minimum) / range;
  int32_t mid = (t.top + t.bottom) / 2;
  return IntRect{ClampTo32(std::max<int64_t>(pos - hl, t.left)), std::max(mid - hd - 2, t.top),
                 ClampTo32(std::min<int64_t>(pos + hl, t.right)), std::min(mid + hd, t.bottom - 5)};
}

int32_t ClampToRange(int64_t v, int32_t minimum, int32_t maximum) {
  return static_cast<int32_t>(std::clamp<int64_t>(v, minimum, std::max(minimum, maximum)));
}

int32_t SliderValueFromPointer(const SliderGeometry& g, bool vertical, const SliderValues& values, int32_t pointer,
                               PressKind kind) {
  const int64_t minimum = values.minimum, maximum = values.maximum, step = values.step;
  int32_t start = vertical ? g.track.top : g.track.left;
  int32_t end = vertical ? g.track.bottom : g.track.right;
  int64_t span = int64_t(end) - start - 2 * int64_t(g.halfLength);
  int64_t x = int64_t(pointer) - g.halfLength - start;
  // The pointer's value along the track, as a 32-bit float.
  float f = span > 0 ? static_cast<float>(double(minimum) + double(maximum - minimum) / double(span) * double(x))
                     : static_cast<float>(minimum);
  double bounded = std::clamp(double(f), -1e15, 1e15);
  int64_t current = vertical ? maximum + minimum - values.value : values.value;

  int64_t v = 0;
  if (kind == PressKind::Drag) {
    v = static_cast<int64_t>(std::floor(bounded + 0.5));
  } else {
    v = static_cast<int64_t>(double(current) < bounded ? std::ceil(bounded) : std::floor(bounded));
  }
  if (step > 1) v = ((v + step / 2) / step) * step;
  if (kind == PressKind::Channel && step > 0) {
    // Toward the click by at least one step; the step back never lands on or
    // behind the current value (with step 1 this is exactly "v - 1 is not
    // the current value").
    if (double(current) < bounded) {
      if (v - step > current && v - step >= minimum) v -= step;
      if (v <= current) v = current + step;
    } else if (double(current) > bounded) {
      if (v + step < current && v + step <= maximum) v += step;
      if (v >= current) v = current - step;
    }
  }
  int32_t clamped = ClampToRange(v, values.minimum, values.maximum);
  return vertical ? ClampToRange(maximum - clamped + minimum, values.minimum, values.maximum) : clamped;
}

ThumbMoveAreas SliderThumbMoveAreas(const SliderGeometry& geometry, bool vertical, const SliderValues& values,
                                    int32_t from, int32_t to) {
  return ThumbMoveAreas{Widened(SliderThumbRect(geometry, vertical, values, from), 2, 1, vertical),
                        Widened(SliderThumbRect(geometry, vertical, values, to), 1, 1, vertical)};
}

std::optional<SliderKeyAction> SliderKeyResult(SliderKey key, const SliderValues& values) {
  int64_t v = values.value, step = values.step;
  switch (key) {
    case SliderKey::Tab:
    case SliderKey::Enter:
    case SliderKey::Escape: return SliderKeyAction{true, values.value};
    case SliderKey::PageUp: v += 2 * step; break;
    case SliderKey::PageDown: v -= 2 * step; break;
    case SliderKey::End: v = values.maximum; break;
    case SliderKey::Home: v = values.minimum; break;
    case SliderKey::Left:
    case SliderKey::Down: v -= step; break;
    case SliderKey::Up:
    case SliderKey::Right: v += step; break;
    case SliderKey::Other: return std::nullopt;
  }
  return SliderKeyAction{false, ClampToRange(v, values.minimum, values.maximum)};
}

void SetSliderRange(SliderValues* values, int32_t minimum, int32_t maximum, int32_t step, int32_t value) {
  values->step = step > 0 ? step : 1;
  values->minimum = minimum;
  values->maximum = std::max(minimum, maximum);
  values->value = ClampToRange(value, values->minimum, values->maximum);
}

void SetSliderTicks(SliderValues* values, int32_t spacing) {
  int64_t range = int64_t(values->maximum) - values->minimum;
  if (spacing >= 0 || range < 4) {
    values->tickSpacing = spacing;
    values->automaticTicks = false;
  } else if (spacing == -1) {
    values->tickSpacing = ClampTo32(range / 4);
    values->automaticTicks = true;
  }
}

int32_t SliderTickCount(uint32_t style, const SliderValues& values) {
  int64_t range = int64_t(values.maximum) - values.minimum;
  if ((style & kSliderTicksEveryStep) && !values.automaticTicks)
    return values.step > 0 ? ClampTo32(range / values.step + 1) : 0;
  if (values.tickSpacing <= 0) return 0;
  return ClampTo32(range / values.tickSpacing + 1);
}

std::vector<TickMark> SliderTickMarks(int32_t channelStart, int32_t channelEnd, int32_t count) {
  std::vector<TickMark> marks;
  if (count < 1) return marks;
  int32_t length = channelEnd - channelStart;
  float spacing = 0.0f;
  if (count > 1) {
    spacing = float(length) / float(count - 1);
    if (spacing < 2.0f) {
      spacing = 2.0f;
      count = length / 2 + 1;
    }
  }
  marks.push_back({channelStart, 4});
  for (int32_t i = 1; i <= count - 2; ++i)
    marks.push_back({channelStart + static_cast<int32_t>(float(i) * spacing), 3});
  marks.push_back({channelEnd, 4});
  return marks;
}

int64_t LeadingDecimalValue(const std::string& text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  int64_t magnitude = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
    magnitude = std::min<int64_t>(magnitude * 10 + (text[i] - '0'), int64_t(1) << 40);
  return negative ? -magnitude : magnitude;
}

std::optional<TypedTakeOver> TakeOverTypedText(const std::string& typed, int32_t minimum, int32_t maximum) {
  if (typed.empty()) return std::nullopt;
  int64_t a = LeadingDecimalValue(typed);
  int32_t c = ClampToRange(a, minimum, maximum);
  if (a < minimum && minimum > 0 && a >= 0) {
    // Still typing toward a positive minimum: keep the value and the digits.
    std::string shown = std::to_string(a);
    return TypedTakeOver{false, 0, shown.size() != typed.size(), shown};
  }
  std::string shown = std::to_string(c);
  bool canonical =
      a != minimum && (c == maximum || c == minimum || c == 0) && (typed[0] != '-' || c == minimum) && c != a;
  return TypedTakeOver{true, c, canonical || shown.size() != typed.size(), shown};
}

}  // namespace quiltora
