#pragma once
// Every side effect of the check run goes through one of these ports. A
// platform layer (Windows, or Linux over a Wine prefix) supplies them all;
// the tests supply in-memory fakes.
#include "base/clock.h"
#include "base/drive_mapper.h"
#include "base/file_system.h"
#include "base/main_view.h"
#include "base/network_registry.h"
#include "base/settings_store.h"
#include "base/text_files.h"
#include "base/web_component.h"

namespace keldo {

struct Ports {
  MainView& view;
  SettingsStore& settings;
  FileSystem& fileSystem;
  NetworkRegistry& registry;
  DriveMapper& mapper;
  TextFiles& files;
  WebComponent& web;
  Clock& clock;
};

}  // namespace keldo
