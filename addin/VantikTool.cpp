#include "addin/VantikTool.h"

#include <windows.h>

#include <cstdio>

#include "addin/Clock.h"
#include "addin/HostDocument.h"
#include "addin/com/Bstr.h"
#include "coordination/ExchangeDirectory.h"
#include "coordination/LockFile.h"
#include "fsutil/Environment.h"
#include "fsutil/PathChecks.h"
#include "messaging/CommandChannel.h"

namespace vantik {

const TypeLibraryId kHostTypeLibrary = {&LIBID_RoutanaHostLib, 1, 0};
const TypeLibraryId kToolTypeLibrary = {&LIBID_VANTIKTOOLSXLib, 1, 0};

VantikTool* currentTool = nullptr;
UINT_PTR pollTimerId = 0;
bool terminatedBySchematic = false;

namespace {
constexpr UINT kPollTimerEvent = 1;
constexpr UINT kPollIntervalMs = 1000;

void DeleteIfPresent(const std::string& path) { std::remove(path.c_str()); }

std::string SlashesToBackslashes(std::string text) {
    for (char& c : text) {
        if (c == '/') c = '\\';
    }
    return text;
}
}  // namespace

VantikTool::VantikTool()
    : loggingEnabled(ReadEnvironmentVariable("TLK_ENABLE_VANTIK_LOG").has_value()),
      lastStaleCheck(CurrentTime()),
      lastLayoutEvent(CurrentTime()),
      sink_(*this) {}

HRESULT VantikTool::FinalConstruct() {
    currentTool = this;
    terminatedBySchematic = false;
    applyingIncoming = 0;
    toolName = kDefaultToolName;
    return S_OK;
}

void VantikTool::FinalRelease() {
    eventSource.Reset();
    // A timer still armed for this object must never reach it after it is gone.
    if (currentTool == this) {
        StopPollTimer();
        currentTool = nullptr;
    }
}

STDMETHODIMP VantikTool::StartLinkWithName(IHostDocument* document, BSTR designDirectoryText, VARIANT_BOOL launch,
                                           BSTR toolNameText) {
    toolName = BstrToAnsi(toolNameText);
    return StartLink(document, designDirectoryText, launch);
}

STDMETHODIMP VantikTool::StartLink(IHostDocument* document, BSTR designDirectoryText, VARIANT_BOOL launch) {
    if (!document) return E_FAIL;
    hostDocument = document;
    ConnectEvents(document);
    StoreDesignDirectory(designDirectoryText);
    AskPreferLocalExchange();
    if (!ResolveExchangeDirectory()) {
        ShowMessageById(kSchematicDirectoryMessage, MB_ICONERROR);
        StopPollTimer();
        return E_FAIL;
    }
    DeleteStaleExchangeFiles();
    const int registration =
        RegisterLockEntry(kLayoutToolToken, static_cast<std::int32_t>(::GetCurrentProcessId()), exchangeDirectory);
    if (registration != kLockRegistered) return RefuseRegistration(registration);
    registeredLockDirectory = exchangeDirectory;
    if (launch == VARIANT_TRUE && LaunchSchematicTool() == 1) {
        ShowMessageById(kLaunchFailedMessage, MB_ICONERROR);
        return E_FAIL;
    }
    ArmPollTimer();
    return S_OK;
}

STDMETHODIMP VantikTool::EndLink() {
    if (!terminatedBySchematic) SendCommand(std::string(kTerminateCrossprobeCommand));
    StopPollTimer();
    DisconnectEvents();
    // A process that did not register has no entry to remove, and rewriting the
    // other processes' entries for nothing would only put them at risk.
    if (registeredLockDirectory &&
        !RemoveLockEntry(static_cast<std::int32_t>(::GetCurrentProcessId()), *registeredLockDirectory)) {
        ShowMessageById(kLockRemovalMessage, MB_ICONWARNING);
    }
    registeredLockDirectory.reset();
    exchangeDirectory.clear();
    inFilePath.clear();
    outFilePath.clear();
    preferLocalExchange = false;
    return S_OK;
}

STDMETHODIMP VantikTool::InterfaceSupportsErrorInfo(REFIID iid) {
    return ::IsEqualIID(iid, IID_IVantikTool) ? S_OK : S_FALSE;
}

void VantikTool::ConnectEvents(IHostDocument* document) {
    // A second link start without link end replaces the first connection.
    DisconnectEvents();
    if (SUCCEEDED(document->QueryInterface(IID_IUnknown, eventSource.PutVoid()))) {
        sink_.Connect(eventSource.Get());
    }
}

void VantikTool::DisconnectEvents() {
    if (!eventSource) return;
    sink_.Disconnect(eventSource.Get());
    sink_.ForgetConnection();
    eventSource.Reset();
}

void VantikTool::StoreDesignDirectory(BSTR designDirectoryText) {
    designDirectory = SlashesToBackslashes(BstrToAnsi(designDirectoryText));
}

void VantikTool::AskPreferLocalExchange() {
    try {
        preferLocalExchange = HostDocument(hostDocument).PreferLocalExchange();
    } catch (const HostError&) {
        preferLocalExchange = false;
    }
}

void VantikTool::DeleteStaleExchangeFiles() {
    DeleteIfPresent(inFilePath);
    DeleteIfPresent(outFilePath);
    if (loggingEnabled) {
        DeleteIfPresent(exchangeDirectory + kIncomingLogName);
        DeleteIfPresent(exchangeDirectory + kOutgoingLogName);
    }
}

HRESULT VantikTool::RefuseRegistration(int registration) {
    switch (registration) {
        case kLockHeldBySameTool:
            ShowMessageText(FormatMessageWithToolName(kSameApplicationMessage, toolName), MB_ICONWARNING);
            break;
        case kLockSchematicToolTaken:
            ShowMessageText(FormatMessageWithToolName(kOtherApplicationMessage, toolName), MB_ICONWARNING);
            break;
        default:
            ShowMessageById(kLockUpdateMessage, MB_ICONWARNING);
            break;
    }
    return E_FAIL;
}

void VantikTool::ArmPollTimer() {
    // One timer per process, whatever the earlier link starts left behind.
    StopPollTimer();
    pollTimerId = ::SetTimer(nullptr, kPollTimerEvent, kPollIntervalMs, &PollTick);
}

bool VantikTool::ResolveExchangeDirectory() {
    ExchangeLocation location;
    const bool resolved = vantik::ResolveExchangeDirectory(designDirectory, preferLocalExchange, location);
    exchangeDirectory = location.exchangeDirectory;
    inFilePath = location.inFilePath;
    outFilePath = location.outFilePath;
    exchangeIsLocal = location.exchangeIsLocal;
    return resolved;
}

bool VantikTool::ExchangeDirectoryExists() const {
    return IsDirectoryPath(exchangeDirectory.empty() ? std::string(".") : exchangeDirectory);
}

bool VantikTool::UseDesignDirectory() { return vantik::UseDesignDirectory(designDirectory, exchangeDirectory); }

bool VantikTool::UseLocalDirectory() {
    exchangeIsLocal = vantik::UseLocalDirectory(designDirectory, exchangeDirectory);
    return exchangeIsLocal;
}

void CALLBACK PollTick(HWND, UINT, UINT_PTR timerId, DWORD) {
    if (timerId != pollTimerId) return;
    // Killed first: a tick that waits on the host is never entered again by its own timer.
    ::KillTimer(nullptr, timerId);
    VantikTool* tool = currentTool;
    if (!tool) {
        pollTimerId = 0;
        return;
    }
    tool->SendCommand(std::string());
    const bool goOn = tool->ReadIncoming();
    // The host may have closed the document (event 3) or ended or restarted the
    // link while this tick called it; then the timer stays as that left it.
    if (goOn && pollTimerId == timerId) {
        pollTimerId = ::SetTimer(nullptr, kPollTimerEvent, kPollIntervalMs, &PollTick);
    }
}

void StopPollTimer() {
    if (pollTimerId != 0) ::KillTimer(nullptr, pollTimerId);
    pollTimerId = 0;
}

}  // namespace vantik
