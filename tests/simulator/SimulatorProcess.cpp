#include "tests/simulator/SimulatorProcess.h"

#include <gtest/gtest.h>

#include "tests/support/TestFiles.h"

namespace vantik::test {

std::string SimulatorPath() { return WinePathOfHostPath(VANTIK_SXSIM_PATH); }

SimulatorProcess::SimulatorProcess(const std::string& arguments, const std::string& standardInputPath)
    : ChildProcess(SimulatorPath(), "--quiet " + arguments, standardInputPath.empty() ? "NUL" : standardInputPath) {}

std::string CommandFileText(const std::string& designDirectory, const std::string& viewpoint) {
    const std::string design = WithSlashes(designDirectory);
    return "$ly_sx_set_crossprobe_viewpoint_component(\"" + design + "/" + viewpoint + "\", \"" + design +
           "\");\n$ly_sx_enable_crossprobe();\n";
}

std::vector<std::string> SplitAtLineFeeds(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

std::vector<std::string> TranscriptFile::Lines() const { return SplitAtLineFeeds(ReadFileBytes(path_)); }

bool TranscriptFile::Has(const std::string& line) const {
    for (const std::string& recorded : Lines()) {
        if (recorded == line) return true;
    }
    return false;
}

bool TranscriptFile::WaitFor(const std::string& line) const {
    return WaitUntil([&] { return Has(line); });
}

void TranscriptFile::ExpectInOrder(const std::vector<std::string>& expected) const {
    const std::vector<std::string> lines = Lines();
    std::size_t next = 0;
    for (const std::string& line : lines) {
        if (next < expected.size() && line == expected[next]) ++next;
    }
    std::string all;
    for (const std::string& line : lines) all += line + "\n";
    EXPECT_EQ(next, expected.size()) << "missing: " << (next < expected.size() ? expected[next] : "")
                                     << "\ntranscript:\n" << all;
}

}  // namespace vantik::test
