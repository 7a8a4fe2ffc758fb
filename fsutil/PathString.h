#pragma once
// A file-system path held as 8-bit text in the system's ANSI code page, with
// the operations that take it apart and put it together.
//
// The text operations are pure: they ask the file system nothing. Their
// backslash searches step over double-byte characters in the runtime's current
// multibyte code page; slashes, colons and dots are found byte by byte.

#include <string>

namespace vantik {

class PathString : public std::string {
public:
    PathString() = default;
    PathString(const std::string& text) : std::string(text) {}
    PathString(std::string&& text) : std::string(std::move(text)) {}
    PathString(const char* text) : std::string(text != nullptr ? text : "") {}

    const std::string& str() const { return *this; }

    // Takes the path apart into drive (C: or \\server), directory (with its
    // leading and trailing separators), base name and extension (without the
    // dot). Each output is optional; the requested ones are emptied first.
    // "." and ".." are a directory alone: the text followed by a backslash.
    void SplitPath(std::string* drive, std::string* directory, std::string* baseName,
                   std::string* extension) const;
    std::string GetDrive() const;
    std::string GetDirectory() const;
    std::string GetBaseName() const;
    std::string GetExtension() const;

    // When the path has no extension, appends extension, with a "." in front
    // unless it begins with one. A null or empty extension changes nothing.
    void SetDefaultExtension(const char* extension);

    void ToBackslashes();
    // Append / remove one backslash, judged by the last multibyte character;
    // an empty text stays empty.
    void AddTrailingBackslash();
    void RemoveTrailingBackslash();

    bool Exists() const;
    bool IsDirectory() const;
    bool IsReadWrite() const;
    // Equal to text ignoring letter case; a null text equals nothing.
    bool EqualsNoCase(const char* text) const;

    // Replaces the path by the text built from the parts; each may be null or
    // empty. A drive gets a colon unless it is a \\server name or already has
    // one; a backslash goes between the leading parts and the base name; the
    // extension gets exactly one dot in front.
    void ComposePath(const char* drive, const char* directory, const char* baseName,
                     const char* extension);
    // Drive and directory, with a backslash appended when there is a drive but
    // no directory (C:b.txt gives C:\); a path without either gives "".
    PathString DirectoryPart() const;
    // Base name, then "." and the extension when there is one.
    PathString FileNamePart() const;
};

bool EqualsNoCase(const PathString& path, const char* text);

}  // namespace vantik
