// The host streaming a picture from a source to a sink: the real module run
// through it writes what a run on the whole picture writes, with rows sent
// on in order, each once, and only a few held at any time.
#include <gtest/gtest.h>

#include <cstring>

#include "abi/parameter_block.h"
#include "filterhost.h"

namespace {

class MemorySource : public filterhost::ImageSource {
 public:
  explicit MemorySource(const filterhost::Image& image) : image_(image) {}
  bool ReadRow(int32_t y, uint8_t* row) override {
    std::memcpy(row, image_.At(0, y), size_t(image_.width) * image_.channels);
    return true;
  }
  std::string error() const override { return {}; }

 private:
  const filterhost::Image& image_;
};

class MemorySink : public filterhost::ImageSink {
 public:
  bool WriteRow(int32_t y, const uint8_t* row) override {
    inOrder = inOrder && y == int32_t(rows.size());
    rows.emplace_back(row, row + rowBytes);
    return true;
  }
  std::string error() const override { return {}; }
  size_t rowBytes = 0;
  bool inOrder = true;
  std::vector<std::vector<uint8_t>> rows;
};

filterhost::Image Texture(int32_t width, int32_t height) {
  filterhost::Image image(width, height, 3);
  for (size_t i = 0; i < image.pixels.size(); ++i) image.pixels[i] = uint8_t(i * 31 + i / 977);
  return image;
}

// A repeat of the filter with the given symmetry and a feather.
filterhost::RunReport Repeat(filterhost::Host& host, int32_t symmetry) {
  host.SetFilterRect(20, 400, 280, 1300);
  EXPECT_EQ(host.Parameters(), 0);
  std::vector<uint8_t> bytes = host.ParameterBytes();
  quiltora::ParameterBlock block;
  std::memcpy(&block, bytes.data(), sizeof block);
  block.showDialog = 0;
  block.symmetry = symmetry;
  block.feather = 20;
  std::memcpy(bytes.data(), &block, sizeof block);
  host.RestoreParameterBytes(bytes);
  return host.Render();
}

TEST(StreamStore, StreamedRunMatchesWholeRunHoldingAFewRows) {
  filterhost::Module module;
  ASSERT_TRUE(module.Load(filterhost::ModuleBesideExecutable())) << module.error();
  const filterhost::Image image = Texture(300, 1500);
  for (int32_t symmetry : {8, 17}) {
    SCOPED_TRACE(symmetry);
    filterhost::Host whole(module);
    whole.SetImage(image);
    ASSERT_EQ(Repeat(whole, symmetry).result, 0);

    MemorySource source(image);
    MemorySink sink;
    sink.rowBytes = size_t(image.width) * 3;
    filterhost::StreamStore store(source, sink, image.width, image.height, 3);
    filterhost::Host streamed(module);
    streamed.SetStore(&store);
    streamed.SetServeInPlace(true);
    const filterhost::RunReport report = Repeat(streamed, symmetry);
    ASSERT_EQ(report.result, 0);
    EXPECT_EQ(report.ioError, "");
    ASSERT_EQ(sink.rows.size(), size_t(image.height));
    EXPECT_TRUE(sink.inOrder);
    for (int32_t y = 0; y < image.height; ++y)
      ASSERT_EQ(0, std::memcmp(sink.rows[y].data(), whole.image().At(0, y), sink.rowBytes)) << "row " << y;
    // The source area is served whole; besides it only a few rows are held.
    EXPECT_LE(store.peakHeldRows(), 3u);

    // Rows once settled are gone.
    std::vector<uint8_t> row(sink.rowBytes);
    const filterhost::Area top{plugin::Rect{0, 0, 1, int16_t(image.width)}, 0, 2};
    EXPECT_FALSE(store.Read(top, row.data(), row.size()));
    EXPECT_NE(store.error().find("written out"), std::string::npos) << store.error();
  }
}

}  // namespace
