#pragma once
// The sample installation the end-to-end tests check: the product's
// settings in user.reg and drive D: holding the database and the
// latest-programs files.
#include <string>

#include "support/temp_prefix.h"

namespace keldo {

// The product's settings key as Wine writes it into user.reg: automatic
// updates off, multi-user, serial 123456, version v6.3.215 01/12/2024.
inline constexpr const char* kSampleSettings =
    "[Software\\\\VB and VBA Program Settings\\\\Keldo6\\\\ThisPC] "
    "1733650000\n#time=1db4a7b00000000\n"
    "\"AutoUpdate\"=\"No\"\n\"Network\"=\"Yes\"\n\"PkgNbr\"=\"123456\"\n\"VerNbr\"=\"v6.3.215 "
    "01/12/2024\"\n";

// The product's files below `driveFolder` (a folder of the prefix, such as
// "drive_d"): the database and, with `latestProgs`, the latest-programs
// version file (two lines) and support expiry file.
void InstallProductFiles(const TempPrefix& prefix, const std::string& driveFolder,
                         bool latestProgs = true);

// kSampleSettings in user.reg, dosdevices/d: -> drive_d, and the product's
// files on it.
void LayOutSampleInstallation(const TempPrefix& prefix);

}  // namespace keldo
