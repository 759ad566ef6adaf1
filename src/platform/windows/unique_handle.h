#pragma once
// One tiny owner per kind of OS handle, so that every path out of a function
// gives its handles back.
#include <windows.h>

#include <utility>

namespace keldo {

template <typename Handle, typename Closer>
class UniqueHandle {
 public:
  UniqueHandle() = default;
  explicit UniqueHandle(Handle handle) : handle_(handle) {}
  ~UniqueHandle() { reset(); }
  UniqueHandle(UniqueHandle&& other) noexcept : handle_(std::exchange(other.handle_, Handle{})) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) {
      reset();
      handle_ = std::exchange(other.handle_, Handle{});
    }
    return *this;
  }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;

  Handle get() const { return handle_; }
  explicit operator bool() const { return handle_ != Handle{}; }
  void reset(Handle handle = Handle{}) {
    if (handle_ != Handle{}) Closer{}(handle_);
    handle_ = handle;
  }

 private:
  Handle handle_{};
};

struct KernelHandleCloser {
  void operator()(HANDLE handle) const { CloseHandle(handle); }
};
struct GdiObjectCloser {
  void operator()(HGDIOBJ object) const { DeleteObject(object); }
};
struct RegistryKeyCloser {
  void operator()(HKEY key) const { RegCloseKey(key); }
};

struct ModuleCloser {
  void operator()(HMODULE module) const { FreeLibrary(module); }
};

using KernelHandle = UniqueHandle<HANDLE, KernelHandleCloser>;
using GdiObject = UniqueHandle<HGDIOBJ, GdiObjectCloser>;
using RegistryKeyHandle = UniqueHandle<HKEY, RegistryKeyCloser>;
using LoadedModule = UniqueHandle<HMODULE, ModuleCloser>;

// CreateFileW reports failure as INVALID_HANDLE_VALUE, not as null.
inline KernelHandle OwnFileHandle(HANDLE handle) {
  return KernelHandle(handle == INVALID_HANDLE_VALUE ? nullptr : handle);
}

}  // namespace keldo
