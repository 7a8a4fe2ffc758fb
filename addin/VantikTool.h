#pragma once
// The tool object: all the state of one cross-probe link between the layout
// host and a schematic tool, and the operations that start, run and end it.
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "HostInterfaces.h"
#include "VantikToolSX.h"
#include "addin/HostEventSink.h"
#include "addin/Messages.h"
#include "addin/com/ComObject.h"
#include "addin/com/TypeInfoDispatch.h"
#include "messaging/SelectionCommands.h"

namespace vantik {

struct IncomingMessage;

extern const TypeLibraryId kHostTypeLibrary;
extern const TypeLibraryId kToolTypeLibrary;

constexpr const char* kDefaultToolName = "Design Ostrine";

class VantikTool final : public ComObject<VantikTool,
                                          DispatchFacet<IVantikTool, kToolTypeLibrary>,
                                          DispatchFacet<IHostToolLink, kHostTypeLibrary>,
                                          DispatchFacet<IHostToolLink2, kHostTypeLibrary>,
                                          Facet<ISupportErrorInfo>> {
public:
    VantikTool();

    HRESULT FinalConstruct();
    void FinalRelease();

    // IHostToolLink
    STDMETHODIMP StartLink(IHostDocument* document, BSTR designDirectory, VARIANT_BOOL launch) override;
    STDMETHODIMP EndLink() override;
    // IHostToolLink2
    STDMETHODIMP StartLinkWithName(IHostDocument* document, BSTR designDirectory, VARIANT_BOOL launch,
                                   BSTR toolName) override;
    // ISupportErrorInfo
    STDMETHODIMP InterfaceSupportsErrorInfo(REFIID iid) override;

    // Exchange directory
    bool ResolveExchangeDirectory();
    bool UseDesignDirectory();
    bool UseLocalDirectory();

    // Schematic tool launch: 1 when the schematic tool was not started, else 0.
    int LaunchSchematicTool();

    // Command channel and logs
    void SendCommands(const CommandList& commands);
    void SendCommand(const std::string& command);
    void LogIncoming(const std::string& text);
    void LogOutgoing(const std::string& text);

    // Layout selections and highlights sent to the schematic tool
    void SendSelectedComponents();
    void SendSelectedNets();
    void SendSelectedPins();
    void SendComponentByName(const std::string& name);
    void SendSelectionAndHighlight();
    void SendHighlightedComponents();
    void SetHighlightMode(bool on);
    void ClearHighlightMode() { highlightMode = 0; }
    void SendSwitchToSchematic();

    // An empty exchange directory is the current directory, where the exchange
    // files then lie under their bare names.
    bool ExchangeDirectoryExists() const;

    // Messages from the schematic tool
    bool ReadIncoming();
    bool ParseMessage(const std::string& line, bool& terminate);

    // The link's state; the object is single-threaded, so the fields are open to
    // the operations of every subsystem that works on the link.
    IHostDocument* hostDocument = nullptr;  // borrowed from the host
    std::string designDirectory;
    std::string exchangeDirectory;
    std::string inFilePath;
    std::string outFilePath;
    std::string viewpointPath;
    std::string toolName;
    ComPtr<IUnknown> eventSource;
    std::int32_t highlightMode = 0;
    bool preferLocalExchange = false;
    bool exchangeIsLocal = false;
    bool loggingEnabled = false;
    std::vector<std::string> pendingCommands;
    std::int32_t staleCount = 0;
    std::int64_t lastStaleCheck = 0;
    std::int64_t lastLayoutEvent = 0;
    std::int32_t applyingIncoming = 0;
    // Where this process's lock entry was registered, so that link end removes it
    // there; nothing when the last link start did not register. (An empty
    // exchange directory is a real one: the root of the current drive.)
    std::optional<std::string> registeredLockDirectory;

    HostEventSink& EventSink() { return sink_; }

private:
    void ConnectEvents(IHostDocument* document);
    void DisconnectEvents();
    void StoreDesignDirectory(BSTR designDirectory);
    void AskPreferLocalExchange();
    void DeleteStaleExchangeFiles();
    HRESULT RefuseRegistration(int registration);
    void ArmPollTimer();
    void SendBatch(const CommandList& commands, bool withClearSelection);
    void WriteBatch(const CommandList& commands, bool withClearSelection);
    void ApplyIncomingFile(std::FILE* file, bool& terminate);
    void ApplyIncomingMessage(const IncomingMessage& message);

    HostEventSink sink_;
};

// Module-wide: one active link per process.
extern VantikTool* currentTool;
extern UINT_PTR pollTimerId;
extern bool terminatedBySchematic;

void CALLBACK PollTick(HWND window, UINT message, UINT_PTR timerId, DWORD time);
void StopPollTimer();
}  // namespace vantik
