#pragma once
// Sequential file input and file deletion. The core splits lines itself so
// that the line format is the same on every platform; the port only moves
// bytes and knows the ANSI code page.
#include <cstddef>
#include <memory>
#include <string>

#include "base/text.h"

namespace keldo {

class InputFile {
 public:
  // Closes the file, so that a reader lets go of it before the caller
  // deletes it: Windows refuses to delete a file that is still open.
  virtual ~InputFile() = default;
  // Reads up to `count` bytes; 0 at the end of the file. Throws RunTimeError.
  virtual std::size_t Read(char* buffer, std::size_t count) = 0;
};

class TextFiles {
 public:
  virtual ~TextFiles() = default;
  // Opens an existing file for reading only. Throws RunTimeError.
  virtual std::unique_ptr<InputFile> OpenForInput(const Text& path) = 0;
  // Throws RunTimeError when the file cannot be deleted.
  virtual void RemoveFile(const Text& path) = 0;
  // Bytes in the system's ANSI code page to wide text.
  virtual Text FromAnsi(const std::string& bytes) = 0;
};

}  // namespace keldo
