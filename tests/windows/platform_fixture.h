#pragma once
// Scratch files and registry values for tests of the Windows layer. They
// run in a private, throw-away Wine prefix, so writing HKCU is safe here.
#include <windows.h>

#include <string>

#include "base/text.h"

namespace keldo {

// A new empty folder under %TEMP%, ending in a backslash.
std::wstring NewTestFolder();

void WriteBytes(const std::wstring& path, const std::string& bytes);
std::string ReadBytes(const std::wstring& path);
bool IsFolder(const std::wstring& path);
bool Exists(const std::wstring& path);

void SetUserValue(const std::wstring& subKey, const wchar_t* name, DWORD type, const void* data,
                  DWORD size);
void SetUserText(const std::wstring& subKey, const wchar_t* name, const std::wstring& text);
void DeleteUserKey(const std::wstring& subKey);

inline Text AsText(const std::wstring& text) { return Text(text.begin(), text.end()); }

}  // namespace keldo
