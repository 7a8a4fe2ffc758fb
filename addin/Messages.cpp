// The add-in's only way of talking to the user: one modal box, no owner window.
#include <windows.h>

#include <string>

#include "addin/Module.h"
#include "addin/VantikTool.h"

namespace vantik {
namespace {
HINSTANCE moduleInstance = nullptr;

std::string LoadText(UINT id) {
    char text[1024] = {};
    const int length = ::LoadStringA(ModuleInstance(), id, text, sizeof text);
    return std::string(text, length > 0 ? static_cast<size_t>(length) : 0);
}
}  // namespace

HINSTANCE ModuleInstance() { return moduleInstance ? moduleInstance : ::GetModuleHandleA(nullptr); }
void SetModuleInstance(HINSTANCE instance) { moduleInstance = instance; }

void ShowMessageText(const std::string& text, UINT style) {
    const std::string caption = LoadText(kCaptionMessage);
    ::MessageBoxA(nullptr, text.c_str(), caption.c_str(), style | MB_SETFOREGROUND);
}

void ShowMessageById(UINT id, UINT style) { ShowMessageText(LoadText(id), style); }

std::string FormatMessageWithToolName(UINT id, const std::string& toolName) {
    const std::string format = LoadText(id);
    const size_t at = format.find("%s");
    if (at == std::string::npos) return format;
    return format.substr(0, at) + toolName + format.substr(at + 2);
}

}  // namespace vantik
