#include "system/win32/service_control.h"

#include <windows.h>

#include <memory>
#include <optional>

#include "system/win32/unique_handle.h"

namespace tunlatch::win32 {

#ifndef _WIN64
// The fixed part of the record is nine 32-bit fields in the 32-bit build.
static_assert(sizeof(QUERY_SERVICE_CONFIGA) == 36);
#endif

namespace {

// Both handles of one operation. The service owner is declared after the manager owner so that
// it is destroyed, and its handle closed, first.
struct OpenedService {
    UniqueServiceHandle manager;
    UniqueServiceHandle service;
};

SystemError LastError(SystemError::Stage stage = SystemError::Stage::Call) {
    return {::GetLastError(), SystemError::Family::Windows, stage};
}

// A number outside the values Windows documents for the field.
SystemError Undocumented() {
    return {ERROR_INVALID_DATA, SystemError::Family::Windows, SystemError::Stage::Call};
}

// Full access on both, as the switching needs it.
Result<OpenedService> Open(const std::string& service) {
    OpenedService opened;
    opened.manager =
        UniqueServiceHandle(::OpenSCManagerA(nullptr, "ServicesActive", SC_MANAGER_ALL_ACCESS));
    if (!opened.manager) return LastError(SystemError::Stage::OpenManager);
    opened.service = UniqueServiceHandle(
        ::OpenServiceA(opened.manager.get(), service.c_str(), SERVICE_ALL_ACCESS));
    if (!opened.service) return LastError(SystemError::Stage::OpenObject);
    return opened;
}

std::optional<ServiceStatus> StatusOf(DWORD currentState) {
    switch (currentState) {
        case SERVICE_STOPPED:
            return ServiceStatus::Stopped;
        case SERVICE_START_PENDING:
            return ServiceStatus::StartPending;
        case SERVICE_STOP_PENDING:
            return ServiceStatus::StopPending;
        case SERVICE_RUNNING:
            return ServiceStatus::Running;
        case SERVICE_CONTINUE_PENDING:
            return ServiceStatus::ContinuePending;
        case SERVICE_PAUSE_PENDING:
            return ServiceStatus::PausePending;
        case SERVICE_PAUSED:
            return ServiceStatus::Paused;
        default:
            return std::nullopt;
    }
}

DWORD StartTypeCode(StartType startType) {
    switch (startType) {
        case StartType::Boot:
            return SERVICE_BOOT_START;
        case StartType::System:
            return SERVICE_SYSTEM_START;
        case StartType::Automatic:
            return SERVICE_AUTO_START;
        case StartType::OnDemand:
            return SERVICE_DEMAND_START;
        case StartType::Disabled:
            break;
    }
    return SERVICE_DISABLED;
}

std::optional<StartType> StartTypeOf(DWORD code) {
    for (const StartType type : {StartType::Boot, StartType::System, StartType::Automatic,
                                 StartType::OnDemand, StartType::Disabled})
        if (StartTypeCode(type) == code) return type;
    return std::nullopt;
}

}  // namespace

Result<ServiceStatus> Win32ServiceControl::ServiceGetStatus(const std::string& service) {
    const auto opened = Open(service);
    if (!opened) return opened.error();
    SERVICE_STATUS status{};
    if (!::QueryServiceStatus(opened->service.get(), &status)) return LastError();
    if (const auto state = StatusOf(status.dwCurrentState)) return *state;
    return Undocumented();
}

// Windows' "already running" and "not active" come back as they are: whether the service is
// where it was sent is the caller's to judge.
Result<> Win32ServiceControl::ServiceStart(const std::string& service) {
    const auto opened = Open(service);
    if (!opened) return opened.error();
    if (!::StartServiceA(opened->service.get(), 0, nullptr)) return LastError();
    return {};
}

Result<> Win32ServiceControl::ServiceStop(const std::string& service) {
    const auto opened = Open(service);
    if (!opened) return opened.error();
    SERVICE_STATUS status{};
    if (!::ControlService(opened->service.get(), SERVICE_CONTROL_STOP, &status)) return LastError();
    return {};
}

Result<> Win32ServiceControl::ServiceSetStartType(const std::string& service, StartType startType) {
    const auto opened = Open(service);
    if (!opened) return opened.error();
    if (!::ChangeServiceConfigA(opened->service.get(), SERVICE_NO_CHANGE, StartTypeCode(startType),
                                SERVICE_NO_CHANGE, nullptr, nullptr, nullptr, nullptr, nullptr,
                                nullptr, nullptr)) {
        return LastError();
    }
    return {};
}

Result<StartType> Win32ServiceControl::ServiceGetStartType(const std::string& service) {
    const auto opened = Open(service);
    if (!opened) return opened.error();

    // The first query only learns the size; anything but "buffer too small" means the
    // configuration cannot be read at all.
    DWORD needed = 0;
    if (!::QueryServiceConfigA(opened->service.get(), nullptr, 0, &needed) &&
        ::GetLastError() != ERROR_INSUFFICIENT_BUFFER) {
        return LastError();
    }
    if (needed < sizeof(QUERY_SERVICE_CONFIGA)) return Undocumented();
    // The texts follow the record in the same buffer, which must be aligned for the record's
    // pointers; new[] of the record type guarantees that.
    const std::size_t records =
        (needed + sizeof(QUERY_SERVICE_CONFIGA) - 1) / sizeof(QUERY_SERVICE_CONFIGA);
    const auto buffer = std::make_unique<QUERY_SERVICE_CONFIGA[]>(records);
    if (!::QueryServiceConfigA(opened->service.get(), buffer.get(), needed, &needed))
        return LastError();
    if (const auto type = StartTypeOf(buffer[0].dwStartType)) return *type;
    return Undocumented();
}

}  // namespace tunlatch::win32
