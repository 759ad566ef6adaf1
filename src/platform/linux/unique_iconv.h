#pragma once
#include <iconv.h>

#include <utility>

namespace keldo {

// Owns one iconv conversion and closes it on every path out of its scope.
class UniqueIconv {
 public:
  UniqueIconv() = default;
  explicit UniqueIconv(iconv_t cd) : cd_(cd) {}
  UniqueIconv(const UniqueIconv&) = delete;
  UniqueIconv& operator=(const UniqueIconv&) = delete;
  UniqueIconv(UniqueIconv&& other) noexcept : cd_(std::exchange(other.cd_, kNone())) {}
  UniqueIconv& operator=(UniqueIconv&& other) noexcept {
    if (this != &other) {
      Close();
      cd_ = std::exchange(other.cd_, kNone());
    }
    return *this;
  }
  ~UniqueIconv() { Close(); }

  iconv_t get() const { return cd_; }
  bool valid() const { return cd_ != kNone(); }

 private:
  static iconv_t kNone() { return reinterpret_cast<iconv_t>(-1); }
  void Close() {
    if (valid()) ::iconv_close(cd_);
    cd_ = kNone();
  }

  iconv_t cd_ = kNone();
};

}  // namespace keldo
