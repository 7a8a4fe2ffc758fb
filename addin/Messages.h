#pragma once
#include <windows.h>

#include <string>

namespace vantik {

// The string-table ids of the add-in's texts.
enum MessageId : UINT {
    kModuleNameMessage = 100,
    kToolHomeMessage = 101,
    kSchematicDirectoryMessage = 103,
    kLaunchFailedMessage = 104,
    kLockRemovalMessage = 105,
    kSameApplicationMessage = 107,
    kOtherApplicationMessage = 108,
    kLockUpdateMessage = 109,
    kCaptionMessage = 110,
};

void ShowMessageById(UINT id, UINT style);
void ShowMessageText(const std::string& text, UINT style);
// The text of `id` with the tool name in place of its "%s".
std::string FormatMessageWithToolName(UINT id, const std::string& toolName);

}  // namespace vantik
