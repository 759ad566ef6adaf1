// The window program's test build only (never the shipped one): every
// replaceable global operator new counts its call, and the call numbered
// KELDO_FAIL_NEW_AT fails as the system's allocator would, with
// std::bad_alloc (the nothrow forms with a null pointer). Without the
// variable nothing fails. KELDO_NEW_COUNT_FILE names a file that gets the
// number of calls counted when the program ends.
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

bool ThisCallFails() { return counted.fetch_add(1) + 1 == FailAt(); }

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
    char text[32];
    const int size = std::snprintf(text, sizeof text, "%lld\n", counted.load());
    const HANDLE file =
        CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(file, text, static_cast<DWORD>(size), &written, nullptr);
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
