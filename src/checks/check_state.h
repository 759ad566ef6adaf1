#pragma once
// What one check run finds, field by field, in the order the window
// declares them. Start-up sets the two service objects and DebugOn; every
// other field is written by the check run's stages alone and keeps its
// value from one press of Start to the next.
#include <cstdint>
#include <memory>

#include "base/file_system.h"
#include "base/ports.h"
#include "base/text.h"
#include "base/web_component.h"

namespace keldo {

struct CheckState {
  Text VersionFile;
  FileSystem* FileSys = nullptr;
  std::unique_ptr<FileTool> FileAccess;
  Text SerialNbr;
  Text CompanyName;
  Text ExpiryFile;
  Text DownloadURL;
  Text LatestProgsFolder;
  Text DataDrive;
  Text DataFilePath;
  std::int16_t DebugOn = 0;
  Text ServerVersionText;
  std::int32_t ServerVersion = 0;
  Text WebVersionText;
  std::int32_t WebVersion = 0;
  Text PCVersionText;
  std::int32_t PCVersion = 0;
  Text WebExpiry;
};

// Start-up's part: the file-system service, the file-access tool, and the
// diagnostic switch off.
void PrepareCheckState(CheckState& state, const Ports& ports);

}  // namespace keldo
