// Runs the real quiltora program, as a user runs it, for the tests of the
// command: files in, files out, one line on stderr and an exit status.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "filterhost.h"
#include "picture.h"

namespace quiltora_test {

namespace fs = std::filesystem;
using quiltora_cli::Picture;

struct Outcome {
  int status = -1;
  std::string out;
  std::string err;
};

inline std::string ReadFile(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

inline std::string Quote(const std::string& text) { return "\"" + text + "\""; }

// An asymmetric picture: a gradient with a bright block near the top-left.
inline Picture Probe(int32_t width, int32_t height, int32_t channels) {
  Picture picture;
  picture.width = width;
  picture.height = height;
  picture.channels = channels;
  picture.pixels.resize(size_t(width) * height * channels);
  for (int32_t y = 0; y < height; ++y)
    for (int32_t x = 0; x < width; ++x) {
      uint8_t* p = picture.pixels.data() + (size_t(y) * width + x) * channels;
      const bool block = x > width / 5 && x < width / 3 && y > height / 6 && y < height / 2;
      for (int32_t c = 0; c < channels; ++c) p[c] = block ? uint8_t(250 - 60 * c) : uint8_t(x * 2 + y * (c + 1));
      if (channels == 4) p[3] = uint8_t(x + y);
    }
  return picture;
}

class CommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string module = filterhost::ModuleBesideExecutable();
    program_ = fs::path(module).parent_path() / "quiltora";
#ifdef _WIN32
    program_ += ".exe";
#endif
    ASSERT_TRUE(fs::exists(program_)) << "no quiltora program beside the tests: " << program_;
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    // The process id keeps test programs run at the same time (from other work trees) apart.
#ifdef _WIN32
    const unsigned long process = GetCurrentProcessId();
#else
    const unsigned long process = static_cast<unsigned long>(getpid());
#endif
    folder_ = fs::path(::testing::TempDir()) /
              (std::string("quiltora_cli_") + test->name() + "_" + std::to_string(process));
    fs::remove_all(folder_);
    fs::create_directories(folder_);
  }
  void TearDown() override {
    if (!folder_.empty()) fs::remove_all(folder_);
  }

  std::string Path(const char* name) const { return (folder_ / name).string(); }

  void Write(const char* name, const Picture& picture) {
    std::string temporary, error;
    ASSERT_TRUE(quiltora_cli::WritePictureTemporary(Path(name), picture, &temporary, &error)) << error;
    ASSERT_TRUE(quiltora_cli::CommitPicture(temporary, Path(name), &error)) << error;
  }

  Outcome Run(const std::vector<std::string>& args) const {
    const fs::path out = folder_ / "stdout.txt", err = folder_ / "stderr.txt";
    Outcome outcome;
    outcome.status = Spawn(args, out, err);
    // Windows programs end their text lines with CR LF.
    auto text = [](std::string bytes) {
      bytes.erase(std::remove(bytes.begin(), bytes.end(), '\r'), bytes.end());
      return bytes;
    };
    outcome.out = text(ReadFile(out));
    outcome.err = text(ReadFile(err));
    fs::remove(out);
    fs::remove(err);
    return outcome;
  }

#ifdef _WIN32
  // The program with its output in two files, started directly: no command
  // interpreter between it and the test to rework quotes and redirections.
  int Spawn(const std::vector<std::string>& args, const fs::path& out, const fs::path& err) const {
    std::string command = Quote(program_.string());
    for (const std::string& arg : args) command += " " + Quote(arg);
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    auto open = [&](const fs::path& path) {
      return CreateFileA(path.string().c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
    };
    HANDLE outFile = open(out), errFile = open(err);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = outFile;
    startup.hStdError = errFile;
    PROCESS_INFORMATION process{};
    DWORD status = DWORD(-1);
    if (CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process)) {
      WaitForSingleObject(process.hProcess, INFINITE);
      GetExitCodeProcess(process.hProcess, &status);
      CloseHandle(process.hThread);
      CloseHandle(process.hProcess);
    } else {
      // Said where the program's own line would be, so that a failed start shows as one.
      const std::string why = "test: the program did not start (error " + std::to_string(GetLastError()) + ")\n";
      DWORD written = 0;
      WriteFile(errFile, why.data(), DWORD(why.size()), &written, nullptr);
    }
    CloseHandle(outFile);
    CloseHandle(errFile);
    return int(status);
  }
#else
  int Spawn(const std::vector<std::string>& args, const fs::path& out, const fs::path& err) const {
    std::string command = shellPrefix_ + Quote(program_.string());
    for (const std::string& arg : args) command += " " + Quote(arg);
    command += " >" + Quote(out.string()) + " 2>" + Quote(err.string());
    const int raw = std::system(command.c_str());
    return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  }
#endif

  // Files the run left in the folder besides the inputs named.
  std::vector<std::string> Leftovers(const std::vector<std::string>& inputs) const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder_)) {
      const std::string name = entry.path().filename().string();
      if (std::find(inputs.begin(), inputs.end(), name) == inputs.end()) names.push_back(name);
    }
    return names;
  }

  fs::path program_;
  fs::path folder_;
  std::string shellPrefix_;  // shell commands run before the program (POSIX only)
};

}  // namespace quiltora_test
