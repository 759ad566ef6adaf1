#include "driver/check_log.h"

#include <windows.h>

#include <cstdio>

namespace keldo {

std::string Printable(const std::wstring& text) {
  std::string out = "\"";
  for (const wchar_t c : text) {
    char buffer[8];
    if (c == L'\r') {
      out += "\\r";
    } else if (c == L'\n') {
      out += "\\n";
    } else if (c == L'\t') {
      out += "\\t";
    } else if (c < 0x20 || c == 0x7f) {
      std::snprintf(buffer, sizeof buffer, "\\x%02X", static_cast<unsigned>(c));
      out += buffer;
    } else {
      const int length =
          WideCharToMultiByte(CP_UTF8, 0, &c, 1, buffer, sizeof buffer, nullptr, nullptr);
      out.append(buffer, static_cast<std::size_t>(length > 0 ? length : 0));
    }
  }
  return out + "\"";
}

bool CheckLog::Check(bool passed, const std::string& what) {
  if (!passed) ++failed_;
  std::printf("%s - %s: %s\n", passed ? "ok" : "not ok", scenario_.c_str(), what.c_str());
  std::fflush(stdout);
  return passed;
}

bool CheckLog::Equal(const std::wstring& expected, const std::wstring& got,
                     const std::string& what) {
  if (expected == got) return Check(true, what);
  return Check(false, what + ": expected " + Printable(expected) + ", got " + Printable(got));
}

bool CheckLog::Equal(long long expected, long long got, const std::string& what) {
  if (expected == got) return Check(true, what);
  return Check(false,
               what + ": expected " + std::to_string(expected) + ", got " + std::to_string(got));
}

void CheckLog::Note(const std::string& text) const {
  std::printf("# %s: %s\n", scenario_.c_str(), text.c_str());
  std::fflush(stdout);
}

}  // namespace keldo
