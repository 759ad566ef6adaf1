#pragma once
// The sample installation the end-to-end tests check, as
// demo/sample_installation.conf describes it (KELDO_SAMPLE_* there): the
// product's settings in user.reg and drive D: holding the database and the
// latest-programs files.
#include <string>

#include "sample_installation_values.h"
#include "support/temp_prefix.h"

namespace keldo {

// The product's settings key as Wine writes it into user.reg.
inline constexpr const char* kSampleSettings =
    "[Software\\\\VB and VBA Program Settings\\\\Keldo6\\\\ThisPC] 1733650000\n"
    "#time=1db4a7b00000000\n"
    "\"AutoUpdate\"=\"" KELDO_SAMPLE_AUTO_UPDATE
    "\"\n"
    "\"Network\"=\"" KELDO_SAMPLE_NETWORK
    "\"\n"
    "\"PkgNbr\"=\"" KELDO_SAMPLE_SERIAL
    "\"\n"
    "\"VerNbr\"=\"" KELDO_SAMPLE_INSTALLED_VERSION "\"\n";

// The product's files below `driveFolder` (a folder of the prefix, such as
// "drive_d"): the database and, with `latestProgs`, the latest-programs
// version file and support expiry file.
void InstallProductFiles(const TempPrefix& prefix, const std::string& driveFolder,
                         bool latestProgs = true);

// kSampleSettings in user.reg, dosdevices/d: -> drive_d, and the product's
// files on it.
void LayOutSampleInstallation(const TempPrefix& prefix);

}  // namespace keldo
