#pragma once
// Every side effect of the check run goes through one of these ports. A
// platform layer (Windows, or Linux over a Wine prefix) supplies them all;
// the tests supply in-memory fakes.
#include "app/clock.h"
#include "app/main_view.h"
#include "local/drive_mapper.h"
#include "local/file_system.h"
#include "local/network_registry.h"
#include "local/settings_store.h"
#include "local/text_files.h"
#include "web/web_component.h"

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
