#include "tests/addin/HostFixture.h"

#include <cstdlib>
#include <optional>

#include "fsutil/Environment.h"
#include <fstream>
#include <sstream>

namespace vantik::test {

namespace {
// The process environment, which the add-in reads, and the runtime's copy with it.
void SetVariable(const std::string& name, const char* value) {
    ::SetEnvironmentVariableA(name.c_str(), value);
    if (value && *value) {
        _putenv_s(name.c_str(), value);
    } else if (!value) {
        _putenv((name + "=").c_str());
    }
}
}  // namespace

ScopedEnvironment::ScopedEnvironment(std::string name, const char* value) : name_(std::move(name)) {
    if (std::optional<std::string> old = ReadEnvironmentVariable(name_.c_str())) {
        hadValue_ = true;
        oldValue_ = *old;
    }
    SetVariable(name_, value);
}

ScopedEnvironment::~ScopedEnvironment() { SetVariable(name_, hadValue_ ? oldValue_.c_str() : nullptr); }

std::string ReadFileBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

void WriteFileText(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

bool FileExists(const std::string& path) { return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

HostFixture::HostFixture() : apartment(::CoInitialize(nullptr)) {
    designDirectory = scratch.MakeDirectory("board");
    if (!designDirectory.empty() && designDirectory.back() == '\\') designDirectory.pop_back();
    EXPECT_HRESULT_SUCCEEDED(refhost::RegisterHostTypeLibrary());
    EXPECT_TRUE(addIn.Load()) << refhost::DefaultAddInPath();
    document = refhost::ReferenceDocument::Create(refhost::SampleLayout());
}

HostFixture::~HostFixture() {
    document.Reset();
    ::CoUninitialize();
}

HRESULT HostFixture::StartLink(IHostToolLink* tool, const std::string& directory, VARIANT_BOOL launch) {
    return tool->StartLink(document->Document(), Bstr::FromAnsi(directory).Get(), launch);
}

HRESULT HostFixture::StartLinkWithName(IHostToolLink* tool, const std::string& directory, const std::string& name) {
    ComPtr<IHostToolLink2> named = tool ? ComPtr<IHostToolLink>(tool).As<IHostToolLink2>() : ComPtr<IHostToolLink2>();
    if (!named) return E_NOINTERFACE;
    return named->StartLinkWithName(document->Document(), Bstr::FromAnsi(directory).Get(), VARIANT_FALSE,
                                    Bstr::FromAnsi(name).Get());
}

bool HostFixture::PumpUntilCalled(const std::string& call, DWORD milliseconds) {
    return refhost::PumpUntil([&] { return document->layout.Called(call); }, milliseconds);
}

}  // namespace vantik::test
