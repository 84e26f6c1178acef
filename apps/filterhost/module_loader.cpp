#include "filterhost.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#include <unistd.h>
#endif

namespace filterhost {

std::string ModuleBesideExecutable() {
  char path[4096] = {};
#ifdef _WIN32
  DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
  std::string self(path, length);
  const char* name = sizeof(void*) == 8 ? "Quiltora.8bf" : "Quiltora-x86.8bf";
#else
  ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
  std::string self(path, length > 0 ? size_t(length) : 0);
  const char* name = "Quiltora.so";
#endif
  size_t slash = self.find_last_of("/\\");
  return (slash == std::string::npos ? std::string() : self.substr(0, slash + 1)) + name;
}

Module::~Module() { Unload(); }

bool Module::Load(const std::string& path) {
  Unload();
#ifdef _WIN32
  HMODULE library = LoadLibraryA(path.c_str());
  if (library == nullptr) {
    error_ = "cannot load " + path + " (error " + std::to_string(GetLastError()) + ")";
    return false;
  }
  auto entry = reinterpret_cast<plugin::EntryPoint>(reinterpret_cast<void*>(GetProcAddress(library, "ENTRYPOINT1")));
#else
  void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (library == nullptr) {
    const char* reason = dlerror();
    error_ = reason != nullptr ? reason : "cannot load " + path;
    return false;
  }
  auto entry = reinterpret_cast<plugin::EntryPoint>(dlsym(library, "ENTRYPOINT1"));
#endif
  library_ = library;
  path_ = path;
  if (entry == nullptr) {
    error_ = path + " is not a filter module: it has no ENTRYPOINT1";
    Unload();
    return false;
  }
  entry_ = entry;
  return true;
}

void Module::Attach(plugin::EntryPoint entry) {
  Unload();
  entry_ = entry;
}

void Module::Unload() {
  if (library_ != nullptr) {
#ifdef _WIN32
    FreeLibrary(static_cast<HMODULE>(library_));
#else
    dlclose(library_);
#endif
  }
  library_ = nullptr;
  entry_ = nullptr;
}

bool Module::Reload() {
  if (path_.empty()) return false;
  const std::string path = path_;
  Unload();
  return Load(path);
}

int16_t Module::Call(int16_t selector, void* record, intptr_t* data) {
  int16_t result = static_cast<int16_t>(0x7A7A);
  entry_(selector, record, data, &result);
  return result;
}

void* Module::Symbol(const char* name) const {
  if (library_ == nullptr) return nullptr;
#ifdef _WIN32
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library_), name));
#else
  return dlsym(library_, name);
#endif
}

}  // namespace filterhost
