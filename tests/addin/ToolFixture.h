#pragma once
// A tool object linked into the test itself, with its fields open to the test,
// its exchange directory in a scratch folder and the clock driven by the test.
#include <cstdint>
#include <string>

#include "addin/Clock.h"
#include "addin/VantikTool.h"
#include "tests/addin/HostFixture.h"

namespace vantik::test {

class ToolFixture : public HostFixture {
protected:
    ToolFixture();
    ~ToolFixture() override;

    // A fresh tool object (made after the environment of the test is set).
    void MakeTool();
    // Points the tool at an exchange directory without a link start.
    void UseExchange(const std::string& directory);
    std::string Outgoing() const { return ReadFileBytes(tool->outFilePath); }
    bool OutgoingExists() const { return FileExists(tool->outFilePath); }
    void RemoveOutgoing() const { std::remove(tool->outFilePath.c_str()); }
    void WriteIncoming(const std::string& text) const { WriteFileText(tool->inFilePath, text); }

    static constexpr std::int64_t kStartTime = 1'000'000;
    static void SetTime(std::int64_t seconds) { now = seconds; }

    ComPtr<IHostToolLink> link;
    VantikTool* tool = nullptr;
    std::string exchange;  // ends in a backslash

private:
    static std::int64_t FakeTime() { return now; }
    static inline std::int64_t now = kStartTime;
};

// The lines of a text file written in text mode, in order, without their CR LF.
std::vector<std::string> Lines(const std::string& bytes);

}  // namespace vantik::test
