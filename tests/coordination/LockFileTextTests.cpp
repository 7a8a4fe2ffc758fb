#include "coordination/LockFileText.h"

#include <gtest/gtest.h>

#include <set>

namespace vantik {
namespace {

LockEntry Entry(const char* tool, std::int32_t pid) { return LockEntry{tool, pid, std::nullopt}; }
LockEntry Entry(const char* tool, std::int32_t pid, const std::string& viewpoint) {
    return LockEntry{tool, pid, viewpoint};
}

std::string Describe(const LockEntries& entries) {
    std::string text;
    for (const LockEntry& entry : entries) {
        text += "[" + entry.toolToken + " " + std::to_string(entry.processId);
        if (entry.viewpointToken) text += " vp=" + entry.viewpointToken->substr(0, 20) + "/" +
                                          std::to_string(entry.viewpointToken->size());
        text += "]";
    }
    return text;
}

struct ParseCase {
    const char* name;
    std::string text;
    LockEntries expected;
};

TEST(LockFileText, ReadsEntriesAsWhitespaceSeparatedTokens) {
    const std::string tool127(127, 'T');
    const std::string tool128(128, 'T');
    const std::string view2047(2047, 'v');
    const std::string view2048(2048, 'v');
    const ParseCase cases[] = {
        {"empty", "", {}},
        {"only blanks", " \r\n\t \r\n", {}},
        {"the usual two lines", "SX 4120 pcb_design_vpt\r\nRoutana 3376\r\n",
         {Entry("SX", 4120, "pcb_design_vpt"), Entry("Routana", 3376)}},
        {"final line without line end", "Routana 1\r\nRoutana 2", {Entry("Routana", 1), Entry("Routana", 2)}},
        {"fields spread over lines and tabs", "  Routana\t\r\n12\n\nSX\t5\r\n\r\nvp", {Entry("Routana", 12), Entry("SX", 5, "vp")}},
        {"several entries on one line", "Routana 1 Quill 2 SX 3 vp", {Entry("Routana", 1), Entry("Quill", 2), Entry("SX", 3, "vp")}},
        {"vertical tab and form feed separate", "Routana\v1\fQuill 2", {Entry("Routana", 1), Entry("Quill", 2)}},
        {"lone CR separates", "Routana 1\rQuill 2\r", {Entry("Routana", 1), Entry("Quill", 2)}},
        {"signed ids", "Routana -2147483648 Routana +7 Routana 2147483647",
         {Entry("Routana", INT32_MIN), Entry("Routana", 7), Entry("Routana", INT32_MAX)}},
        // Malformed content: the bad part goes, well-formed entries around it stay.
        {"non-numeric pid", "Routana abc\r\nRoutana 7\r\n", {Entry("Routana", 7)}},
        {"pid with trailing letters", "Routana 12x\r\nRoutana 7\r\n", {Entry("Routana", 7)}},
        {"pid beyond 32 bits", "Routana 2147483648\r\nRoutana 7\r\n", {Entry("Routana", 7)}},
        {"pid below 32 bits", "Routana -2147483649\r\nRoutana 7\r\n", {Entry("Routana", 7)}},
        {"a sign alone", "Routana -\r\nRoutana 7\r\n", {Entry("Routana", 7)}},
        {"tool token without pid at the end", "Routana 7\r\nRoutana", {Entry("Routana", 7)}},
        {"stray token before an entry", "garbage Routana 7", {Entry("Routana", 7)}},
        {"tool token of 127 characters is kept", tool127 + " 5\r\n", {Entry(tool127.c_str(), 5)}},
        {"tool token of 128 characters goes with its pid", tool128 + " 5\r\nRoutana 6\r\n", {Entry("Routana", 6)}},
        {"viewpoint of 2047 characters is kept", "SX 5 " + view2047 + "\r\nRoutana 6\r\n",
         {Entry("SX", 5, view2047), Entry("Routana", 6)}},
        {"viewpoint of 2048 characters is dropped, entry stays", "SX 5 " + view2048 + "\r\nRoutana 6\r\n",
         {Entry("SX", 5), Entry("Routana", 6)}},
        {"SX without viewpoint does not swallow the next entry", "SX 4120\r\nRoutana 3376\r\n",
         {Entry("SX", 4120), Entry("Routana", 3376)}},
        {"SX without viewpoint at the end", "Routana 1\r\nSX 4120\r\n", {Entry("Routana", 1), Entry("SX", 4120)}},
        {"numeric viewpoint", "SX 4120 77\r\nRoutana 3\r\n", {Entry("SX", 4120, "77"), Entry("Routana", 3)}},
        {"lower-case sx keeps its viewpoint", "sx 4120 pcb_design_vpt\r\nRoutana 3\r\n",
         {Entry("sx", 4120, "pcb_design_vpt"), Entry("Routana", 3)}},
        {"mixed-case Sx without viewpoint", "Sx 4120\r\nRoutana 3\r\n", {Entry("Sx", 4120), Entry("Routana", 3)}},
        {"SXA is a third tool", "SXA 4120 Routana 3", {Entry("SXA", 4120), Entry("Routana", 3)}},
    };
    for (const ParseCase& c : cases) {
        SCOPED_TRACE(c.name);
        const LockEntries entries = ParseLockEntries(c.text);
        EXPECT_EQ(entries, c.expected) << Describe(entries);
    }
}

TEST(LockFileText, WritesOneLinePerEntry) {
    EXPECT_EQ(FormatLockEntry(Entry("Routana", 3376)), "Routana 3376\n");
    EXPECT_EQ(FormatLockEntry(Entry("SX", 4120, "pcb_design_vpt")), "SX 4120 pcb_design_vpt\n");
    EXPECT_EQ(FormatLockEntry(Entry("Routana", -5)), "Routana -5\n");
    EXPECT_EQ(FormatLockEntries({}), "");
    EXPECT_EQ(FormatLockEntries({Entry("SX", 4120, "pcb_design_vpt"), Entry("SX", 9), Entry("Quill", 1)}),
              "SX 4120 pcb_design_vpt\nSX 9\nQuill 1\n");
}

TEST(LockFileText, TellsWhetherAnAppendedLineNeedsALineEndFirst) {
    EXPECT_TRUE(EndsInsideToken("Routana 12"));
    EXPECT_FALSE(EndsInsideToken("Routana 12\n"));
    EXPECT_FALSE(EndsInsideToken("Routana 12\r"));
    EXPECT_FALSE(EndsInsideToken("Routana 12 \t"));
    EXPECT_FALSE(EndsInsideToken(""));
}

TEST(LockFileText, WrittenEntriesReadBackUnchanged) {
    const LockEntries entries = {Entry("SX", 4120, "pcb_design_vpt"), Entry("routana", 1), Entry("SX", 9),
                                 Entry("Routana", 2), Entry("sx", 3, "other_vpt"), Entry("Quill", INT32_MIN)};
    EXPECT_EQ(ParseLockEntries(FormatLockEntries(entries)), entries);
}

TEST(LockFileText, RemovalKeepsEveryOtherEntryInOrder) {
    const LockEntries entries = {Entry("SX", 4120, "vp"), Entry("Routana", 7), Entry("Routana", 3376),
                                 Entry("Quill", 7), Entry("SX", 7, "pcb_design_vpt")};
    EXPECT_EQ(WithoutProcess(entries, 7), (LockEntries{Entry("SX", 4120, "vp"), Entry("Routana", 3376)}));
    EXPECT_EQ(WithoutProcess(entries, 99), entries);
    EXPECT_EQ(WithoutProcess({}, 7), LockEntries{});
}

struct DecisionCase {
    const char* name;
    const char* text;
    std::set<std::int32_t> alive;
    RegistrationDecision expected;
};

constexpr std::int32_t kCaller = 100;

TEST(LockFileText, DecidesRegistration) {
    using D = RegistrationDecision;
    const DecisionCase cases[] = {
        {"empty file", "", {}, D::Append},
        {"own entry", "Routana 100", {}, D::AlreadyRegistered},
        {"own entry in another case", "ROUTANA 100", {}, D::AlreadyRegistered},
        {"own entry before a live conflict", "Routana 100 Routana 5", {5}, D::AlreadyRegistered},
        {"live conflict before own entry", "Routana 5 Routana 100", {5}, D::HeldBySameTool},
        {"live same tool in lower case", "routana 5", {5}, D::HeldBySameTool},
        {"ended same tool", "Routana 5", {}, D::Append},
        {"ended same tool, then own entry", "Routana 5 Routana 100", {}, D::AlreadyRegistered},
        {"only schematic entries, alive", "SX 5 pcb_design_vpt SX 6 other", {5, 6}, D::Append},
        {"default viewpoint then live third tool", "SX 5 pcb_design_vpt Quill 6", {6}, D::SchematicToolTaken},
        {"live third tool then default viewpoint", "Quill 6 SX 5 pcb_design_vpt", {5, 6}, D::Append},
        {"other viewpoint then live third tool", "SX 5 board_vpt Quill 6", {5, 6}, D::Append},
        {"default viewpoint then ended third tool", "SX 5 pcb_design_vpt Quill 6", {5}, D::Append},
        {"later SX entry replaces the viewpoint", "SX 5 pcb_design_vpt SX 7 board_vpt Quill 6", {6}, D::Append},
        {"later SX entry brings the default viewpoint", "SX 5 board_vpt SX 7 pcb_design_vpt Quill 6", {6}, D::SchematicToolTaken},
        {"SX without viewpoint clears it", "SX 5 pcb_design_vpt SX 7 Quill 6", {6}, D::Append},
        {"viewpoint compared exactly", "SX 5 PCB_DESIGN_VPT Quill 6", {6}, D::Append},
        {"only exact SX names the viewpoint", "sx 5 pcb_design_vpt Quill 6", {6}, D::Append},
        {"lower-case sx never refuses", "sx 5 pcb_design_vpt", {5}, D::Append},
        {"default viewpoint then live same tool", "SX 5 pcb_design_vpt Routana 6", {6}, D::HeldBySameTool},
        {"malformed pid does not hide a live entry", "Routana x5 Routana 6", {6}, D::HeldBySameTool},
    };
    for (const DecisionCase& c : cases) {
        SCOPED_TRACE(c.name);
        const auto isAlive = [&](std::int32_t pid) { return c.alive.count(pid) > 0; };
        EXPECT_EQ(DecideRegistration(ParseLockEntries(c.text), "Routana", kCaller, isAlive), c.expected);
    }
}

}  // namespace
}  // namespace vantik
