#include "platform/windows/text/wide_text.h"

#include <climits>

#include "platform/windows/win_error.h"

namespace keldo {

Text FromAnsiCodePage(const std::string& bytes) {
  if (bytes.empty()) return Text();
  if (bytes.size() > INT_MAX)
    throw RunTimeError(ERROR_ARITHMETIC_OVERFLOW, "Text too long to convert");
  const int byteCount = static_cast<int>(bytes.size());
  const int length = MultiByteToWideChar(CP_ACP, 0, bytes.data(), byteCount, nullptr, 0);
  if (length <= 0) ThrowLastError("Converting ANSI text");
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  if (MultiByteToWideChar(CP_ACP, 0, bytes.data(), byteCount, wide.data(), length) != length) {
    ThrowLastError("Converting ANSI text");
  }
  return FromWide(wide);
}

}  // namespace keldo
