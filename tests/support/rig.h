#pragma once
// Every fake wired into one set of ports, and a window started on them.
#include <memory>
#include <string>

#include "app/main_check.h"
#include "support/fake_local.h"
#include "support/fake_view.h"
#include "support/fake_web.h"

namespace keldo {

inline constexpr const char16_t* kWebsite = u"https://keldo.test:8443";
inline constexpr const char16_t* kDbOnD = u"D:\\Keldo6\\GENDATA\\GeneralKeldo6data.mdb";
inline constexpr const char16_t* kLatestOnD = u"D:\\Keldo6\\LATEST_PROGS\\";

struct Rig {
  FakeView view;
  FakeSettings settings;
  FakeTextFiles files;
  FakeFileSystem fileSystem{files};
  FakeRegistry registry;
  FakeMapper mapper{view.log};
  FakeWeb web{files};
  FakeClock clock;
  Ports ports{view, settings, fileSystem, registry, mapper, files, web, clock};
  std::unique_ptr<MainCheck> window;

  // An ordinary installation: multi-user, serial K-1001, the database and
  // both latest-programs files on fixed drive D beside a removable A, a
  // fixed C and a CD-ROM E; the website up and answering.
  static std::unique_ptr<Rig> Ordinary();
  // An empty machine: no settings, no drives, nothing on the web.
  static std::unique_ptr<Rig> Bare();

  // Runs start-up, as Main does, and forgets its log lines.
  MainCheck& Start();
  // Presses Start and returns the lines it added to the log.
  std::vector<std::string> PressStart();
  void AddFile(const Text& path, const std::string& bytes) { files.contents[path] = bytes; }
};

}  // namespace keldo
