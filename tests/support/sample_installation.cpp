#include "support/sample_installation.h"

namespace keldo {

void InstallProductFiles(const TempPrefix& prefix, const std::string& driveFolder,
                         bool latestProgs) {
  prefix.Write(driveFolder + "/Keldo6/GENDATA/GeneralKeldo6data.mdb", "");
  if (!latestProgs) return;
  prefix.Write(driveFolder + "/Keldo6/LATEST_PROGS/keldo63version.dat",
               "v6.3.218 10/02/2025\r\nv6.3.100\r\n");
  prefix.Write(driveFolder + "/Keldo6/LATEST_PROGS/SupportExpiry.dat", "31/12/2026\r\n");
}

void LayOutSampleInstallation(const TempPrefix& prefix) {
  prefix.WriteUserReg(kSampleSettings);
  prefix.Link("d:", "../drive_d");
  InstallProductFiles(prefix, "drive_d");
}

}  // namespace keldo
