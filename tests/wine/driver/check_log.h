#pragma once
// One line per check on standard output, "ok - ..." or "not ok - ...", which
// the suite script counts. A failed check is reported and the scenario goes
// on, so one run shows every difference at once.
#include <string>

namespace keldo {

class CheckLog {
 public:
  explicit CheckLog(std::string scenario) : scenario_(std::move(scenario)) {}

  bool Check(bool passed, const std::string& what);
  // Compares texts and shows both, control characters escaped, on failure.
  bool Equal(const std::wstring& expected, const std::wstring& got, const std::string& what);
  bool Equal(long long expected, long long got, const std::string& what);
  void Note(const std::string& text) const;

  int Failed() const { return failed_; }

 private:
  std::string scenario_;
  int failed_ = 0;
};

// UTF-8 with \r, \n, \t and other control characters written as escapes.
std::string Printable(const std::wstring& text);

}  // namespace keldo
