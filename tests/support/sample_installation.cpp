#include "support/sample_installation.h"

#include <cctype>

namespace keldo {

void InstallProductFiles(const TempPrefix& prefix, const std::string& driveFolder,
                         bool latestProgs) {
  prefix.Write(driveFolder + "/Keldo6/GENDATA/GeneralKeldo6data.mdb", "");
  if (!latestProgs) return;
  prefix.Write(driveFolder + "/Keldo6/LATEST_PROGS/keldo63version.dat",
               KELDO_SAMPLE_LATEST_VERSION_LINE "\r\n");
  prefix.Write(driveFolder + "/Keldo6/LATEST_PROGS/SupportExpiry.dat",
               KELDO_SAMPLE_SUPPORT_EXPIRY_LINE "\r\n");
}

void LayOutSampleInstallation(const TempPrefix& prefix) {
  prefix.WriteUserReg(kSampleSettings);
  // Wine names the links and folders in lower case.
  const std::string drive(1, static_cast<char>(std::tolower(KELDO_SAMPLE_DATABASE_DRIVE[0])));
  prefix.Link(drive + ":", "../drive_" + drive);
  InstallProductFiles(prefix, "drive_" + drive);
}

}  // namespace keldo
