#include "window/live_regions.h"

#include <oleacc.h>

#include <algorithm>

#include "platform/windows/unique_handle.h"

namespace keldo {

namespace {

// The system's values; MinGW's headers lack the live setting and declare the
// others for a library we do not link.
constexpr GUID kAccPropServicesClass = {
    0xb5f8350b, 0x0548, 0x48b1, {0xa6, 0xee, 0x88, 0xbd, 0x00, 0xb4, 0xa5, 0xe7}};
constexpr GUID kAccPropServicesInterface = {
    0x6e26e776, 0x04f0, 0x495d, {0x80, 0xe4, 0x33, 0x30, 0x35, 0x2e, 0x31, 0x69}};
// LiveSetting_Property_GUID
constexpr GUID kLiveSettingProperty = {
    0xc12bcd8e, 0x2a8e, 0x4950, {0x8a, 0xe7, 0x36, 0x25, 0x11, 0x1d, 0x58, 0xeb}};
// PROPID_ACC_NAME
constexpr GUID kNameProperty = {
    0x608d3df8, 0x8128, 0x4aa7, {0xa4, 0x28, 0xf5, 0x5e, 0x49, 0x26, 0x72, 0x91}};
constexpr LONG kPolite = 1;  // LiveSetting's Polite: announced when the reader is free

using CoInitializeExCall = HRESULT(WINAPI*)(void*, DWORD);
using CoUninitializeCall = void(WINAPI*)();
using CoCreateInstanceCall = HRESULT(WINAPI*)(REFCLSID, IUnknown*, DWORD, REFIID, void**);

template <typename Call>
Call Find(HMODULE module, const char* name) {
  return reinterpret_cast<Call>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

// This thread's COM, ended only when it was this object that began it.
class ComApartment {
 public:
  ComApartment() = default;
  ~ComApartment() {
    if (end_) end_();
  }
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;
  void Began(CoUninitializeCall end) { end_ = end; }

 private:
  CoUninitializeCall end_ = nullptr;
};

// One COM interface pointer, released once.
template <typename Interface>
class ComPointer {
 public:
  ComPointer() = default;
  ~ComPointer() {
    if (pointer_) pointer_->Release();
  }
  ComPointer(const ComPointer&) = delete;
  ComPointer& operator=(const ComPointer&) = delete;
  Interface* get() const { return pointer_; }
  void** out() { return reinterpret_cast<void**>(&pointer_); }

 private:
  Interface* pointer_ = nullptr;
};

}  // namespace

class LiveRegions::Services {
 public:
  // Null when ole32, COM on this thread or the object is not to be had.
  static std::unique_ptr<Services> Make() {
    auto made = std::make_unique<Services>();
    // From the system folder only, and only now: a start-up without it is
    // the start-up of old.
    made->ole32_.reset(LoadLibraryExW(L"ole32.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32));
    if (!made->ole32_) return nullptr;
    const HMODULE ole32 = static_cast<HMODULE>(made->ole32_.get());
    const auto begin = Find<CoInitializeExCall>(ole32, "CoInitializeEx");
    const auto end = Find<CoUninitializeCall>(ole32, "CoUninitialize");
    const auto create = Find<CoCreateInstanceCall>(ole32, "CoCreateInstance");
    if (!begin || !end || !create) return nullptr;
    const HRESULT began = begin(nullptr, COINIT_APARTMENTTHREADED);
    // RPC_E_CHANGED_MODE: COM is on already, in another mode, and not ours.
    if (FAILED(began) && began != RPC_E_CHANGED_MODE) return nullptr;
    if (SUCCEEDED(began)) made->apartment_.Began(end);
    if (FAILED(create(kAccPropServicesClass, nullptr, CLSCTX_INPROC_SERVER,
                      kAccPropServicesInterface, made->props_.out()))) {
      return nullptr;
    }
    return made;
  }
  IAccPropServices* props() const { return props_.get(); }

 private:
  // Released in the reverse order: the object, COM, the library.
  LoadedModule ole32_;
  ComApartment apartment_;
  ComPointer<IAccPropServices> props_;
};

LiveRegions::LiveRegions() = default;

LiveRegions::~LiveRegions() { Release(); }

LiveRegions::Services* LiveRegions::Ready() {
  if (!tried_) {
    tried_ = true;
    services_ = Services::Make();
  }
  return services_.get();
}

void LiveRegions::MarkPolite(HWND region) {
  if (std::find(marked_.begin(), marked_.end(), region) != marked_.end()) return;
  marked_.push_back(region);
  if (Services* services = Ready()) {
    VARIANT polite{};
    polite.vt = VT_I4;
    polite.lVal = kPolite;
    // A system without the property (E_NOTIMPL under Wine) still gets the
    // events, which its screen readers may ignore.
    services->props()->SetHwndProp(region, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                                   kLiveSettingProperty, polite);
  }
}

void LiveRegions::Announce(HWND region) {
  MarkPolite(region);
  NotifyWinEvent(EVENT_OBJECT_LIVEREGIONCHANGED, region, OBJID_CLIENT, CHILDID_SELF);
}

void LiveRegions::AnnounceName(HWND region, const wchar_t* text) {
  MarkPolite(region);
  if (Services* services = Ready()) {
    services->props()->SetHwndPropStr(region, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                                      kNameProperty, text);
    if (std::find(named_.begin(), named_.end(), region) == named_.end()) named_.push_back(region);
  }
  NotifyWinEvent(EVENT_OBJECT_LIVEREGIONCHANGED, region, OBJID_CLIENT, CHILDID_SELF);
}

void LiveRegions::ForgetName(HWND region) {
  const auto named = std::find(named_.begin(), named_.end(), region);
  if (named == named_.end() || !services_) return;
  named_.erase(named);
  MSAAPROPID name = kNameProperty;
  services_->props()->ClearHwndProps(region, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF, &name,
                                     1);
}

void LiveRegions::Release() {
  if (services_) {
    MSAAPROPID ours[] = {kLiveSettingProperty, kNameProperty};
    for (const HWND region : marked_) {
      services_->props()->ClearHwndProps(region, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                                         ours, 2);
    }
  }
  services_.reset();
  marked_.clear();
  named_.clear();
  // The window is going: no second object for it.
  tried_ = true;
}

}  // namespace keldo
