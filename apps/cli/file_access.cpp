#include "file_access.h"

#include <cerrno>
#include <cstring>

namespace quiltora_cli {
namespace {

constexpr size_t kWriteBuffer = 1 << 18;

int Seek(FILE* file, int64_t offset) {
#ifdef _WIN32
  return _fseeki64(file, offset, SEEK_SET);
#else
  return fseeko(file, off_t(offset), SEEK_SET);
#endif
}

int64_t Tell(FILE* file) {
#ifdef _WIN32
  return _ftelli64(file);
#else
  return int64_t(ftello(file));
#endif
}

}  // namespace

std::string SystemReason() {
  const int code = errno;
  return code != 0 ? std::strerror(code) : "input/output error";
}

InputFile::~InputFile() {
  if (file_ != nullptr) std::fclose(file_);
}

bool InputFile::Open(const std::string& path, std::string* error) {
  errno = 0;
  file_ = std::fopen(path.c_str(), "rb");
  if (file_ == nullptr || Seek(file_, 0) != 0 || std::fseek(file_, 0, SEEK_END) != 0) {
    *error = errno == ENOENT ? "no such file" : SystemReason();
    return false;
  }
  size_ = Tell(file_);
  if (size_ < 0) {
    *error = SystemReason();
    return false;
  }
  return true;
}

size_t InputFile::ReadSome(int64_t offset, void* to, size_t bytes) {
  if (offset < 0 || Seek(file_, offset) != 0) return 0;
  return std::fread(to, 1, bytes, file_);
}

bool InputFile::ReadAt(int64_t offset, void* to, size_t bytes) {
  errno = 0;
  if (offset >= 0 && offset <= size_ && int64_t(bytes) <= size_ - offset && ReadSome(offset, to, bytes) == bytes)
    return true;
  error_ = std::ferror(file_) ? SystemReason() : "the file ends early";
  return false;
}

OutputFile::~OutputFile() {
  if (file_ != nullptr) std::fclose(file_);
}

bool OutputFile::Create(const std::string& path, std::string* error) {
  errno = 0;
  file_ = std::fopen(path.c_str(), "wb");
  if (file_ == nullptr) {
    *error = SystemReason();
    return false;
  }
  buffer_.resize(kWriteBuffer);
  std::setvbuf(file_, buffer_.data(), _IOFBF, buffer_.size());
  return true;
}

bool OutputFile::Fail() {
  if (error_.empty()) error_ = SystemReason();
  return false;
}

bool OutputFile::Write(const void* from, size_t bytes) {
  errno = 0;
  if (file_ == nullptr || std::fwrite(from, 1, bytes, file_) != bytes) return Fail();
  return true;
}

bool OutputFile::WriteAt(int64_t offset, const void* from, size_t bytes) {
  errno = 0;
  if (file_ == nullptr || Seek(file_, offset) != 0) return Fail();
  return Write(from, bytes);
}

bool OutputFile::Close() {
  if (file_ == nullptr) return error_.empty();
  errno = 0;
  const bool flushed = std::fflush(file_) == 0;
  if (!flushed) Fail();
  const bool closed = std::fclose(file_) == 0;
  if (!closed) Fail();
  file_ = nullptr;
  return flushed && closed && error_.empty();
}

}  // namespace quiltora_cli
