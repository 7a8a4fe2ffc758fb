#pragma once
// A fresh directory per test under the test's working directory, with the
// real files and directories a case needs; everything goes again at the end.

#include <cstddef>
#include <string>
#include <vector>

namespace vantik::test {

class ScratchDirectory {
public:
    // Named after the running test; leftovers of an earlier run are removed first.
    ScratchDirectory();
    ~ScratchDirectory();
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;

    // Absolute, ending in a backslash.
    const std::string& Root() const { return root_; }
    std::string Path(const std::string& relative) const { return root_ + relative; }

    std::string MakeFile(const std::string& relative, std::size_t size = 0) const;
    std::string MakeDirectory(const std::string& relative) const;
    // A read-only file through its attribute.
    std::string MakeReadOnlyFile(const std::string& relative) const;
    // A directory without write permission (Unix mode bits under Wine, as the
    // read-only attribute does nothing to directories). False when that cannot
    // be arranged on this system.
    bool MakeReadOnlyDirectory(const std::string& relative);

    // Names in a directory, "." and ".." left out, sorted.
    std::vector<std::string> Names(const std::string& relative = "") const;

private:
    std::string root_;
    std::vector<std::string> readOnlyDirectories_;
};

}  // namespace vantik::test
