#include "app/main_check.h"

namespace keldo {

void MainCheck::StartChecks() {
  RunSettingsStage();
  RunDatabaseStage();
  RunExpiryAndVersionStage();
}

}  // namespace keldo
