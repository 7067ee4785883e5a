#include "system/win32/user_start.h"

#include <objbase.h>
#include <oleauto.h>

#include <exdisp.h>
#include <servprov.h>
#include <shldisp.h>
#include <shlobj.h>

#include <utility>

#include "system/win32/system_library.h"
#include "system/win32/unique_handle.h"

namespace tunlatch::win32 {

namespace {

using Kind = UserStartFailure::Kind;

// What CreateProcessWithTokenW needs of the token, and what it adjusts on it for the new
// process (its default access list and its session).
constexpr DWORD kPrimaryTokenRights = TOKEN_QUERY | TOKEN_DUPLICATE | TOKEN_ASSIGN_PRIMARY |
                                      TOKEN_ADJUST_DEFAULT | TOKEN_ADJUST_SESSIONID;

UserStartFailure WindowsFailure() {
    return {Kind::Failed, SystemError{::GetLastError()}};
}

UserStartFailure ComFailure(HRESULT result) {
    return {Kind::Failed,
            SystemError{static_cast<std::uint32_t>(result), SystemError::Family::ComResult}};
}

// The program's texts are in the ANSI code page (UTF-8 where the manifest makes it so); the calls
// here take UTF-16. Empty when the text cannot be converted, the thread's last error telling why.
std::wstring Wide(const std::string& text) {
    const int size = static_cast<int>(text.size());
    const int length = ::MultiByteToWideChar(CP_ACP, 0, text.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, text.data(), size, wide.data(), length);
    return wide;
}

// One reference to a COM object, released on every path.
template <typename T>
class ComOwner {
public:
    ComOwner() = default;
    ComOwner(const ComOwner&) = delete;
    ComOwner& operator=(const ComOwner&) = delete;
    ~ComOwner() {
        if (object_ != nullptr) object_->Release();
    }
    T* operator->() const noexcept { return object_; }
    explicit operator bool() const noexcept { return object_ != nullptr; }
    T** put() noexcept { return &object_; }
    void** putVoid() noexcept { return reinterpret_cast<void**>(&object_); }

private:
    T* object_ = nullptr;
};

using CoCreateInstanceFn = HRESULT(WINAPI*)(REFCLSID, IUnknown*, DWORD, REFIID, void**);
using SysAllocStringFn = BSTR(WINAPI*)(const OLECHAR*);
using SysFreeStringFn = void(WINAPI*)(BSTR);

// ole32 and oleaut32 from the system folder, not imported: a run that opens nothing for the user
// loads neither. Their exports are there while this object lives.
struct ComLibraries {
    UniqueModule ole32 = LoadSystemLibrary("ole32.dll");
    UniqueModule oleaut32 = LoadSystemLibrary("oleaut32.dll");
    CoCreateInstanceFn create = FindExport<CoCreateInstanceFn>(ole32.get(), "CoCreateInstance");
    SysAllocStringFn allocString = FindExport<SysAllocStringFn>(oleaut32.get(), "SysAllocString");
    SysFreeStringFn freeString = FindExport<SysFreeStringFn>(oleaut32.get(), "SysFreeString");

