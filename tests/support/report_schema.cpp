#include "support/report_schema.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <cstring>

#include "support/temp_folder.h"
#include "support/temp_prefix.h"

extern char** environ;

namespace keldo {

std::string ReportSchemaProblems(const std::string& json) {
  TempFolder folder;
  folder.Write("report.json", json);
  const std::string findings = folder.Path() + "/findings.txt";
  std::string program = "/usr/bin/python3";
  std::string script = KELDO_SOURCE_ROOT "/scripts/validate-report.py";
  std::string schema = KELDO_SOURCE_ROOT "/docs/report.schema.json";
  std::string report = folder.Path() + "/report.json";
  char* argv[] = {program.data(), script.data(), schema.data(), report.data(), nullptr};

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, findings.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0600);
  posix_spawn_file_actions_adddup2(&actions, 1, 2);
  pid_t pid = -1;
  const int started = posix_spawn(&pid, argv[0], &actions, nullptr, argv, environ);
  posix_spawn_file_actions_destroy(&actions);
  if (started != 0) return std::string("cannot start the validator: ") + std::strerror(started);
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  if (WIFEXITED(status) && WEXITSTATUS(status) == 0) return std::string();
  const std::string said = ReadAll(findings);
  return said.empty() ? "the validator failed with status " + std::to_string(status) : said;
}

}  // namespace keldo
