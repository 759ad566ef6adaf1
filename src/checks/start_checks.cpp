#include "app/main_check.h"

void MainCheck::StartChecks() {
  RunSettingsStage();
  RunDatabaseStage();
  RunExpiryAndVersionStage();
}
