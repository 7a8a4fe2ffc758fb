#pragma once
// Which directory the layout process and the schematic tool exchange their
// files through, made when it is missing, and the two exchange file paths in it.
//
// The choice comes from TLK_SX_XPROBE_DIR: "-design" (the design directory
// itself), "-local" (a directory of its own under the temporary directory),
// any other value an explicit path; without the variable the host's preference
// picks one of the two rules.

#include <string>

namespace vantik {

constexpr const char* kExchangeDirectoryVariable = "TLK_SX_XPROBE_DIR";
constexpr const char* kIncomingExchangeFileName = "sx_to_ly_pipe";
constexpr const char* kOutgoingExchangeFileName = "ly_to_sx_pipe";
constexpr const char* kLocalExchangeFolderName = "sx_xprobe";

struct ExchangeLocation {
    std::string exchangeDirectory;  // ends in a backslash once resolved
    std::string inFilePath;         // exchangeDirectory + "sx_to_ly_pipe"
    std::string outFilePath;        // exchangeDirectory + "ly_to_sx_pipe"
    bool exchangeIsLocal = false;   // the "-local" rule made exchangeDirectory
};

// designDirectory uses backslashes. On success every field of location is set;
// on failure the three paths are empty and exchangeIsLocal is false. Nothing is
// created in any directory except the exchange directory's own levels.
bool ResolveExchangeDirectory(const std::string& designDirectory, bool preferLocalExchange,
                              ExchangeLocation& location);

// The design directory with a trailing backslash, when it is an existing
// directory; exchangeDirectory is left alone otherwise. Creates nothing.
bool UseDesignDirectory(const std::string& designDirectory, std::string& exchangeDirectory);

// The temporary directory, "sx_xprobe" and the last component of the design
// directory, each level made when missing. exchangeDirectory is set only on
// success; the caller marks the location as local then.
bool UseLocalDirectory(const std::string& designDirectory, std::string& exchangeDirectory);

// The first of TMPDIR, TEMP and TMP whose value is a readable and writable
// directory, unchanged; else "C:\" when it is one. Empties directory first.
bool FindTemporaryDirectory(std::string& directory);

// The text after the last slash, backslash or colon of the design directory,
// once one trailing backslash is ignored; empty for a drive root.
std::string LastDesignComponent(const std::string& designDirectory);

}  // namespace vantik
