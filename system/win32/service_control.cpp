#include "system/win32/service_control.h"

#include <windows.h>

#include <memory>

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

// Full access on both, as the switching needs it; the empty machine name means the local
// computer, which the API wants as a null pointer.
OpenedService Open(const std::string& machine, const std::string& service) {
    OpenedService opened;
    opened.manager = UniqueServiceHandle(::OpenSCManagerA(
        machine.empty() ? nullptr : machine.c_str(), "ServicesActive", SC_MANAGER_ALL_ACCESS));
    if (opened.manager) {
        opened.service = UniqueServiceHandle(
            ::OpenServiceA(opened.manager.get(), service.c_str(), SERVICE_ALL_ACCESS));
    }
    return opened;
}

}  // namespace

std::string Win32ServiceControl::ServiceGetStatus(const std::string& machine,
                                                  const std::string& service) {
    const OpenedService opened = Open(machine, service);
    if (!opened.manager) return kOpenScManagerFail;
    if (!opened.service) return kOpenServiceFail;

    SERVICE_STATUS status{};
    if (!::QueryServiceStatus(opened.service.get(), &status)) return {};
    return ServiceStatusText(status.dwCurrentState);
}

void Win32ServiceControl::ServiceStart(const std::string& machine, const std::string& service) {
    const OpenedService opened = Open(machine, service);
    if (!opened.service) return;
    // Callers learn the outcome by polling the state.
    ::StartServiceA(opened.service.get(), 0, nullptr);
}

void Win32ServiceControl::ServiceStop(const std::string& machine, const std::string& service) {
    const OpenedService opened = Open(machine, service);
    if (!opened.service) return;
    SERVICE_STATUS status{};
    ::ControlService(opened.service.get(), SERVICE_CONTROL_STOP, &status);
}

void Win32ServiceControl::ServiceSetStartType(const std::string& machine,
                                              const std::string& service, std::int32_t startType) {
    const OpenedService opened = Open(machine, service);
    if (!opened.service) return;
    ::ChangeServiceConfigA(opened.service.get(), SERVICE_NO_CHANGE, static_cast<DWORD>(startType),
                           SERVICE_NO_CHANGE, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                           nullptr);
}

std::int32_t Win32ServiceControl::ServiceGetStartType(const std::string& machine,
                                                      const std::string& service) {
    const OpenedService opened = Open(machine, service);
    if (!opened.service) return 0;

    // The first query only learns the size; anything but "buffer too small" means the
    // configuration cannot be read at all.
    DWORD needed = 0;
    if (::QueryServiceConfigA(opened.service.get(), nullptr, 0, &needed) ||
        ::GetLastError() != ERROR_INSUFFICIENT_BUFFER || needed < sizeof(QUERY_SERVICE_CONFIGA)) {
        return 0;
    }
    // The texts follow the record in the same buffer, which must be aligned for the record's
    // pointers; new[] of the record type guarantees that.
    const std::size_t records =
        (needed + sizeof(QUERY_SERVICE_CONFIGA) - 1) / sizeof(QUERY_SERVICE_CONFIGA);
    const auto buffer = std::make_unique<QUERY_SERVICE_CONFIGA[]>(records);
    if (!::QueryServiceConfigA(opened.service.get(), buffer.get(), needed, &needed)) return 0;
    return static_cast<std::int32_t>(buffer[0].dwStartType);
}

}  // namespace tunlatch::win32
