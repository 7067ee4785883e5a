#include "run/result_texts.h"

namespace tunlatch {

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
        case ServiceStatus::ManagerNotOpened:
            return "OpenSCManager fail!";
        case ServiceStatus::ServiceNotOpened:
            return "OpenService fail!";
        case ServiceStatus::Unknown:
            break;
    }
    return {};
}

std::string StartTypeName(std::optional<StartType> startType) {
    if (!startType) return "UNREADABLE";
    switch (*startType) {
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

std::string StartTypeNumber(std::optional<StartType> startType) {
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

std::string DeviceStateText(const DeviceState& state) {
    switch (state.kind) {
        case DeviceState::Kind::Running:
            return "running";
        case DeviceState::Kind::Disabled:
            return "disabled";
        case DeviceState::Kind::Stopped:
            return "stopped";
        case DeviceState::Kind::Problem:
            return "problem " + std::to_string(state.code);
        case DeviceState::Kind::Unreadable:
            break;
    }
    return "status unreadable: " + std::to_string(state.code);
}

std::string RegCodeText(const RegResult& result) {
    return std::to_string(result.code);
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
