#pragma once
// Finds the add-in's real message boxes while a call runs (under Xvfb), reads
// what they say and closes them, so a test can check every box it caused.
#include <windows.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace vantik::test {

enum class BoxIcon { None, Error, Warning, Other };

struct SeenBox {
    std::string caption;
    std::string text;
    BoxIcon icon = BoxIcon::None;
};

class MessageBoxWatcher {
public:
    explicit MessageBoxWatcher(std::string caption = "Ostrine Tool Module");
    ~MessageBoxWatcher();
    MessageBoxWatcher(const MessageBoxWatcher&) = delete;
    MessageBoxWatcher& operator=(const MessageBoxWatcher&) = delete;

    // Every box seen and closed so far.
    std::vector<SeenBox> Boxes() const;

private:
    void Watch();
    void CloseBox(HWND box);

    std::string caption_;
    HICON errorIcon_;
    HICON warningIcon_;
    std::atomic<bool> stopping_{false};
    mutable std::mutex mutex_;
    std::vector<SeenBox> boxes_;
    std::vector<HWND> closing_;
    std::thread thread_;
};

}  // namespace vantik::test
