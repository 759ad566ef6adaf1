#pragma once
// The result labels as polite live regions: a screen reader announces a
// finding when its caption is written, and the end of a run, without the
// focus leaving Start. The live setting is a Direct Annotation property, the
// one COM object of the window, made on the window's thread at the first
// announcement. Where COM, oleacc or the object is missing, or the system
// keeps no such property (Wine), the window works as it did: the events are
// still raised, and nothing says so, since the window has no diagnostic
// channel a user could see.
#include <windows.h>

#include <memory>
#include <vector>

namespace keldo {

class LiveRegions {
 public:
  LiveRegions();
  ~LiveRegions();
  LiveRegions(const LiveRegions&) = delete;
  LiveRegions& operator=(const LiveRegions&) = delete;

  // After a caption was written to `region`.
  void Announce(HWND region);
  // Gives `region`, a label that shows no text, `text` as its accessible
  // name and announces it; ForgetName takes the name back.
  void AnnounceName(HWND region, const wchar_t* text);
  void ForgetName(HWND region);
  // Before the window goes: every property given back, the object released.
  void Release();

 private:
  class Services;
  Services* Ready();
  void MarkPolite(HWND region);

  std::unique_ptr<Services> services_;
  bool tried_ = false;
  std::vector<HWND> marked_;
  std::vector<HWND> named_;
};

}  // namespace keldo
