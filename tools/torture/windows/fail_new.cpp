// The window program's test build only (never the shipped one): every
// replaceable global operator new counts its call, and the call numbered
// KELDO_FAIL_NEW_AT fails as the system's allocator would, with
// std::bad_alloc (the nothrow forms with a null pointer). Without the
// variable nothing fails. KELDO_NEW_COUNT_FILE names a file that gets the
// number of calls counted when the program ends, then each call's place.
#include <windows.h>

#include <malloc.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <new>

namespace {

std::atomic<long long> counted{0};
// -1 until the variable is read; 0 for "never".
std::atomic<long long> failAt{-1};

// Read at the first call, which may come before any static initialiser of
// the program, with nothing that allocates through here.
long long FailAt() {
  long long at = failAt.load(std::memory_order_relaxed);
  if (at >= 0) return at;
  char text[32];
  const DWORD length = GetEnvironmentVariableA("KELDO_FAIL_NEW_AT", text, sizeof text);
  at = length > 0 && length < sizeof text ? std::strtoll(text, nullptr, 10) : 0;
  failAt.store(at > 0 ? at : 0, std::memory_order_relaxed);
  return at > 0 ? at : 0;
}

// Each call's place, told apart by the return addresses of four frames,
// for the first kMostSites calls: a sample of the sweep takes one call of
// each place rather than many of the busiest.
constexpr long long kMostSites = 1 << 16;
ULONG sites[kMostSites];

bool ThisCallFails() {
  const long long number = counted.fetch_add(1) + 1;
  if (number <= kMostSites) {
    void* frames[4];
    RtlCaptureStackBackTrace(1, 4, frames, &sites[number - 1]);
  }
  return number == FailAt();
}

void* Allocate(std::size_t size) noexcept {
  return ThisCallFails() ? nullptr : std::malloc(size == 0 ? 1 : size);
}

void* AllocateAligned(std::size_t size, std::align_val_t alignment) noexcept {
  return ThisCallFails()
             ? nullptr
             : _aligned_malloc(size == 0 ? 1 : size, static_cast<std::size_t>(alignment));
}

void* OrThrow(void* allocated) {
  if (allocated == nullptr) throw std::bad_alloc();
  return allocated;
}

// Constructed before, and so destroyed after, the program's own statics.
struct CountAtExit {
  ~CountAtExit() {
    wchar_t path[MAX_PATH];
    const DWORD length = GetEnvironmentVariableW(L"KELDO_NEW_COUNT_FILE", path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return;
    const HANDLE file =
        CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    const long long count = counted.load();
    char line[32];
    DWORD written = 0;
    int size = std::snprintf(line, sizeof line, "%lld\n", count);
    WriteFile(file, line, static_cast<DWORD>(size), &written, nullptr);
    for (long long i = 0; i < count && i < kMostSites; ++i) {
      size = std::snprintf(line, sizeof line, "%lx\n", sites[i]);
      WriteFile(file, line, static_cast<DWORD>(size), &written, nullptr);
    }
    CloseHandle(file);
  }
};
__attribute__((init_priority(101))) CountAtExit countAtExit;

}  // namespace

void* operator new(std::size_t size) { return OrThrow(Allocate(size)); }
void* operator new[](std::size_t size) { return OrThrow(Allocate(size)); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void* operator new(std::size_t size, std::align_val_t alignment) {
  return OrThrow(AllocateAligned(size, alignment));
}
void* operator new[](std::size_t size, std::align_val_t alignment) {
  return OrThrow(AllocateAligned(size, alignment));
}
void* operator new(std::size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept {
  return AllocateAligned(size, alignment);
}
void* operator new[](std::size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept {
  return AllocateAligned(size, alignment);
}

void operator delete(void* block) noexcept { std::free(block); }
void operator delete[](void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }
void operator delete[](void* block, std::size_t) noexcept { std::free(block); }
void operator delete(void* block, const std::nothrow_t&) noexcept { std::free(block); }
void operator delete[](void* block, const std::nothrow_t&) noexcept { std::free(block); }
void operator delete(void* block, std::align_val_t) noexcept { _aligned_free(block); }
void operator delete[](void* block, std::align_val_t) noexcept { _aligned_free(block); }
void operator delete(void* block, std::size_t, std::align_val_t) noexcept { _aligned_free(block); }
void operator delete[](void* block, std::size_t, std::align_val_t) noexcept {
  _aligned_free(block);
}
void operator delete(void* block, std::align_val_t, const std::nothrow_t&) noexcept {
  _aligned_free(block);
}
void operator delete[](void* block, std::align_val_t, const std::nothrow_t&) noexcept {
  _aligned_free(block);
}
