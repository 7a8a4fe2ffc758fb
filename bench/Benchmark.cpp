// Costs of the add-in's hot paths, against the reference host in this process:
// an idle poll tick, sending large layout selections, reading large incoming
// files. Each size is ten times the last, so the ratios show any growth faster
// than linear.
#include <windows.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "addin/VantikTool.h"
#include "addin/com/Bstr.h"
#include "refhost/HostSession.h"
#include "refhost/ReferenceDocument.h"

using namespace vantik;

namespace {

class Stopwatch {
public:
    Stopwatch() { ::QueryPerformanceCounter(&start_); }
    double Seconds() const {
        LARGE_INTEGER now, frequency;
        ::QueryPerformanceCounter(&now);
        ::QueryPerformanceFrequency(&frequency);
        return static_cast<double>(now.QuadPart - start_.QuadPart) / static_cast<double>(frequency.QuadPart);
    }

private:
    LARGE_INTEGER start_;
};

std::string NineCharacters(int index) {
    char name[16];
    std::snprintf(name, sizeof name, "I%08d", index);
    return name;
}

struct Bench {
    std::string directory;
    ComPtr<refhost::ReferenceDocument> document = refhost::ReferenceDocument::Create(refhost::SampleLayout());
    ComPtr<IHostToolLink> link;
    vantik::VantikTool* tool = nullptr;

    explicit Bench(std::string exchange) : directory(std::move(exchange)) {
        CreateComInstance<vantik::VantikTool>(IID_IHostToolLink, link.PutVoid());
        tool = static_cast<vantik::VantikTool*>(link.Get());
        link->StartLink(document->Document(), Bstr::FromAnsi(directory).Get(), VARIANT_FALSE);
    }
    ~Bench() {
        link->EndLink();
        std::remove((directory + "\\ly_to_sx_pipe").c_str());
    }
};

void IdleTick() {
    constexpr int kTicks = 2000;
    Stopwatch watch;
    for (int tick = 0; tick < kTicks; ++tick) PollTick(nullptr, WM_TIMER, pollTimerId, 0);
    std::printf("idle PollTick (no incoming file, nothing held back): %.1f us per call over %d calls\n",
                watch.Seconds() * 1e6 / kTicks, kTicks);
}

void LargeSelections(Bench& bench) {
    std::printf("\nSendSelectedComponents, one 9-character instance per component:\n");
    double previous = 0;
    for (int size : {1000, 10000, 100000}) {
        refhost::HostLayout& layout = bench.document->layout;
        layout.componentInstances.clear();
        layout.selectedComponents.clear();
        for (int index = 0; index < size; ++index) {
            const std::string component = "C" + std::to_string(index);
            layout.componentInstances[component] = {NineCharacters(index)};
            layout.selectedComponents.push_back(component);
        }
        std::remove(bench.tool->outFilePath.c_str());
        bench.tool->lastLayoutEvent = 0;
        Stopwatch watch;
        bench.tool->SendSelectedComponents();
        const double seconds = watch.Seconds();
        layout.ClearCalls();
        std::printf("  %7d components: %8.1f ms", size, seconds * 1e3);
        if (previous > 0) std::printf("   (x%.1f for x10 components)", seconds / previous);
        std::printf("\n");
        previous = seconds;
    }
}

void LargeIncomingFiles(Bench& bench) {
    std::printf("\nReadIncoming of \"instance S\" lines (the host answers each with its selection event):\n");
    bench.document->layout = refhost::SampleLayout();
    double previous = 0;
    for (int size : {1000, 10000, 100000}) {
        {
            std::ofstream incoming(bench.tool->inFilePath);
            for (int index = 0; index < size; ++index) incoming << "instance S " << NineCharacters(index) << "\n";
        }
        Stopwatch watch;
        bench.tool->ReadIncoming();
        const double seconds = watch.Seconds();
        bench.document->layout.ClearCalls();
        std::printf("  %7d lines: %8.1f ms", size, seconds * 1e3);
        if (previous > 0) std::printf("   (x%.1f for x10 lines)", seconds / previous);
        std::printf("\n");
        previous = seconds;
    }
}

}  // namespace

int main() {
    ::CoInitialize(nullptr);
    refhost::RegisterHostTypeLibrary();
    char current[MAX_PATH] = {};
    ::GetCurrentDirectoryA(MAX_PATH, current);
    const std::string directory = std::string(current) + "\\bench-exchange";
    ::CreateDirectoryA(directory.c_str(), nullptr);
    _putenv("TLK_SX_XPROBE_DIR=");
    {
        Bench bench(directory);
        if (pollTimerId == 0) {
            std::fprintf(stderr, "the link did not start in %s\n", directory.c_str());
            return 1;
        }
        IdleTick();
        LargeSelections(bench);
        LargeIncomingFiles(bench);
    }
    ::CoUninitialize();
    return 0;
}
