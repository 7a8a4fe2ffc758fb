// Messages from the schematic tool, read from the incoming exchange file on each
// tick and applied to the layout. The host's selection events raised by these
// calls are not sent back: applyingIncoming is set meanwhile.
#include <cstdio>
#include <string>
#include <string_view>

#include "addin/HostDocument.h"
#include "addin/VantikTool.h"
#include "coordination/LockFile.h"
#include "fsutil/FileText.h"
#include "fsutil/PathChecks.h"
#include "messaging/IncomingMessage.h"

namespace vantik {
bool VantikTool::ReadIncoming() {
    if (!ExchangeDirectoryExists() || !PathExists(inFilePath)) return true;
    UniqueFile file(std::fopen(inFilePath.c_str(), "r"));
    // Tried again on the next tick.
    if (!file) return true;

    bool terminate = false;
    applyingIncoming = 1;
    ApplyIncomingFile(file.get(), terminate);
    applyingIncoming = 0;
    file.reset();
    std::remove(inFilePath.c_str());

    if (!terminate) return true;
    try {
        HostDocument(hostDocument).ToolTerminated(toolName);
    } catch (const HostError&) {
    }
    return false;
}

void VantikTool::ApplyIncomingFile(std::FILE* file, bool& terminate) {
    const HostDocument document(hostDocument);
    const bool updating = SUCCEEDED(document.BeginUpdate());
    // A read that fails half-way ends the file there, as a line reader would.
    std::string text;
    ReadToEnd(file, text);
    for (std::string_view rest = text; !rest.empty();) {
        const std::string line(NextReadPiece(rest));
        rest.remove_prefix(line.size());
        LogIncoming(line);
        if (!ParseMessage(line, terminate)) break;
    }
    if (!updating) return;
    try {
        document.EndUpdate();
    } catch (const HostError&) {
    }
}

bool VantikTool::ParseMessage(const std::string& line, bool& terminate) {
    const IncomingMessage message = ParseIncomingLine(line);
    if (message.action == IncomingAction::Terminate) {
        terminatedBySchematic = true;
        StopPollTimer();
        terminate = true;
        return false;
    }
    try {
        ApplyIncomingMessage(message);
    } catch (const HostError&) {
        return true;
    }
    return message.continueReading;
}

void VantikTool::ApplyIncomingMessage(const IncomingMessage& message) {
    const HostDocument document(hostDocument);
    switch (message.action) {
        case IncomingAction::SelectInstance: return document.SelectInstance(message.first);
        case IncomingAction::HighlightOn: return SetHighlightMode(true);
        case IncomingAction::HighlightOff: return SetHighlightMode(false);
        case IncomingAction::UnselectAll: return document.UnselectAll();
        case IncomingAction::SelectPin: return document.SelectPin(message.first, message.second);
        case IncomingAction::SelectNet: return document.SelectNet(message.first);
        case IncomingAction::SwitchToLayout: return document.SwitchToLayout();
        case IncomingAction::None:
        case IncomingAction::Terminate: return;
    }
}

}  // namespace vantik
