#pragma once
// The main window's logic: its check state, its event handlers, the check
// run and its probes. What the window looks like is the view's business.
#include <cstdint>
#include <memory>

#include "base/ports.h"
#include "base/text.h"

namespace keldo {

enum class RunState : std::uint8_t { Starting, Idle, Running, Ended };

// How the last press of Start ended.
enum class RunOutcome : std::uint8_t { None, Completed, Closed, Failed };

class MainCheck {
 public:
  // `website` is the vendor's website: scheme, host and optional port, no
  // trailing slash.
  MainCheck(const Ports& ports, Text website);

  // ---- start-up and window events (app/) ----
  void ShowMe();
  void Form_Load();
  void cmdStart_Click();
  void cmdExit_Click();
  void ShowProgress(const Text& text, Flag flag);
  void DebugMsg(const Text& text);
  // Ends the program; never returns normally (throws ProgramEnded).
  [[noreturn]] void CloseProgram();

  // ---- the check run (checks/) ----
  void StartChecks();
  void RunSettingsStage();
  void RunDatabaseStage();
  void RunExpiryAndVersionStage();

  // ---- probes (local/, web/) ----
  Text GetInstallType();
  Text FindDataDrive(Text relativePath);
  Text SearchDrives(Text relativePath);
  void EnsureLatestProgsFolder();
  Text ReadServerExpiry();
  Text ReadServerVersion();
  Text GetWebVersion();
  void CheckSupportOnWeb();

  RunState State() const { return state_; }
  RunOutcome LastOutcome() const { return outcome_; }
  // The error text of the last failed run, empty otherwise.
  const Text& LastError() const { return lastError_; }

  // ---- the check state, in its order of declaration ----
  Text VersionFile;
  FileSystem* FileSys = nullptr;
  std::unique_ptr<FileTool> FileAccess;
  Text SerialNbr;
  Text CompanyName;
  Text ExpiryFile;
  Text DownloadURL;
  Text LatestProgsFolder;
  Text DataDrive;
  Text DataFilePath;
  std::int16_t DebugOn = 0;
  Text ServerVersionText;
  std::int32_t ServerVersion = 0;
  Text WebVersionText;
  std::int32_t WebVersion = 0;
  Text PCVersionText;
  std::int32_t PCVersion = 0;
  Text WebExpiry;

 private:
  Text ReadSetting(const Text& key);
  // Every finding is shown the moment it is known.
  void ShowCaption(Control control, const Text& caption);
  Text ReadLatestProgsFile(const Text& fileName);
  // The two service objects; a run before start-up made them is an error.
  FileSystem& FileService();
  FileTool& FileAccessTool();

  Ports ports_;
  Text website_;
  RunState state_ = RunState::Starting;
  RunOutcome outcome_ = RunOutcome::None;
  Text lastError_;
};

// The module of shared procedures.
namespace General {

// Creates the main window and shows it. The caller keeps it alive and runs
// the platform's event loop.
std::unique_ptr<MainCheck> Main(const Ports& ports, Text website);

void ReconnectDrives(NetworkRegistry& registry, DriveMapper& mapper);
Text GetRemotePath(NetworkRegistry& registry, Text letter);
Text NetworkKeyPath(Text letter);
void MapDrive(DriveMapper& mapper, const Text& letter, const Text& remotePath);

std::int32_t VersionNumber(Text text);
Text RemoveChars(Text text, Text set);

}  // namespace General

}  // namespace keldo
