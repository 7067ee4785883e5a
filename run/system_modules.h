#pragma once
// The system modules a run reaches Windows through; WinMain owns the real ones, tests hand in
// fakes.
#include "system/access_lists.h"
#include "system/clock.h"
#include "system/devices.h"
#include "system/dialogs.h"
#include "system/download.h"
#include "system/files.h"
#include "system/os_info.h"
#include "system/processes.h"
#include "system/program_host.h"
#include "system/registry.h"
#include "system/service_control.h"
#include "system/settings_file.h"
#include "system/tray.h"
#include "system/zip.h"

namespace tunlatch {

struct SystemModules {
    ServiceControl& services;
    Processes& processes;
    Registry& registry;
    OsFacts& os;
    FileSystem& files;
    SettingsFile& settings;
    Clock& clock;
    Tray& tray;
    Dialogs& dialogs;
    Download& download;
    Zip& zip;
    ProgramHost& host;
    AccessLists& access;
    Devices& devices;
};

}  // namespace tunlatch
