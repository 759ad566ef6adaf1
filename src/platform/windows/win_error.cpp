#include "platform/windows/win_error.h"

#include "platform/windows/text/wide_text.h"

namespace keldo {

Text ErrorText(DWORD code, HMODULE module) {
  const DWORD source = module ? FORMAT_MESSAGE_FROM_HMODULE : FORMAT_MESSAGE_FROM_SYSTEM;
  wchar_t buffer[1024];
  DWORD length = FormatMessageW(source | FORMAT_MESSAGE_IGNORE_INSERTS, module, code, 0, buffer,
                                static_cast<DWORD>(std::size(buffer)), nullptr);
  while (length > 0 && (buffer[length - 1] == L'\r' || buffer[length - 1] == L'\n' ||
                        buffer[length - 1] == L' ')) {
    --length;
  }
  if (length == 0) return u"unknown error";
  return FromWide(buffer, length);
}

std::string DescribeError(const std::string& what, DWORD code, HMODULE module) {
  return PlatformFailureText(what, ToUtf8(ErrorText(code, module)), code);
}

void ThrowError(const std::string& what, DWORD code) {
  throw RunTimeError(code, DescribeError(what, code));
}

void ThrowLastError(const std::string& what) { ThrowError(what, GetLastError()); }

}  // namespace keldo
