#include "refhost/DemoSession.h"

#include <windows.h>

#include <cstdio>
#include <fstream>
#include <functional>
#include <set>
#include <sstream>
#include <vector>

#include "addin/com/Bstr.h"
#include "fsutil/UniqueHandle.h"
#include "refhost/HostSession.h"
#include "refhost/ReferenceDocument.h"

namespace vantik::refhost {
namespace {

// Only a bound for a step that does not come, never a measurement.
constexpr DWORD kStepPatienceMilliseconds = 30000;
constexpr DISPID kComponentSelectionEvent = 4;
constexpr DISPID kNetSelectionEvent = 5;
constexpr DISPID kPinSelectionEvent = 6;
constexpr DISPID kHighlightChangedEvent = 22;

// What the schematic side does in the demo, in the simulator's scenario steps.
constexpr const char* kSchematicScenario =
    "# The schematic side of the demo session.\n"
    "wait-for @pin\n"
    "send instance S I4\n"
    "send net S VCC\n"
    "send pin S U7-12\n"
    "wait-taken\n"
    "send instance H\n"
    "wait-for @highlight, @instance, [\"I1\"]\n"
    "terminate\n";

std::string ReadWholeFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

std::vector<std::string> LinesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

std::string ForwardSlashes(std::string path) {
    for (char& c : path) {
        if (c == '\\') c = '/';
    }
    return path;
}

bool StartsWith(const std::string& text, const std::string& start) { return text.rfind(start, 0) == 0; }

// The schematic tool's process, started as the launch script starts it: the
// command file on its standard input. Ended when it outlives the demo.
class SchematicProcess {
public:
    SchematicProcess() = default;
    SchematicProcess(const SchematicProcess&) = delete;
    SchematicProcess& operator=(const SchematicProcess&) = delete;
    ~SchematicProcess() {
        if (info_.hProcess == nullptr) return;
        if (::WaitForSingleObject(info_.hProcess, 5000) == WAIT_TIMEOUT) ::TerminateProcess(info_.hProcess, 1);
        ::CloseHandle(info_.hThread);
        ::CloseHandle(info_.hProcess);
    }

    bool Start(const std::string& program, const std::string& arguments, const std::string& inputPath) {
        SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
        const UniqueHandle input(::CreateFileA(inputPath.c_str(), GENERIC_READ, FILE_SHARE_READ, &inheritable,
                                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!input) return false;
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = input.Get();
        startup.hStdOutput = ::GetStdHandle(STD_OUTPUT_HANDLE);
        startup.hStdError = ::GetStdHandle(STD_ERROR_HANDLE);
        std::string commandLine = "\"" + program + "\" " + arguments;
        return ::CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                                &info_) != 0;
    }

    // The exit code, or STILL_ACTIVE when it is still running after the time.
    DWORD WaitForExit(DWORD milliseconds) const {
        DWORD code = STILL_ACTIVE;
        if (::WaitForSingleObject(info_.hProcess, milliseconds) == WAIT_OBJECT_0) {
            ::GetExitCodeProcess(info_.hProcess, &code);
        }
        return code;
    }

private:
    PROCESS_INFORMATION info_{};
};

// Tells the session as it happens: what this host does, what the schematic
// side recorded in its transcript and what the add-in applied to the layout.
class Narrator {
public:
    Narrator(const HostLayout& layout, std::string transcriptPath)
        : layout_(layout), transcriptPath_(std::move(transcriptPath)) {}

    static void Say(const std::string& who, const std::string& what) {
        std::printf("%-10s %s\n", who.c_str(), what.c_str());
        std::fflush(stdout);
    }

    void ShowFile(const std::string& who, const std::string& path) {
        const std::vector<std::string> lines = LinesOf(ReadWholeFile(path));
        Say(who, path + (lines.empty() ? ": (no entries)" : ":"));
        for (const std::string& line : lines) Say("", "  | " + line);
    }

