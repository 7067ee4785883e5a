#pragma once
// The log's words for what the system layer reports: the one place where a result type becomes
// the text a log line shows.
#include <chrono>
#include <string>

#include "system/access_lists.h"
#include "system/devices.h"
#include "system/processes.h"
#include "system/registry.h"
#include "system/result.h"
#include "system/service_control.h"
#include "system/zip.h"

namespace tunlatch {

// Windows' code as the log shows it: Windows' error codes in decimal; SetupAPI's (any code with
// its top bit set), the Configuration Manager's and HRESULTs as hexadecimal "0xE000020B".
std::string SystemErrorCode(const SystemError& error);

// The refusal of a call, one line: "CALL fail! returncode: CODE".
std::string CallFailedText(const std::string& call, const SystemError& error);

// "Stopped" ... "Paused"; "OpenSCManager fail!" and "OpenService fail!" for a service that
// cannot be reached; empty when the query itself failed.
std::string ServiceStatusText(ServiceStatus status);
std::string ServiceStatusText(const Result<ServiceStatus>& status);

// "SERVICE_BOOT_START" ... "SERVICE_DISABLED"; "UNREADABLE" when no start type could be read.
std::string StartTypeName(StartType startType);
std::string StartTypeName(const Result<StartType>& startType);

// The start type's number ("0" ... "4"), or "UNREADABLE".
std::string StartTypeNumber(const Result<StartType>& startType);

// Why a program's output could not be captured, naming the program (and the time limit it was
// given, when it did not end within it).
std::string CaptureFailureText(const std::string& program, CaptureFailure failure,
                               std::chrono::seconds timeLimit);

// "running", "disabled", "stopped", "problem N" with the problem number, or "status
// unreadable: CODE" with the Configuration Manager's code.
std::string DeviceStateText(const Result<DeviceState>& state);

// Windows' code for a registry call, in decimal.
std::string RegCodeText(const RegResult& result);

// A write that the rule for the program's own files refused (see system/files.h), one line:
// "PATH not written: a link or a file of more than one name".
std::string WriteRefusedText(const std::string& path);

// The settings file's write result as the log shows it: 0 written, 2 not.
std::string IniWriteCodeText(bool written);

// What the log says about who may change path; empty when only administrators may.
std::string WriteAccessText(WriteAccess access, const std::string& path);

// Why unzip32.dll extracted nothing or not all, naming the library and its version or code:
// "unzip32.dll version X.Y.Z is not supported" for a generation other than 5.x and 6.x.
std::string ZipFailureText(const ZipFailure& failure);

// "TRUE" or "FALSE".
std::string Flag(bool value);

}  // namespace tunlatch
