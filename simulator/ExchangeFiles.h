#pragma once
// The simulator's side of the exchange files. Each file is opened without
// sharing, so that a file the layout side is still writing (or reading) is
// never taken half-way: the open fails and is tried again at the next poll.

#include <optional>
#include <string>

namespace vantik::simulator {

enum class FileAttempt { Done, Busy, Failed };

struct TakenFile {
    FileAttempt result = FileAttempt::Failed;
    std::string content;  // Done: every byte of the file
    std::string error;    // Failed: why
};

// Reads the whole file and deletes it. Busy when the file is absent or held
// open by another process.
TakenFile TakeFile(const std::string& path);

// Appends one line, ended as a text-mode writer ends it (CR LF); the file is
// created when missing. Busy when another process holds it open.
FileAttempt AppendLine(const std::string& path, const std::string& line, std::string& error);

// Appends an "SX" entry to the lock file, starting a new line when its last
// line has no line end. Empty on success, else why not.
std::string RegisterSchematicEntry(const std::string& exchangeDirectory, int processId,
                                   const std::string& viewpointToken);

bool FileExists(const std::string& path);

// The system's text for an error code of GetLastError.
std::string SystemErrorText(unsigned long code);

}  // namespace vantik::simulator