    void CatchUp() {
        transcript_ = LinesOf(ReadWholeFile(transcriptPath_));
        for (; toldLines_ < transcript_.size(); ++toldLines_) TellSchematicLine(transcript_[toldLines_]);
        for (; toldCalls_ < layout_.calls.size(); ++toldCalls_) TellHostCall(layout_.calls[toldCalls_]);
    }

    // The schematic side recorded a transcript line starting with the text.
    bool Heard(const std::string& start) const {
        for (const std::string& line : transcript_) {
            if (StartsWith(line, start)) return true;
        }
        return false;
    }

    // Pumps the host's messages (so the add-in's timer ticks) until the
    // condition holds; a step that does not come ends the demo as failed.
    bool Await(const std::string& what, const std::function<bool()>& condition) {
        if (PumpUntil([&] { CatchUp(); return condition(); }, kStepPatienceMilliseconds)) return true;
        Say("demo", "gave up waiting for " + what);
        return false;
    }

private:
    void TellSchematicLine(const std::string& line) {
        for (const char* kind : {"registered ", "received ", "sent ", "unregistered ", "note ", "exit "}) {
            if (StartsWith(line, kind)) return Say("schematic", line);
        }
    }

    void TellHostCall(const std::string& call) {
        static const std::set<std::string> applying = {"SelectInstance", "SelectNet",      "SelectPin",
                                                       "UnselectAll",    "SwitchToLayout", "ToolTerminated"};
        if (applying.count(call.substr(0, call.find(' '))) > 0) Say("layout", "applied " + call);
    }

    const HostLayout& layout_;
    std::string transcriptPath_;
    std::vector<std::string> transcript_;
    std::size_t toldLines_ = 0;
    std::size_t toldCalls_ = 0;
};

class DemoSession {
public:
    DemoSession(const std::string& designDirectory, const std::string& simulatorPath)
        : designDirectory_(designDirectory),
          exchange_(designDirectory + "\\"),
          simulatorPath_(simulatorPath),
          narrator_(document_->layout, exchange_ + "schematic-transcript.txt") {}

    int Play() {
        if (!LoadAddIn() || !StartLink() || !StartSchematicTool()) return 1;
        const bool played = LayoutSelects() && SchematicSelects() && HighlightsFollow() && SchematicEndsLink();
        EndLink();
        Narrator::Say("demo", played ? "the session went as planned" : "the session did not go as planned");
        return played ? 0 : 1;
    }

private:
    HostLayout& Layout() { return document_->layout; }

    bool Awaiting(const std::string& what, const std::function<bool()>& condition) {
        return narrator_.Await(what, condition);
    }

    bool SchematicReceived(const std::string& text) {
        return Awaiting("the schematic side to receive " + text, [&] { return narrator_.Heard("received " + text); });
    }

    bool LayoutApplied(const std::string& call) {
        return Awaiting("the layout to apply " + call, [&] { return Layout().Called(call); });
    }

    bool LoadAddIn() {
        Narrator::Say("host", "loads the add-in " + DefaultAddInPath());
        RegisterHostTypeLibrary();
        if (addIn_.Load()) tool_ = addIn_.CreateTool();
        if (!tool_) Narrator::Say("host", "the add-in could not be loaded or made no tool object");
        return static_cast<bool>(tool_);
    }

    bool StartLink() {
        Narrator::Say("host", "starts a link on the design directory " + designDirectory_);
        const HRESULT started =
            tool_->StartLink(document_->Document(), Bstr::FromAnsi(designDirectory_).Get(), VARIANT_FALSE);
        if (FAILED(started)) {
            Narrator::Say("add-in", "refused the link");
            return false;
        }
        Narrator::Say("add-in", "link up; the exchange directory is " + exchange_);
        return true;
    }

