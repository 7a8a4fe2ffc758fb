#include "tests/support/MessageBoxWatcher.h"

#include <algorithm>

namespace vantik::test {
namespace {
// The controls of the system's message box dialog.
constexpr int kTextControl = 0xFFFF;
constexpr int kIconControl = 0x0440;

std::string WindowText(HWND window) {
    char text[2048] = {};
    ::GetWindowTextA(window, text, sizeof text);
    return text;
}
}  // namespace

MessageBoxWatcher::MessageBoxWatcher(std::string caption)
    : caption_(std::move(caption)),
      // System icons are shared: the box shows these very handles.
      errorIcon_(::LoadIcon(nullptr, IDI_ERROR)),
      warningIcon_(::LoadIcon(nullptr, IDI_WARNING)),
      thread_([this] { Watch(); }) {}

MessageBoxWatcher::~MessageBoxWatcher() {
    stopping_ = true;
    thread_.join();
}

std::vector<SeenBox> MessageBoxWatcher::Boxes() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return boxes_;
}

void MessageBoxWatcher::Watch() {
    while (!stopping_) {
        HWND box = ::FindWindowA("#32770", caption_.c_str());
        if (box && std::find(closing_.begin(), closing_.end(), box) == closing_.end()) CloseBox(box);
        closing_.erase(std::remove_if(closing_.begin(), closing_.end(), [](HWND w) { return !::IsWindow(w); }),
                       closing_.end());
        ::Sleep(20);
    }
}

void MessageBoxWatcher::CloseBox(HWND box) {
    SeenBox seen;
    seen.caption = WindowText(box);
    seen.text = WindowText(::GetDlgItem(box, kTextControl));
    HICON icon = reinterpret_cast<HICON>(::SendDlgItemMessageA(box, kIconControl, STM_GETICON, 0, 0));
    seen.icon = icon == nullptr ? BoxIcon::None
                : icon == errorIcon_ ? BoxIcon::Error
                : icon == warningIcon_ ? BoxIcon::Warning
                                       : BoxIcon::Other;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        boxes_.push_back(seen);
    }
    closing_.push_back(box);
    ::PostMessageA(box, WM_COMMAND, IDOK, 0);
}

}  // namespace vantik::test
