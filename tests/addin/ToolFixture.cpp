#include "tests/addin/ToolFixture.h"

namespace vantik::test {

ToolFixture::ToolFixture() {
    // Each test starts at the same second, whatever the one before it set.
    now = kStartTime;
    ClockSource() = &FakeTime;
    MakeTool();
    exchange = designDirectory + "\\";
    UseExchange(exchange);
}

ToolFixture::~ToolFixture() {
    if (link) {
        document->DropConnections();
        link.Reset();
    }
    ClockSource() = &SystemClock;
}

void ToolFixture::MakeTool() {
    if (link) {
        document->DropConnections();
        link.Reset();
    }
    CreateComInstance<VantikTool>(IID_IHostToolLink, link.PutVoid());
    tool = static_cast<VantikTool*>(link.Get());
    tool->hostDocument = document->Document();
    if (!exchange.empty()) UseExchange(exchange);
}

void ToolFixture::UseExchange(const std::string& directory) {
    tool->exchangeDirectory = directory;
    tool->inFilePath = directory + "sx_to_ly_pipe";
    tool->outFilePath = directory + "ly_to_sx_pipe";
}

std::vector<std::string> Lines(const std::string& bytes) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < bytes.size()) {
        size_t end = bytes.find("\r\n", start);
        if (end == std::string::npos) end = bytes.size();
        lines.push_back(bytes.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

}  // namespace vantik::test
