#pragma once
// A reference host in the test process: COM apartment, the host's type library
// registered, the real add-in DLL loaded, a sample layout document and a fresh
// design directory; the exchange environment variables are cleared.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "addin/com/Bstr.h"
#include "refhost/HostSession.h"
#include "refhost/ReferenceDocument.h"
#include "tests/support/ScratchDirectory.h"
#include "tests/support/TestFiles.h"

namespace vantik::test {

class HostFixture : public ::testing::Test {
protected:
    HostFixture();
    ~HostFixture() override;

    ComPtr<IHostToolLink> NewTool() const { return addIn.CreateTool(); }
    HRESULT StartLink(IHostToolLink* tool, const std::string& directory, VARIANT_BOOL launch = VARIANT_FALSE);
    HRESULT StartLinkWithName(IHostToolLink* tool, const std::string& directory, const std::string& name);
    // The exchange directory of a default link: the design directory.
    std::string Exchange(const std::string& name) const { return designDirectory + "\\" + name; }
    // Pumps until the host recorded the call.
    bool PumpUntilCalled(const std::string& call, DWORD milliseconds = 4000);

    HRESULT apartment;
    ScopedEnvironment exchangeVariable{"TLK_SX_XPROBE_DIR", nullptr};
    ScopedEnvironment loggingVariable{"TLK_ENABLE_VANTIK_LOG", nullptr};
    ScratchDirectory scratch;
    std::string designDirectory;  // without a trailing backslash, as hosts pass it
    refhost::AddInModule addIn;
    ComPtr<refhost::ReferenceDocument> document;
};

}  // namespace vantik::test
