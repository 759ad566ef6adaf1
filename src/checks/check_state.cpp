#include "checks/check_state.h"

namespace keldo {

void PrepareCheckState(CheckState& state, const Ports& ports) {
  state.FileSys = &ports.fileSystem;
  state.FileAccess = ports.web.NewFileTool();
  state.DebugOn = 0;
}

}  // namespace keldo
