// Where a host keeps the picture it filters. The host copies the module's
// requests out of a store and its results back in; a store that streams
// reads the picture from a source as the requests move down it and hands
// finished rows to a sink, so that only a few rows are in memory at once.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "abi/plugin_api.h"

namespace filterhost {

// A rectangle of the picture and the planes loPlane..hiPlane of its pixels.
struct Area {
  plugin::Rect rect{};
  int32_t loPlane = 0;
  int32_t hiPlane = 0;
  int32_t width() const { return rect.right - rect.left; }
  int32_t height() const { return rect.bottom - rect.top; }
  int32_t planes() const { return hiPlane - loPlane + 1; }
};

class PixelStore {
 public:
  virtual ~PixelStore() = default;
  virtual int32_t width() const = 0;
  virtual int32_t height() const = 0;
  virtual int32_t channels() const = 0;

  // Copies the area out of the picture, its rows rowBytes apart, samples
  // interleaved. False with error() set when the picture cannot be read.
  virtual bool Read(const Area& area, uint8_t* to, size_t rowBytes) = 0;
  // Copies the area back into the picture.
  virtual bool Write(const Area& area, const uint8_t* from, size_t rowBytes) = 0;
  // The area's pixels in place, for a host that lets the module read or
  // write the picture directly; null when this store cannot offer them.
  // Only areas of all planes qualify. Valid until the next call on the store.
  virtual uint8_t* InPlace(const Area& area, size_t* rowBytes) {
    (void)area;
    (void)rowBytes;
    return nullptr;
  }
  // The host is done with every row above `row`: it will neither read nor
  // write them again. A streaming store sends them on.
  virtual bool Settle(int32_t row) {
    (void)row;
    return true;
  }
  const std::string& error() const { return error_; }

 protected:
  std::string error_;
};

// A picture held whole in memory, rows rowBytes apart; the store does not own it.
class FrameStore : public PixelStore {
 public:
  FrameStore(uint8_t* pixels, int32_t width, int32_t height, int32_t channels, size_t rowBytes)
      : pixels_(pixels), width_(width), height_(height), channels_(channels), rowBytes_(rowBytes) {}
  int32_t width() const override { return width_; }
  int32_t height() const override { return height_; }
  int32_t channels() const override { return channels_; }
  bool Read(const Area& area, uint8_t* to, size_t rowBytes) override;
  bool Write(const Area& area, const uint8_t* from, size_t rowBytes) override;
  uint8_t* InPlace(const Area& area, size_t* rowBytes) override;

 private:
  uint8_t* At(int32_t x, int32_t y) const { return pixels_ + size_t(y) * rowBytes_ + size_t(x) * channels_; }
  uint8_t* pixels_;
  int32_t width_, height_, channels_;
  size_t rowBytes_;
};

// Rows of a picture, read from wherever it lives (a file, as it is decoded).
class ImageSource {
 public:
  virtual ~ImageSource() = default;
  // Fills row y: width × channels samples. Rows may be asked for in any
  // order; a source that decodes in order may have to start over for a row
  // above the last one it read. False with error() set on failure.
  virtual bool ReadRow(int32_t y, uint8_t* row) = 0;
  virtual std::string error() const = 0;
};

// Where finished rows go (a file, as it is encoded).
class ImageSink {
 public:
  virtual ~ImageSink() = default;
  // Row y; rows arrive top to bottom, each once.
  virtual bool WriteRow(int32_t y, const uint8_t* row) = 0;
  virtual std::string error() const = 0;
};

// A picture streamed from a source to a sink. Requests must move down the
// picture: once the host settles a row, reading or writing it again fails.
// Rows the module writes are held until they are settled; every other row
// goes from the source to the sink as it is passed.
class StreamStore : public PixelStore {
 public:
  StreamStore(ImageSource& source, ImageSink& sink, int32_t width, int32_t height, int32_t channels);
  int32_t width() const override { return width_; }
  int32_t height() const override { return height_; }
  int32_t channels() const override { return channels_; }
  bool Read(const Area& area, uint8_t* to, size_t rowBytes) override;
  bool Write(const Area& area, const uint8_t* from, size_t rowBytes) override;
  // A single row of all planes, held until it is settled.
  uint8_t* InPlace(const Area& area, size_t* rowBytes) override;
  bool Settle(int32_t row) override;

  int32_t settledRows() const { return settled_; }
  // The most rows held at once, for tests of the memory a run takes.
  size_t peakHeldRows() const { return peakHeld_; }

 private:
  using Row = std::unique_ptr<uint8_t[]>;
  bool Reachable(const Area& area);
  // Row y as the module left it, taken from the source the first time;
  // with fill false the caller overwrites all of it.
  uint8_t* Held(int32_t y, bool fill);
  // Row y to read: a held row, or the source's, decoded into the scratch row.
  const uint8_t* Current(int32_t y);
  Row NewRow();

  ImageSource& source_;
  ImageSink& sink_;
  int32_t width_, height_, channels_;
  size_t rowBytes_;
  std::map<int32_t, Row> held_;
  std::vector<Row> spare_;  // released rows, reused so that fresh memory is rarely touched
  Row scratch_;
  int32_t scratchRow_ = -1;
  int32_t settled_ = 0;
  size_t peakHeld_ = 0;
};

}  // namespace filterhost
