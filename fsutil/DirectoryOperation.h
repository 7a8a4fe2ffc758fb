#pragma once
// A directory that operations work on, with the place and the system's text of
// the last failure. Operations answer small result codes and never throw.

#include <string>

namespace vantik {

// Results of the DirectoryOperation operations.
namespace DirectoryResult {
constexpr int Success = 0;
constexpr int NotADirectory = 1;          // path is not an existing directory
constexpr int DestinationNotCreated = 2;  // destination missing and may not be created
constexpr int FileNotInTree = 3;          // no file of that name in the tree
constexpr int CopyFileFailed = 4;
constexpr int MoveFailed = 5;             // moving the directory failed
constexpr int DeleteFileFailed = 6;
constexpr int RemoveDirectoryFailed = 7;
constexpr int AlreadyDirectory = 8;       // the path already is a directory; nothing was done
constexpr int CreateDirectoryFailed = 9;
constexpr int NotAnAbsolutePath = 10;     // neither UNC, nor X:\..., nor beginning with a backslash
}  // namespace DirectoryResult

class DirectoryOperation {
public:
    std::string path;        // the directory worked on
    std::string failedPath;  // where the last failed operation stopped; empty after success
    std::string errorText;   // the system's message for that failure; empty after success

    // path is the text unchanged.
    explicit DirectoryOperation(const std::string& text) : path(text) {}
    // path is the text with a backslash appended when its last byte is not
    // one; an empty (or null) text gives a lone backslash.
    explicit DirectoryOperation(const char* text);

    // A new path; the recorded failure goes with the old one.
    DirectoryOperation& operator=(const std::string& text);

    bool EqualsNoCase(const char* text) const;
    // Both judge the last byte only, unlike PathString's multibyte-aware forms.
    // AddBackslash turns an empty path into a lone backslash.
    void AddBackslash();
    void RemoveBackslash();
    bool IsDirectory() const;
    // True when a file can be made in the directory path: a free probe name
    // (one of the first 100) is created there and deleted again; it never
    // stays behind after a true answer.
    bool CanCreateFiles() const;

    std::string GetFailedPath() const { return failedPath; }
    std::string GetErrorText() const { return errorText; }
    void ClearError();
    // Records a failure of the latest system call: failedPath becomes text
    // (empty for null), errorText the system's message for GetLastError(), or
    // "System error N" when the system has no text for it.
    void SetError(const char* text = nullptr);

    // True when both paths could be examined with _stat; differs is then false
    // exactly when size and modification time are equal. differs is true
    // whenever the answer is false.
    static bool SameSizeAndTime(const char* first, const char* second, bool& differs);

    // Creates every missing directory of path, level by level. Answers
    // Success, AlreadyDirectory, CreateDirectoryFailed (failedPath is then the
    // whole path, errorText the system's text; levels made before stay) or
    // NotAnAbsolutePath.
    int MakePath();
};

}  // namespace vantik
