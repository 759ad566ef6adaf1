#pragma once
// Where the vendor's website keeps what the check asks it for, as paths
// below its scheme, host and port. The stand-in website, the tests (in
// narrow and wide texts) and the bench take the same macros, so a move on
// the website is one line here.

// The support-check script the serial number is posted to.
#define KELDO_SUPPORT_CHECK_PATH "/support/wendle.php"
// The download folder, with its final slash; the version file lies in it.
#define KELDO_DOWNLOAD_FOLDER_PATH "/filesfordownload/"
// The version file's name, on the website and in the latest-programs folder.
#define KELDO_VERSION_FILE_NAME "keldo63version.dat"

namespace keldo {

inline constexpr const char16_t* kSupportCheckPath = u"" KELDO_SUPPORT_CHECK_PATH;
inline constexpr const char16_t* kDownloadFolderPath = u"" KELDO_DOWNLOAD_FOLDER_PATH;
inline constexpr const char16_t* kVersionFileName = u"" KELDO_VERSION_FILE_NAME;

}  // namespace keldo