    bool complete() const { return create != nullptr && allocString && freeString; }
};

// A VARIANT holding a BSTR, freed on every path.
class TextVariant {
public:
    TextVariant(const ComLibraries& com, const std::wstring& text) : free_(com.freeString) {
        variant_.vt = VT_BSTR;
        variant_.bstrVal = com.allocString(text.c_str());
    }
    TextVariant(const TextVariant&) = delete;
    TextVariant& operator=(const TextVariant&) = delete;
    ~TextVariant() { free_(variant_.bstrVal); }
    const VARIANT& get() const noexcept { return variant_; }
    explicit operator bool() const noexcept { return variant_.bstrVal != nullptr; }

private:
    VARIANT variant_{};
    SysFreeStringFn free_;
};

// The desktop's own dispatch object, or why there is none.
Result<Done, UserStartFailure> FindShellDispatch(const ComLibraries& com,
                                                 ComOwner<IShellDispatch2>& shell) {
    ComOwner<IShellWindows> windows;
    // The running shell's list, never a new server of it: without one there is no shell to ask.
    if (FAILED(com.create(CLSID_ShellWindows, nullptr, CLSCTX_LOCAL_SERVER, IID_IShellWindows,
                          windows.putVoid())))
        return UserStartFailure{};
    VARIANT desktopFolder{};
    desktopFolder.vt = VT_I4;
    desktopFolder.lVal = CSIDL_DESKTOP;
    VARIANT noRoot{};
    long desktopWindow = 0;
    ComOwner<IDispatch> desktop;
    if (windows->FindWindowSW(&desktopFolder, &noRoot, SWC_DESKTOP, &desktopWindow,
                              SWFO_NEEDDISPATCH, desktop.put()) != S_OK ||
        !desktop)
        return UserStartFailure{};

    // The shell is there from here on: what fails now is a failure of its own.
    ComOwner<IServiceProvider> services;
    ComOwner<IShellBrowser> browser;
    ComOwner<IShellView> view;
    ComOwner<IDispatch> background;
    ComOwner<IShellFolderViewDual> folderView;
    ComOwner<IDispatch> application;
    HRESULT result = desktop->QueryInterface(IID_IServiceProvider, services.putVoid());
    if (SUCCEEDED(result))
        result = services->QueryService(SID_STopLevelBrowser, IID_IShellBrowser, browser.putVoid());
    if (SUCCEEDED(result)) result = browser->QueryActiveShellView(view.put());
    if (SUCCEEDED(result))
        result = view->GetItemObject(SVGIO_BACKGROUND, IID_IDispatch, background.putVoid());
    if (SUCCEEDED(result))
        result = background->QueryInterface(IID_IShellFolderViewDual, folderView.putVoid());
    if (SUCCEEDED(result)) result = folderView->get_Application(application.put());
    if (SUCCEEDED(result))
        result = application->QueryInterface(IID_IShellDispatch2, shell.putVoid());
    if (FAILED(result)) return ComFailure(result);

    // A program the shell starts for a background process would open behind the run's message
    // box; the shell may bring it to the front.
    DWORD shellProcess = 0;
    const auto desktopHandle = reinterpret_cast<HWND>(static_cast<LONG_PTR>(desktopWindow));
    if (::GetWindowThreadProcessId(desktopHandle, &shellProcess) != 0)
        ::AllowSetForegroundWindow(shellProcess);
    return {};
}

}  // namespace

Result<std::uint32_t, UserStartFailure> LaunchWithTokenOf(HWND window,
                                                          const std::string& commandLine) {
    DWORD processId = 0;
    if (window == nullptr || ::GetWindowThreadProcessId(window, &processId) == 0 || processId == 0)
        return UserStartFailure{};
    const UniqueKernelHandle process(
        ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
    if (!process) return WindowsFailure();
    UniqueKernelHandle token;
    if (!::OpenProcessToken(process.get(), TOKEN_DUPLICATE, token.put())) return WindowsFailure();
    UniqueKernelHandle primary;
    if (!::DuplicateTokenEx(token.get(), kPrimaryTokenRights, nullptr, SecurityImpersonation,
                            TokenPrimary, primary.put()))
        return WindowsFailure();

    // Writable: the call may change the command line in place.
    std::wstring command = Wide(commandLine);
    if (command.empty()) return WindowsFailure();
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    // Out of the user's way, as the run's own start does it.
    startup.wShowWindow = SW_SHOWMINIMIZED;
    PROCESS_INFORMATION started{};
    if (!::CreateProcessWithTokenW(primary.get(), 0, nullptr, command.data(), 0, nullptr, nullptr,
                                   &startup, &started))
        return WindowsFailure();
    const UniqueKernelHandle newProcess(started.hProcess);
    const UniqueKernelHandle thread(started.hThread);
    return std::uint32_t{started.dwProcessId};
}

Result<Done, UserStartFailure> OpenThroughDesktopShell(const std::string& target) {
    // Declared first, so that the libraries stay until every object and text below is released.
    const ComLibraries com;
    // Where COM cannot be had the shell cannot be asked; the run's own open still works.
    if (!com.complete()) return UserStartFailure{};
    ComOwner<IShellDispatch2> shell;
    if (const auto found = FindShellDispatch(com, shell); !found) return found;

    const std::wstring wideTarget = Wide(target);
    if (wideTarget.empty()) return WindowsFailure();
    const TextVariant file(com, wideTarget);
    const TextVariant verb(com, L"open");
    if (!file || !verb) return ComFailure(E_OUTOFMEMORY);
    VARIANT noArguments{};
    VARIANT noFolder{};
    VARIANT show{};
    show.vt = VT_I4;
    show.lVal = SW_SHOWNORMAL;
    const HRESULT result =
        shell->ShellExecute(file.get().bstrVal, noArguments, noFolder, verb.get(), show);
    if (FAILED(result)) return ComFailure(result);
    return {};
}

}  // namespace tunlatch::win32
