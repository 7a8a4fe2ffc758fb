#pragma once
// The text of the cross-probe lock file, apart from any file access: reading
// entries out of it, writing entries into it, and deciding a registration.
//
// The file is read as a stream of whitespace-separated tokens (any run of
// blanks, tabs, carriage returns and line feeds separates them), the way the
// schematic tool and older layout processes read it; line ends carry no meaning.
//
// How content that does not have the expected shape is treated, so that one
// bad entry never takes good ones with it:
//  - A tool token must be followed by a process id: an optional sign and
//    decimal digits that fit a signed 32-bit value. When the next token is not
//    such a number, the tool token alone is dropped and reading goes on with
//    that next token as a new tool token.
//  - A tool token longer than kMaxToolTokenLength drops its whole entry (the
//    token and its process id).
//  - A schematic-tool entry ("sx" in any letter case) may carry a viewpoint
//    token after its process id. A candidate that is itself followed by a
//    process id is taken as the next entry's tool token instead, so an entry
//    written without its viewpoint does not swallow the entry after it. A
//    viewpoint longer than kMaxViewpointTokenLength is dropped; the entry stays
//    without a viewpoint.
//  - Only "SX" spelled exactly so names the viewpoint that a registration
//    compares; other spellings are schematic-tool entries all the same.
// Everything dropped is lost when removal rewrites the file; every well-formed
// entry is kept, in its order.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vantik {

constexpr std::size_t kMaxToolTokenLength = 127;
constexpr std::size_t kMaxViewpointTokenLength = 2047;

constexpr const char* kSchematicToolToken = "SX";
constexpr const char* kDefaultViewpointToken = "pcb_design_vpt";

struct LockEntry {
    std::string toolToken;
    std::int32_t processId = 0;
    std::optional<std::string> viewpointToken;

    bool operator==(const LockEntry& other) const {
        return toolToken == other.toolToken && processId == other.processId &&
               viewpointToken == other.viewpointToken;
    }
};

using LockEntries = std::vector<LockEntry>;

LockEntries ParseLockEntries(std::string_view text);

// One line per entry, "\n" ended: "tool pid" or "tool pid viewpoint".
std::string FormatLockEntry(const LockEntry& entry);
std::string FormatLockEntries(const LockEntries& entries);

// True when the text's last character belongs to a token: a line appended
// straight after it would run into that token.
bool EndsInsideToken(std::string_view text);

// The entries that do not carry the given process id, in their order.
LockEntries WithoutProcess(const LockEntries& entries, std::int32_t processId);

// The values match the results of RegisterLockEntry; Append means the place is
// free and the caller's entry still has to be written.
enum class RegistrationDecision {
    AlreadyRegistered = 0,
    HeldBySameTool = 1,
    SchematicToolTaken = 2,
    Append = -1,
};

using ProcessAliveCheck = std::function<bool(std::int32_t processId)>;

// Walks the entries in file order and stops at the first one that decides;
// isAlive is asked only about entries that could refuse the registration.
RegistrationDecision DecideRegistration(const LockEntries& entries, std::string_view callerTool,
                                        std::int32_t callerProcessId,
                                        const ProcessAliveCheck& isAlive);

}  // namespace vantik
