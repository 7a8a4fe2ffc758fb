// The reference layout host as a program:
//   refhost demo <design directory> [<simulator>]  a short cross-probe session, told as it happens
//   refhost hold-link <design directory> <s>       keeps a link up for s seconds, then ends it
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "addin/com/Bstr.h"
#include "refhost/DemoSession.h"
#include "refhost/HostSession.h"
#include "refhost/ReferenceDocument.h"

using namespace vantik;
using namespace vantik::refhost;

namespace {

// A second layout process for the tests: it holds the exchange directory's
// lock entry while the test starts a link of its own.
int HoldLink(const std::string& designDirectory, int seconds) {
    const ComApartment apartment;
    RegisterHostTypeLibrary();
    AddInModule addIn;
    if (!addIn.Load()) {
        std::fprintf(stderr, "cannot load the add-in %s\n", DefaultAddInPath().c_str());
        return 2;
    }
    ComPtr<ReferenceDocument> document = ReferenceDocument::Create(SampleLayout());
    ComPtr<IHostToolLink> tool = addIn.CreateTool();
    if (!tool) return 2;
    const HRESULT started =
        tool->StartLink(document->Document(), Bstr::FromAnsi(designDirectory).Get(), VARIANT_FALSE);
    std::printf("linked 0x%08lx pid %lu\n", static_cast<unsigned long>(started), ::GetCurrentProcessId());
    std::fflush(stdout);
    PumpMessages(static_cast<DWORD>(seconds) * 1000);
    tool->EndLink();
    return SUCCEEDED(started) ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "demo" && (argc == 3 || argc == 4)) {
        return PlayDemoSession(argv[2], argc == 4 ? argv[3] : DefaultSimulatorPath());
    }
    if (mode == "hold-link" && argc == 4) return HoldLink(argv[2], std::atoi(argv[3]));
    std::fprintf(stderr, "usage: refhost demo <design directory> [<schematic tool simulator>]\n"
                         "       refhost hold-link <design directory> <seconds>\n");
    return 2;
}
