#pragma once
#include "system/os_info.h"

namespace tunlatch {

class FakeOsFacts final : public OsFacts {
public:
    OsInformation info = [] {
        OsInformation i;
        i.FullText = "Windows 7 Professional (x64) [Service Pack 1]";
        i.FullNumbers =
            "PID:2 MAV:6 MIV:1 BLD:7601 CSD:Service Pack 1 PRTY:1 RSVD:0 SPMA:1 SPMI:0 MASK:256 "
            "PRIN:48 OSA:x64";
        i.VersionName = "7";
        i.Edition = "Professional";
        i.Architecture = "x64";
        return i;
    }();
    bool admin = true;
    int adminQueries = 0;

    OsInformation GetOSInf() override { return info; }
    bool IsAdmin() override {
        ++adminQueries;
        return admin;
    }
};

}  // namespace tunlatch
