#pragma once
// All fakes of a run in one place, wired to one journal, with the SystemModules view that the
// steps take.
#include "run/system_modules.h"
#include "tests/fakes/files_fake.h"
#include "tests/fakes/journal.h"
#include "tests/fakes/os_facts_fake.h"
#include "tests/fakes/processes_fake.h"
#include "tests/fakes/registry_fake.h"
#include "tests/fakes/service_control_fake.h"
#include "tests/fakes/settings_file_fake.h"
#include "tests/fakes/small_fakes.h"
#include "tests/fakes/tray_fake.h"

namespace tunlatch {

struct FakeSystem {
    Journal journal;
    FakeServiceControl services;
    FakeProcesses processes;
    FakeRegistry registry;
    FakeOsFacts os;
    FakeFileSystem files;
    FakeSettingsFile settings;
    FakeClock clock;
    FakeTray tray;
    FakeDialogs dialogs;
    FakeDownload download;
    FakeZip zip;
    FakeProgramHost host;
    SystemModules modules{services, processes, registry, os,       files, settings,
                          clock,    tray,      dialogs,  download, zip,   host};

    FakeSystem() {
        for (Journaled* j : std::initializer_list<Journaled*>{
                 &services, &processes, &registry, &files, &tray, &dialogs, &download, &zip})
            j->journal = &journal;
    }
    FakeSystem(const FakeSystem&) = delete;
    FakeSystem& operator=(const FakeSystem&) = delete;
};

}  // namespace tunlatch
