#include "run/result_texts.h"

#include <cstdio>

namespace tunlatch {

std::string SystemErrorCode(const SystemError& error) {
    constexpr std::uint32_t kTopBit = 0x80000000u;
    if (error.family == SystemError::Family::Windows && (error.code & kTopBit) == 0)
        return std::to_string(error.code);
    char hex[11];
    std::snprintf(hex, sizeof hex, "0x%08X", static_cast<unsigned>(error.code));
    return hex;
}

std::string CallFailedText(const std::string& call, const SystemError& error) {
    return call + " fail! returncode: " + SystemErrorCode(error);
}

std::string ServiceStatusText(ServiceStatus status) {
    switch (status) {
        case ServiceStatus::Stopped:
            return "Stopped";
        case ServiceStatus::StartPending:
            return "Start Pending";
        case ServiceStatus::StopPending:
            return "Stop Pending";
        case ServiceStatus::Running:
            return "Running";
        case ServiceStatus::ContinuePending:
            return "Continue Pending";
        case ServiceStatus::PausePending:
            return "Pause Pending";
        case ServiceStatus::Paused:
            return "Paused";
    }
    return {};
}

std::string ServiceStatusText(const Result<ServiceStatus>& status) {
    if (status) return ServiceStatusText(*status);
    switch (status.error().stage) {
        case SystemError::Stage::OpenManager:
            return "OpenSCManager fail!";
        case SystemError::Stage::OpenObject:
            return "OpenService fail!";
        case SystemError::Stage::Call:
            break;
    }
    return {};
}

std::string StartTypeName(const Result<StartType>& startType) {
    return startType ? StartTypeName(*startType) : "UNREADABLE";
}

std::string StartTypeName(StartType startType) {
    switch (startType) {
        case StartType::Boot:
            return "SERVICE_BOOT_START";
        case StartType::System:
            return "SERVICE_SYSTEM_START";
        case StartType::Automatic:
            return "SERVICE_AUTO_START";
        case StartType::OnDemand:
            return "SERVICE_DEMAND_START";
        case StartType::Disabled:
            return "SERVICE_DISABLED";
    }
    return "UNKNOWN!";
}

std::string StartTypeNumber(const Result<StartType>& startType) {
    // The log numbers the start types as Windows documents them, boot start being 0.
    return startType ? std::to_string(static_cast<int>(*startType)) : "UNREADABLE";
}

std::string CaptureFailureText(const std::string& program, CaptureFailure failure,
                               std::chrono::seconds timeLimit) {
    switch (failure) {
        case CaptureFailure::PipeNotCreated:
            return program + " output pipe fail!";
        case CaptureFailure::NotStarted:
            return program + " start fail!";
        case CaptureFailure::ReadFailed:
            return program + " output read fail!";
        case CaptureFailure::NoEndInTime:
            return program + " gave no answer within " + std::to_string(timeLimit.count()) + " s!";
    }
    return program + " fail!";
}

std::string DeviceStateText(const Result<DeviceState>& result) {
    if (!result) return "status unreadable: " + SystemErrorCode(result.error());
    const DeviceState& state = *result;
    switch (state.kind) {
        case DeviceState::Kind::Running:
            return "running";
        case DeviceState::Kind::Disabled:
            return "disabled";
        case DeviceState::Kind::Stopped:
            return "stopped";
        case DeviceState::Kind::Problem:
            break;
    }
    return "problem " + std::to_string(state.problem);
}

std::string RegCodeText(const RegResult& result) {
    return std::to_string(result.code);
}

std::string WriteRefusedText(const std::string& path) {
    return path + " not written: a link or a file of more than one name";
}

std::string IniWriteCodeText(bool written) {
    return written ? "0" : "2";
}

std::string WriteAccessText(WriteAccess access, const std::string& path) {
    switch (access) {
        case WriteAccess::OthersMayWrite:
            return "not only administrators may change " + path;
        case WriteAccess::Unknown:
            return "cannot check who may change " + path;
        case WriteAccess::OnlyAdministrators:
            break;
    }
    return {};
}

std::string ZipFailureText(const ZipFailure& failure) {
    const std::string code = std::to_string(failure.code);
    switch (failure.kind) {
        case ZipFailure::Kind::NotLoaded:
            return "unzip32.dll load fail! error " + code;
        case ZipFailure::Kind::NotZipLibrary:
            return "unzip32.dll is not Info-ZIP's unzip library!";
        case ZipFailure::Kind::UnsupportedVersion:
            return "unzip32.dll version " + failure.version + " is not supported";
        case ZipFailure::Kind::Failed:
            break;
    }
    return "unzip32.dll extraction fail! code " + code;
}

std::string Flag(bool value) {
    return value ? "TRUE" : "FALSE";
}

}  // namespace tunlatch
