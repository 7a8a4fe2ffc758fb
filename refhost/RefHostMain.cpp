// The reference layout host as a program:
//   refhost demo <design directory>              a short cross-probe session, told as it happens
//   refhost hold-link <design directory> <s>     keeps a link up for s seconds, then ends it
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "addin/com/Bstr.h"
#include "refhost/HostSession.h"
#include "refhost/ReferenceDocument.h"

using namespace vantik;
using namespace vantik::refhost;

namespace {

class ComApartment {
public:
    ComApartment() { ::CoInitialize(nullptr); }
    ~ComApartment() { ::CoUninitialize(); }
};

std::string ReadWholeFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

void Say(const char* who, const std::string& what) {
    std::printf("%-10s %s\n", who, what.c_str());
    std::fflush(stdout);
}

void SayFile(const char* who, const std::string& label, const std::string& path) {
    std::string text = ReadWholeFile(path);
    std::string shown;
    for (char c : text) {
        if (c != '\r') shown += c;
    }
    Say(who, label + ":");
    std::istringstream lines(shown);
    for (std::string line; std::getline(lines, line);) Say("", "  | " + line);
}

struct LinkedHost {
    ComApartment apartment;
    AddInModule addIn;
    ComPtr<ReferenceDocument> document = ReferenceDocument::Create(SampleLayout());
    ComPtr<IHostToolLink> tool;

    bool Open() {
        RegisterHostTypeLibrary();
        if (!addIn.Load()) {
            Say("host", "cannot load the add-in " + DefaultAddInPath());
            return false;
        }
        tool = addIn.CreateTool();
        if (!tool) Say("host", "the add-in made no tool object");
        return static_cast<bool>(tool);
    }
    HRESULT StartLink(const std::string& designDirectory) {
        return tool->StartLink(document->Document(), Bstr::FromAnsi(designDirectory).Get(), VARIANT_FALSE);
    }
};

int HoldLink(const std::string& designDirectory, int seconds) {
    LinkedHost host;
    if (!host.Open()) return 2;
    const HRESULT started = host.StartLink(designDirectory);
    std::printf("linked 0x%08lx pid %lu\n", static_cast<unsigned long>(started), ::GetCurrentProcessId());
    std::fflush(stdout);
    PumpMessages(static_cast<DWORD>(seconds) * 1000);
    host.tool->EndLink();
    return SUCCEEDED(started) ? 0 : 1;
}

int Demo(const std::string& designDirectory) {
    LinkedHost host;
    if (!host.Open()) return 2;
    const std::string exchange = designDirectory + "\\";
    Say("host", "starts a link on " + designDirectory);
    const HRESULT started = host.StartLink(designDirectory);
    if (FAILED(started)) {
        Say("host", "the link was refused");
        return 1;
    }
    Say("add-in", "link up; exchange directory " + exchange);
    SayFile("lock file", "sx_ly.lock", exchange + "sx_ly.lock");

    Say("schematic", "writes \"instance S I2\" into sx_to_ly_pipe");
    std::ofstream(exchange + "sx_to_ly_pipe") << "instance S I2\n";
    const bool applied = PumpUntil([&] { return host.document->layout.Called("SelectInstance I2"); }, 3000);
    Say("host", applied ? "a poll tick applied it: SelectInstance I2" : "nothing arrived within 3 s");
    PumpMessages(2500);
    Say("host", "ends the link");
    host.tool->EndLink();
    SayFile("add-in", "ly_to_sx_pipe", exchange + "ly_to_sx_pipe");
    SayFile("lock file", "sx_ly.lock", exchange + "sx_ly.lock");
    Say("host", "calls the add-in made:");
    for (const std::string& call : host.document->layout.calls) Say("", "  " + call);
    return applied ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "demo" && argc == 3) return Demo(argv[2]);
    if (mode == "hold-link" && argc == 4) return HoldLink(argv[2], std::atoi(argv[3]));
    std::fprintf(stderr, "usage: refhost demo <design directory>\n"
                         "       refhost hold-link <design directory> <seconds>\n");
    return 2;
}
