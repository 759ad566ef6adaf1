#pragma once
// The product's per-user settings in the prefix the driver runs in, changed
// between two check runs of one program start (the program reads them anew
// at every run), as the suite's layouts would lay them out.
#include <string>
#include <utility>
#include <vector>

namespace keldo {

using SettingValues = std::vector<std::pair<std::wstring, std::wstring>>;

// Writes each key as a string value; false when any of them fails.
bool WriteProductSettings(const SettingValues& values);

// The present text of each key named in `names` (their texts are not used),
// to put back later; false when one is missing, not a string or longer than
// a setting can be.
bool ReadProductSettings(const SettingValues& names, SettingValues& values);

}  // namespace keldo
