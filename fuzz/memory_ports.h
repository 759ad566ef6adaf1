#pragma once
// The smallest set of ports a MainCheck can run on, all in memory: enough
// to drive one probe with input the fuzzer chooses and to see what it did.
#include <cstddef>
#include <string>
#include <vector>

#include "base/ports.h"

namespace keldo {

class RecordingView : public MainView {
 public:
  void Show() override {}
  void SetCaption(Control, const Text&) override {}
  void Repaint() override {}
  Text Caption(Control) const override { return Text(); }
  void ShowMessage(const Text& text, MessageKind kind) override {
    if (kind == MessageKind::Message) messages.push_back(text);
  }
  void SetMousePointer(std::int16_t) override {}
  void SetScreenMousePointer(std::int16_t code) override { screenPointer = code; }
  void EndProgram() override {}

  std::vector<Text> messages;
  std::int16_t screenPointer = -1;
};

class NoSettings : public SettingsStore {
 public:
  Text GetSetting(const Text&, const Text&, const Text&) override { return Text(); }
};

class NoDrives : public FileSystem {
 public:
  std::vector<DriveEntry> Drives() override { return {}; }
  bool FileExists(const Text&) override { return false; }
};

// No remembered mappings: every key is missing (2, file not found) and no
// handle is valid (6, invalid handle), as the registry says so.
class NoMappings : public NetworkRegistry {
 public:
  RegistryStatus OpenKey(const std::string&, RegistryKey*) override { return 2; }
  RegistryStatus QueryValue(RegistryKey, const std::string&, std::uint32_t*, unsigned char*,
                            std::uint32_t*) override {
    return 6;
  }
  RegistryStatus CloseKey(RegistryKey) override { return 6; }
  Text FromAnsi(const std::string& bytes) override { return FromWindows1252(bytes); }
};

class NoMapper : public DriveMapper {
 public:
  void StartMapping(const Text&, const Text&) override {}
};

// One file, handed out in reads of the sizes `chunks` lists in turn (0 in
// the list means "as much as asked"), so the reader meets every split of
// its input across reads.
class ChunkedTextFiles : public TextFiles {
 public:
  std::unique_ptr<InputFile> OpenForInput(const Text& path) override;
  void RemoveFile(const Text&) override {}
  Text FromAnsi(const std::string& bytes) override { return FromWindows1252(bytes); }

  std::string content;
  std::vector<std::size_t> chunks;
  int opened = 0;
  int closed = 0;
};

// SubmitForm answers every post with `body`; nothing else is on the web.
class CannedWeb : public WebComponent {
 public:
  std::unique_ptr<WebClient> NewWebClient() override;
  std::unique_ptr<FileTool> NewFileTool() override;

  Text body;
};

class FixedClock : public Clock {
 public:
  LocalDateTime Now() override { return {2024, 12, 1, 9, 30, 15}; }
};

struct MemoryPorts {
  RecordingView view;
  NoSettings settings;
  NoDrives fileSystem;
  NoMappings registry;
  NoMapper mapper;
  ChunkedTextFiles files;
  CannedWeb web;
  FixedClock clock;
  Ports ports{view, settings, fileSystem, registry, mapper, files, web, clock};
};

}  // namespace keldo
