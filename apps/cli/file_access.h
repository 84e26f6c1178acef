// Files read at any offset and written in order or at an offset, with the
// system's reason when something fails.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace quiltora_cli {

class InputFile {
 public:
  InputFile() = default;
  ~InputFile();
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;

  bool Open(const std::string& path, std::string* error);
  int64_t size() const { return size_; }
  // Exactly `bytes` bytes from `offset`; false with error() set, "the file
  // ends early" when it is too short.
  bool ReadAt(int64_t offset, void* to, size_t bytes);
  // Up to `bytes` bytes from `offset`; the number read.
  size_t ReadSome(int64_t offset, void* to, size_t bytes);
  FILE* stream() const { return file_; }
  const std::string& error() const { return error_; }

 private:
  FILE* file_ = nullptr;
  int64_t size_ = 0;
  std::string error_;
};

class OutputFile {
 public:
  OutputFile() = default;
  ~OutputFile();
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  bool Create(const std::string& path, std::string* error);
  bool Write(const void* from, size_t bytes);
  bool WriteAt(int64_t offset, const void* from, size_t bytes);
  // Flushes and closes; false when anything written did not reach the file.
  bool Close();
  FILE* stream() const { return file_; }
  const std::string& error() const { return error_; }

 private:
  bool Fail();
  FILE* file_ = nullptr;
  std::vector<char> buffer_;
  std::string error_;
};

// The system's words for the last failed call.
std::string SystemReason();

}  // namespace quiltora_cli