    // The add-in's own launcher is not used here: the demo starts the
    // simulator with the command file a launcher writes.
    bool StartSchematicTool() {
        Layout().highlightedComponents = {"U3"};
        Narrator::Say("layout", "has U3 highlighted");
        const std::string design = ForwardSlashes(designDirectory_);
        const std::string commandFile = exchange_ + "lycmds";
        const std::string scenario = exchange_ + "schematic-scenario.txt";
        std::ofstream(commandFile) << "$ly_sx_set_crossprobe_viewpoint_component(\"" << design
                                   << "/pcb_design_vpt\", \"" << design << "\");\n$ly_sx_enable_crossprobe();\n";
        std::ofstream(scenario) << kSchematicScenario;
        Narrator::Say("host", "starts the schematic tool simulator with the command file " + commandFile);
        if (!schematic_.Start(simulatorPath_,
                              "--quiet --timeout 60 --scenario \"" + scenario + "\" --transcript \"" +
                                  exchange_ + "schematic-transcript.txt\"",
                              commandFile)) {
            Narrator::Say("host", "cannot start " + simulatorPath_);
            return false;
        }
        if (!Awaiting("the schematic side to register", [&] { return narrator_.Heard("registered "); })) {
            return false;
        }
        narrator_.ShowFile("lock file", exchange_ + "sx_ly.lock");
        return true;
    }

    bool LayoutSelects() {
        Layout().selectedComponents = {"U1", "U2"};
        Narrator::Say("layout", "selects components U1 and U2");
        document_->Fire(kComponentSelectionEvent);
        if (!SchematicReceived("$ly_sx_action([[@select, @instance,")) return false;

        Layout().selectedNets = {"GND"};
        Narrator::Say("layout", "selects net GND");
        document_->Fire(kNetSelectionEvent);
        if (!SchematicReceived("$ly_sx_action([[@select, @net,")) return false;

        // A pin event within two seconds of another selection is taken as
        // part of that selection and not sent.
        Narrator::Say("layout", "waits three seconds, then selects pin U7-12");
        PumpMessages(3200);
        Layout().selectedPins = {"U7-12"};
        document_->Fire(kPinSelectionEvent);
        return SchematicReceived("$ly_sx_action([[@select, @pin,");
    }

    bool SchematicSelects() {
        return LayoutApplied("SelectInstance I4") && LayoutApplied("SelectNet VCC") &&
               LayoutApplied("SelectPin U7 12");
    }

    bool HighlightsFollow() {
        if (!SchematicReceived("$ly_sx_action([[@highlight, @instance, [\"I4\"]]]);")) return false;
        Layout().highlightedComponents = {"U3", "U1"};
        Layout().highlightEventComponents = {"U1"};
        Narrator::Say("layout", "highlights U1 as well");
        document_->Fire(kHighlightChangedEvent);
        return SchematicReceived("$ly_sx_action([[@highlight, @instance, [\"I1\"]]]);");
    }

    bool SchematicEndsLink() {
        if (!LayoutApplied("ToolTerminated Design Ostrine")) return false;
        const DWORD exitCode = schematic_.WaitForExit(kStepPatienceMilliseconds);
        narrator_.CatchUp();
        return exitCode == 0;
    }

    void EndLink() {
        Narrator::Say("host", "ends the link");
        tool_->EndLink();
        const bool commandLeft = ::GetFileAttributesA((exchange_ + "ly_to_sx_pipe").c_str()) != INVALID_FILE_ATTRIBUTES;
        Narrator::Say("add-in", commandLeft ? "left commands in ly_to_sx_pipe" : "sent nothing more");
        narrator_.ShowFile("lock file", exchange_ + "sx_ly.lock");
    }

    std::string designDirectory_;
    std::string exchange_;
    std::string simulatorPath_;
    AddInModule addIn_;
    ComPtr<ReferenceDocument> document_ = ReferenceDocument::Create(SampleLayout());
    ComPtr<IHostToolLink> tool_;
    SchematicProcess schematic_;
    Narrator narrator_;
};

}  // namespace

std::string DefaultSimulatorPath() { return WindowsPath(VANTIK_SXSIM_PROGRAM); }

int PlayDemoSession(const std::string& designDirectory, const std::string& simulatorPath) {
    const ComApartment apartment;
    return DemoSession(designDirectory, simulatorPath).Play();
}

}  // namespace vantik::refhost
