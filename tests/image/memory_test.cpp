#include <gtest/gtest.h>

#include "image/handles.h"
#include "image/memory_block.h"

namespace quiltora {
namespace {

TEST(OwnHandles, HoldZeroFilledDataBehindAMasterPointer) {
  Handle handle = HandleNew(100);
  ASSERT_NE(handle, nullptr);
  EXPECT_EQ(MemError(), 0);
  for (int i = 0; i < 100; ++i) ASSERT_EQ((*handle)[i], 0);
  HandleDispose(handle);
  HandleDispose(nullptr);
  EXPECT_EQ(MemError(), -109);
  EXPECT_EQ(HandleNew(-1), nullptr);
  EXPECT_EQ(PtrNew(-1), nullptr);
  void* pointer = PtrNew(16);
  ASSERT_NE(pointer, nullptr);
  PtrDispose(pointer);
  PtrDispose(nullptr);
}

TEST(HostSuites, AreUsableOnlyWhenCompleteAndOfTheRightVersion) {
  auto allocate = [](int32_t, plugin::BufferID*) -> plugin::OSErr { return 0; };
  auto lock = [](plugin::BufferID, plugin::Boolean) -> char* { return nullptr; };
  auto release = [](plugin::BufferID) {};
  auto space = []() -> int32_t { return 0; };
  plugin::BufferProcs buffers{2, 5, allocate, lock, release, release, space, nullptr, nullptr, nullptr};
  EXPECT_TRUE(HostBufferSuiteUsable(&buffers));
  EXPECT_FALSE(HostBufferSuiteUsable(nullptr));
  plugin::BufferProcs wrongVersion = buffers;
  wrongVersion.bufferProcsVersion = 3;
  EXPECT_FALSE(HostBufferSuiteUsable(&wrongVersion));
  plugin::BufferProcs tooFew = buffers;
  tooFew.numBufferProcs = 4;
  EXPECT_FALSE(HostBufferSuiteUsable(&tooFew));
  plugin::BufferProcs missing = buffers;
  missing.spaceProc = nullptr;
  EXPECT_FALSE(HostBufferSuiteUsable(&missing));

  auto newHandle = [](int32_t) -> plugin::Handle { return nullptr; };
  auto dispose = [](plugin::Handle) {};
  auto getSize = [](plugin::Handle) -> int32_t { return 0; };
  auto setSize = [](plugin::Handle, int32_t) -> plugin::OSErr { return 0; };
  plugin::HandleProcs handles{1, 4, newHandle, dispose, getSize, setSize, nullptr, nullptr, nullptr, nullptr};
  EXPECT_TRUE(HostHandleSuiteUsable(&handles));
  plugin::HandleProcs noSetSize = handles;
  noSetSize.setSizeProc = nullptr;
  EXPECT_FALSE(HostHandleSuiteUsable(&noSetSize));
  plugin::HandleProcs wrongHandleVersion = handles;
  wrongHandleVersion.handleProcsVersion = 2;
  EXPECT_FALSE(HostHandleSuiteUsable(&wrongHandleVersion));
}

TEST(MemoryBlock, FallsBackToOwnHandlesWithoutHostSuites) {
  SetMemorySources(MemorySources{true, nullptr, nullptr});
  MemoryBlock block;
  EXPECT_EQ(block.kind, kMemoryNone);
  ASSERT_EQ(MemoryBlockAllocate(4096, &block), 0);
  EXPECT_EQ(block.kind, kMemoryOwnHandle);
  uint8_t* pixels = MemoryBlockLock(&block);
  ASSERT_NE(pixels, nullptr);
  pixels[4095] = 1;
  EXPECT_EQ(block.locked, 1);
  MemoryBlockUnlock(&block);
  EXPECT_EQ(block.locked, 0);
  MemoryBlockFree(&block);
  EXPECT_EQ(block.kind, kMemoryNone);

  SetMemorySources(MemorySources{false, nullptr, nullptr});
  EXPECT_EQ(MemoryBlockAllocate(16, &block), plugin::kMemFullErr);
  EXPECT_EQ(MemoryBlockAllocate(-1, &block), plugin::kMemFullErr);
}

}  // namespace
}  // namespace quiltora
