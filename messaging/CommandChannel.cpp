// The only road to the schematic tool: whole batches of commands in the outgoing
// exchange file, written only while the schematic tool has taken the last one.
#include "messaging/CommandChannel.h"

#include <cstdio>

#include "addin/Clock.h"
#include "addin/VantikTool.h"
#include "coordination/LockFile.h"
#include "fsutil/PathChecks.h"

namespace vantik {
namespace {
// Held-back commands are dropped at the fifth distinct second in which the
// schematic tool was found not to have taken its file.
constexpr std::int32_t kStaleSeconds = 5;

void WriteLine(std::FILE* file, const std::string& line) { std::fprintf(file, "%s\n", line.c_str()); }

void AppendLog(const std::string& path, const std::string& text) {
    UniqueFile log(std::fopen(path.c_str(), "a"));
    if (log) WriteLine(log.get(), text);
}
}  // namespace

void VantikTool::SendCommands(const CommandList& commands) { SendBatch(commands, true); }

void VantikTool::SendCommand(const std::string& command) {
    CommandList commands;
    if (!command.empty()) commands.push_back(command);
    SendBatch(commands, false);
}

void VantikTool::SendBatch(const CommandList& commands, bool withClearSelection) {
    if (!ExchangeDirectoryExists()) return;
    if (PathExists(outFilePath)) {
        const std::int64_t now = CurrentTime();
        if (now != lastStaleCheck) {
            lastStaleCheck = now;
            if (++staleCount == kStaleSeconds) {
                staleCount = 0;
                pendingCommands.clear();
            }
        }
        pendingCommands.insert(pendingCommands.end(), commands.begin(), commands.end());
        return;
    }
    if (pendingCommands.empty() && commands.empty()) return;
    WriteBatch(commands, withClearSelection);
}

void VantikTool::WriteBatch(const CommandList& commands, bool withClearSelection) {
    UniqueFile out(std::fopen(outFilePath.c_str(), "w"));
    if (!out) {
        // Nothing is lost when the file cannot be made now: the commands go with
        // the next batch that can be written.
        pendingCommands.insert(pendingCommands.end(), commands.begin(), commands.end());
        return;
    }
    if (withClearSelection) WriteLine(out.get(), std::string(kClearSelectionCommand));
    for (const std::string& held : pendingCommands) WriteLine(out.get(), held);
    pendingCommands.clear();
    for (const std::string& command : commands) {
        WriteLine(out.get(), command);
        LogOutgoing(command);
    }
}

void VantikTool::LogIncoming(const std::string& text) {
    if (loggingEnabled) AppendLog(exchangeDirectory + kIncomingLogName, text);
}

void VantikTool::LogOutgoing(const std::string& text) {
    if (loggingEnabled) AppendLog(exchangeDirectory + kOutgoingLogName, text);
}

}  // namespace vantik
