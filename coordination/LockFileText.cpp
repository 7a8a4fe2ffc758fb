#include "coordination/LockFileText.h"

#include "fsutil/AsciiCase.h"

#include <limits>

namespace vantik {
namespace {

// The separators of the runtime's formatted input in the "C" locale.
bool IsSeparator(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

std::vector<std::string_view> SplitTokens(std::string_view text) {
    std::vector<std::string_view> tokens;
    std::size_t position = 0;
    while (position < text.size()) {
        while (position < text.size() && IsSeparator(text[position])) ++position;
        const std::size_t start = position;
        while (position < text.size() && !IsSeparator(text[position])) ++position;
        if (position > start) tokens.push_back(text.substr(start, position - start));
    }
    return tokens;
}

std::optional<std::int32_t> ParseProcessId(std::string_view token) {
    std::size_t position = 0;
    bool negative = false;
    if (position < token.size() && (token[position] == '+' || token[position] == '-')) {
        negative = token[position] == '-';
        ++position;
    }
    if (position == token.size()) return std::nullopt;
    // Accumulated as a negative value so that the most negative id still fits.
    const std::int64_t lowest = std::numeric_limits<std::int32_t>::min();
    const std::int64_t highest = std::numeric_limits<std::int32_t>::max();
    std::int64_t value = 0;
    for (; position < token.size(); ++position) {
        const char c = token[position];
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 - (c - '0');
        if (value < lowest) return std::nullopt;
    }
    if (!negative) {
        if (-value > highest) return std::nullopt;
        value = -value;
    }
    return static_cast<std::int32_t>(value);
}

bool IsSchematicToolToken(std::string_view token) {
    return EqualsIgnoringAsciiCase(token, kSchematicToolToken);
}

class EntryReader {
public:
    explicit EntryReader(std::string_view text) : tokens_(SplitTokens(text)) {}

    LockEntries ReadAll() {
        LockEntries entries;
        while (next_ < tokens_.size()) {
            if (std::optional<LockEntry> entry = ReadEntry()) entries.push_back(std::move(*entry));
        }
        return entries;
    }

private:
    bool ProcessIdAt(std::size_t index) const {
        return index < tokens_.size() && ParseProcessId(tokens_[index]).has_value();
    }

    // Consumes at least one token; returns an entry only when it is usable.
    std::optional<LockEntry> ReadEntry() {
        const std::string_view toolToken = tokens_[next_++];
        if (!ProcessIdAt(next_)) return std::nullopt;
        LockEntry entry;
        entry.processId = *ParseProcessId(tokens_[next_++]);
        if (IsSchematicToolToken(toolToken)) entry.viewpointToken = ReadViewpoint();
        if (toolToken.size() > kMaxToolTokenLength) return std::nullopt;
        entry.toolToken = std::string(toolToken);
        return entry;
    }

    std::optional<std::string> ReadViewpoint() {
        if (next_ >= tokens_.size() || ProcessIdAt(next_ + 1)) return std::nullopt;
        const std::string_view viewpoint = tokens_[next_++];
        if (viewpoint.size() > kMaxViewpointTokenLength) return std::nullopt;
        return std::string(viewpoint);
    }

    std::vector<std::string_view> tokens_;
    std::size_t next_ = 0;
};

}  // namespace

LockEntries ParseLockEntries(std::string_view text) { return EntryReader(text).ReadAll(); }

std::string FormatLockEntry(const LockEntry& entry) {
    std::string line = entry.toolToken;
    line += ' ';
    line += std::to_string(entry.processId);
    if (entry.viewpointToken) {
        line += ' ';
        line += *entry.viewpointToken;
    }
    line += '\n';
    return line;
}

std::string FormatLockEntries(const LockEntries& entries) {
    std::string text;
    for (const LockEntry& entry : entries) text += FormatLockEntry(entry);
    return text;
}

bool EndsInsideToken(std::string_view text) { return !text.empty() && !IsSeparator(text.back()); }

LockEntries WithoutProcess(const LockEntries& entries, std::int32_t processId) {
    LockEntries kept;
    for (const LockEntry& entry : entries) {
        if (entry.processId != processId) kept.push_back(entry);
    }
    return kept;
}

RegistrationDecision DecideRegistration(const LockEntries& entries, std::string_view callerTool,
                                        std::int32_t callerProcessId,
                                        const ProcessAliveCheck& isAlive) {
    // The viewpoint of the latest "SX" entry read so far: a live third tool
    // counts as holding the schematic tool only after one that shows the
    // default viewpoint.
    std::string viewpoint;
    for (const LockEntry& entry : entries) {
        if (entry.toolToken == kSchematicToolToken) viewpoint = entry.viewpointToken.value_or("");
        if (EqualsIgnoringAsciiCase(entry.toolToken, callerTool)) {
            if (entry.processId == callerProcessId) return RegistrationDecision::AlreadyRegistered;
            if (isAlive(entry.processId)) return RegistrationDecision::HeldBySameTool;
        } else if (IsSchematicToolToken(entry.toolToken)) {
            continue;
        } else if (viewpoint == kDefaultViewpointToken && isAlive(entry.processId)) {
            return RegistrationDecision::SchematicToolTaken;
        }
    }
    return RegistrationDecision::Append;
}

}  // namespace vantik
