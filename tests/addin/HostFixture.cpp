#include "tests/addin/HostFixture.h"


namespace vantik::test {

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
