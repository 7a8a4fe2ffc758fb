// Link start and link end through the real DLL, as the host drives them.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "VantikToolSX.h"
#include "tests/addin/HostFixture.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/MessageBoxWatcher.h"

namespace vantik::test {
namespace {

constexpr const char* kCaption = "Ostrine Tool Module";

std::string OwnEntry() { return "Routana " + std::to_string(::GetCurrentProcessId()) + "\r\n"; }

void ExpectOneBox(const MessageBoxWatcher& watcher, const std::string& text, BoxIcon icon) {
    const std::vector<SeenBox> boxes = watcher.Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, kCaption);
    EXPECT_EQ(boxes[0].text, text);
    EXPECT_EQ(boxes[0].icon, icon);
}

using LinkTest = HostFixture;

TEST_F(LinkTest, ClassFactoryServesTheToolWithItsInterfaces) {
    ComPtr<IHostToolLink> tool = NewTool();
    ASSERT_TRUE(tool);
    EXPECT_TRUE(tool.As<IHostToolLink2>());
    EXPECT_TRUE(tool.As<IVantikTool>());
    EXPECT_TRUE(tool.As<IDispatch>());
    ComPtr<ISupportErrorInfo> errorInfo = tool.As<ISupportErrorInfo>();
    ASSERT_TRUE(errorInfo);
    EXPECT_EQ(errorInfo->InterfaceSupportsErrorInfo(IID_IVantikTool), S_OK);
    EXPECT_EQ(errorInfo->InterfaceSupportsErrorInfo(IID_IHostToolLink), S_FALSE);
    EXPECT_FALSE(tool.As<IConnectionPointContainer>());

    // One identity whichever interface is asked.
    ComPtr<IUnknown> fromLink = tool.As<IUnknown>();
    ComPtr<IUnknown> fromNamed = tool.As<IHostToolLink2>().As<IUnknown>();
    EXPECT_EQ(fromLink.Get(), fromNamed.Get());
}

TEST_F(LinkTest, OnlyTheToolClassIsServed) {
    void* object = reinterpret_cast<void*>(1);
    EXPECT_EQ(addIn.GetClassObject(IID_IHostToolLink, IID_IClassFactory, &object), CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(addIn.GetClassObject(CLSID_VantikTool, IID_IClassFactory, nullptr), E_POINTER);

    ComPtr<IClassFactory> factory;
    ASSERT_HRESULT_SUCCEEDED(addIn.GetClassObject(CLSID_VantikTool, IID_IClassFactory, factory.PutVoid()));
    ComPtr<IUnknown> outer = ComPtr<IHostToolLink>(NewTool()).As<IUnknown>();
    ComPtr<IUnknown> aggregated;
    EXPECT_EQ(factory->CreateInstance(outer.Get(), IID_IUnknown, aggregated.PutVoid()), CLASS_E_NOAGGREGATION);
}

TEST_F(LinkTest, ModuleStaysLoadedWhileAnObjectOrAServerLockLives) {
    EXPECT_EQ(addIn.CanUnloadNow(), S_OK);
    ComPtr<IHostToolLink> tool = NewTool();
    EXPECT_EQ(addIn.CanUnloadNow(), S_FALSE);
    tool.Reset();
    EXPECT_EQ(addIn.CanUnloadNow(), S_OK);

    ComPtr<IClassFactory> factory;
    ASSERT_HRESULT_SUCCEEDED(addIn.GetClassObject(CLSID_VantikTool, IID_IClassFactory, factory.PutVoid()));
    factory->LockServer(TRUE);
    EXPECT_EQ(addIn.CanUnloadNow(), S_FALSE);
    factory->LockServer(FALSE);
    EXPECT_EQ(addIn.CanUnloadNow(), S_OK);
}

TEST_F(LinkTest, ReleasingAToolThatNeverLinkedTouchesNothingOfTheHost) {
    document->AddRef();
    const ULONG documentReferences = document->Release();
    NewTool().Reset();
    document->AddRef();
    EXPECT_EQ(document->Release(), documentReferences);
    EXPECT_TRUE(document->layout.calls.empty());
    EXPECT_EQ(addIn.CanUnloadNow(), S_OK);
}

TEST_F(LinkTest, LinkStartRegistersConnectsAndTicksUntilLinkEnd) {
    ComPtr<IHostToolLink> tool = NewTool();
    ASSERT_EQ(StartLink(tool.Get(), designDirectory), S_OK);
    EXPECT_EQ(ReadFileBytes(Exchange("sx_ly.lock")), OwnEntry());
    EXPECT_EQ(document->ConnectionCount(), 1u);

    // The poll timer is a chain of one-second ticks: each reads one incoming file.
    for (const char* instance : {"I1", "I2", "I3"}) {
        SCOPED_TRACE(instance);
        WriteFileText(Exchange("sx_to_ly_pipe"), std::string("instance S ") + instance + "\n");
        EXPECT_TRUE(PumpUntilCalled(std::string("SelectInstance ") + instance));
        EXPECT_FALSE(FileExists(Exchange("sx_to_ly_pipe")));
    }

    EXPECT_EQ(tool->EndLink(), S_OK);
    EXPECT_EQ(document->ConnectionCount(), 0u);
    EXPECT_EQ(ReadFileBytes(Exchange("sx_ly.lock")), "");

    // No tick follows link end.
    WriteFileText(Exchange("sx_to_ly_pipe"), "instance S I4\n");
    EXPECT_FALSE(PumpUntilCalled("SelectInstance I4", 2500));
}

TEST_F(LinkTest, StaleExchangeFilesAreDeletedAtLinkStartAndLogsOnlyWhenLogging) {
    for (const bool logging : {false, true}) {
        SCOPED_TRACE(logging ? "logging on" : "logging off");
        ScopedEnvironment variable("TLK_ENABLE_VANTIK_LOG", logging ? "1" : nullptr);
        for (const char* name : {"sx_to_ly_pipe", "ly_to_sx_pipe", "LogSX.txt", "LogLY.txt"}) {
            WriteFileText(Exchange(name), "old\n");
        }
        ComPtr<IHostToolLink> tool = NewTool();
        ASSERT_EQ(StartLink(tool.Get(), designDirectory), S_OK);
        EXPECT_FALSE(FileExists(Exchange("sx_to_ly_pipe")));
        EXPECT_FALSE(FileExists(Exchange("ly_to_sx_pipe")));
        EXPECT_EQ(FileExists(Exchange("LogSX.txt")), !logging);
        EXPECT_EQ(FileExists(Exchange("LogLY.txt")), !logging);
        tool->EndLink();
        std::remove(Exchange("ly_to_sx_pipe").c_str());
    }
}

// The launcher is not part of this build: a launch request is refused, and
// the lock entry written just before stays until link end.
TEST_F(LinkTest, LaunchRequestIsRefusedWithMessage104) {
    MessageBoxWatcher watcher;
    ComPtr<IHostToolLink> tool = NewTool();
    EXPECT_EQ(StartLink(tool.Get(), designDirectory, VARIANT_TRUE), E_FAIL);
    ExpectOneBox(watcher, "Unable to launch schematic tool.", BoxIcon::Error);
    EXPECT_EQ(ReadFileBytes(Exchange("sx_ly.lock")), OwnEntry());
    // No timer was armed.
    WriteFileText(Exchange("sx_to_ly_pipe"), "instance S I4\n");
    EXPECT_FALSE(PumpUntilCalled("SelectInstance I4", 2500));
    EXPECT_EQ(tool->EndLink(), S_OK);
    EXPECT_EQ(ReadFileBytes(Exchange("sx_ly.lock")), "");

    // Only VARIANT_TRUE asks for a launch.
    EXPECT_EQ(StartLink(tool.Get(), designDirectory, 1), S_OK);
    EXPECT_EQ(watcher.Boxes().size(), 1u);
    tool->EndLink();
}

TEST_F(LinkTest, SecondLinkStartLeavesOneEventConnection) {
    ComPtr<IHostToolLink> tool = NewTool();
    ASSERT_EQ(StartLink(tool.Get(), designDirectory), S_OK);
    ASSERT_EQ(StartLink(tool.Get(), designDirectory), S_OK);
    EXPECT_EQ(document->ConnectionCount(), 1u);
    // Registered once: the own entry is found the second time.
    EXPECT_EQ(ReadFileBytes(Exchange("sx_ly.lock")), OwnEntry());
    tool->EndLink();
    EXPECT_EQ(document->ConnectionCount(), 0u);
}

// An empty value is an explicit path: the exchange files lie in the current
// directory and the lock file in the root of the current drive. Drive C: is
// in the build's own Wine prefix, so its root is the test's to use.
TEST_F(LinkTest, EmptyExchangeVariableRegistersAndRemovesInTheDriveRoot) {
    const std::string current = "C:\\vantik-empty-exchange";
    const std::string lock = "C:\\sx_ly.lock";
    char previous[MAX_PATH] = {};
    ::GetCurrentDirectoryA(MAX_PATH, previous);
    ::CreateDirectoryA(current.c_str(), nullptr);
    ASSERT_TRUE(::SetCurrentDirectoryA(current.c_str()));
    std::remove(lock.c_str());
    {
        ScopedEnvironment variable("TLK_SX_XPROBE_DIR", "");
        ComPtr<IHostToolLink> tool = NewTool();
        EXPECT_EQ(StartLink(tool.Get(), designDirectory), S_OK);
        EXPECT_EQ(ReadFileBytes(lock), OwnEntry());
        WriteFileText(current + "\\sx_to_ly_pipe", "instance S I1\n");
        EXPECT_TRUE(PumpUntilCalled("SelectInstance I1"));
        EXPECT_EQ(tool->EndLink(), S_OK);
        EXPECT_EQ(ReadFileBytes(lock), "");
        EXPECT_EQ(ReadFileBytes(current + "\\ly_to_sx_pipe"), "$ly_sx_terminate_crossprobe()\r\n");
    }
    ::SetCurrentDirectoryA(previous);
    for (const std::string& file : {lock, std::string("C:\\sx_ly.bck"), current + "\\ly_to_sx_pipe"}) {
        std::remove(file.c_str());
    }
    ::RemoveDirectoryA(current.c_str());
}

TEST_F(LinkTest, NullDocumentIsRefusedAndChangesNothing) {
    MessageBoxWatcher watcher;
    ComPtr<IHostToolLink> tool = NewTool();
    EXPECT_EQ(tool->StartLink(nullptr, Bstr::FromAnsi(designDirectory).Get(), VARIANT_FALSE), E_FAIL);
    refhost::PumpMessages(300);
    EXPECT_TRUE(watcher.Boxes().empty());
    EXPECT_FALSE(FileExists(Exchange("sx_ly.lock")));
}

TEST_F(LinkTest, MissingDesignDirectoryIsRefusedWithMessage103) {
    MessageBoxWatcher watcher;
    ComPtr<IHostToolLink> tool = NewTool();
    EXPECT_EQ(StartLink(tool.Get(), scratch.Path("missing")), E_FAIL);
    ExpectOneBox(watcher, "Schematic directory not set or not found.", BoxIcon::Error);
    // The sink stays connected until link end, which never fails.
    EXPECT_EQ(document->ConnectionCount(), 1u);
    EXPECT_EQ(tool->EndLink(), S_OK);
    EXPECT_EQ(document->ConnectionCount(), 0u);
    EXPECT_EQ(watcher.Boxes().size(), 1u);
}

TEST_F(LinkTest, PreferLocalExchangeChoosesTheLocalDirectoryAndAFailureCountsAsFalse) {
    const std::string temporary = scratch.MakeDirectory("tmp");
    ScopedEnvironment tmpdir("TMPDIR", temporary.c_str());
    const std::string localLock = scratch.Path("tmp\\sx_xprobe\\board\\sx_ly.lock");

    struct Case {
        const char* name;
        bool preferLocal;
        refhost::HostFault fault;
        bool local;
    };
    const Case cases[] = {
        {"answer true", true, refhost::HostFault::None, true},
        {"answer false", false, refhost::HostFault::None, false},
        {"call fails", true, refhost::HostFault::NegativeStatus, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        document->layout.preferLocalExchange = c.preferLocal;
        document->layout.faults["PreferLocalExchange"] = c.fault;
        ComPtr<IHostToolLink> tool = NewTool();
        ASSERT_EQ(StartLink(tool.Get(), designDirectory), S_OK);
        EXPECT_EQ(FileExists(localLock), c.local);
        EXPECT_EQ(FileExists(Exchange("sx_ly.lock")), !c.local);
        tool->EndLink();
        std::remove(localLock.c_str());
        std::remove(Exchange("sx_ly.lock").c_str());
    }
}

TEST_F(LinkTest, LiveLayoutProcessInTheLockFileRefusesWithTheNamedTool) {
    ChildProcess other("sleep 60");
    ASSERT_TRUE(other.Started());
    const std::string lock = "routana " + std::to_string(other.Id()) + "\r\n";
    WriteFileText(Exchange("sx_ly.lock"), lock);

    MessageBoxWatcher watcher;
    ComPtr<IHostToolLink> tool = NewTool();
    EXPECT_EQ(StartLinkWithName(tool.Get(), designDirectory, "Board Ostrine DMS"), E_FAIL);
    ExpectOneBox(watcher, "Board Ostrine DMS is already cross probing with another instance of this application.",
                 BoxIcon::Warning);
    EXPECT_EQ(ReadFileBytes(Exchange("sx_ly.lock")), lock);

    // No poll timer: an incoming file stays unread.
    WriteFileText(Exchange("sx_to_ly_pipe"), "instance S I1\n");
    EXPECT_FALSE(PumpUntilCalled("SelectInstance I1", 2500));
    tool->EndLink();
}

TEST_F(LinkTest, SchematicToolTakenByAnotherApplicationRefusesWithMessage108) {
    ChildProcess other("sleep 60");
    ASSERT_TRUE(other.Started());
    WriteFileText(Exchange("sx_ly.lock"), "SX 4120 pcb_design_vpt\r\nViewer " + std::to_string(other.Id()) + "\r\n");
    MessageBoxWatcher watcher;
    ComPtr<IHostToolLink> tool = NewTool();
    EXPECT_EQ(StartLink(tool.Get(), designDirectory), E_FAIL);
    ExpectOneBox(watcher, "Design Ostrine is already cross probing with another application.", BoxIcon::Warning);
    tool->EndLink();
}

TEST_F(LinkTest, SecondHostProcessWithALiveLinkRefusesTheLink) {
    const std::string program = refhost::WindowsPath(VANTIK_REFHOST_PROGRAM);
    PROCESS_INFORMATION process = {};
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    std::string command = "\"" + program + "\" hold-link \"" + designDirectory + "\" 30";
    ASSERT_TRUE(::CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                                 &process));
    ::CloseHandle(process.hThread);
    const std::string otherEntry = "Routana " + std::to_string(process.dwProcessId) + "\r\n";
    const bool registered =
        refhost::PumpUntil([&] { return ReadFileBytes(Exchange("sx_ly.lock")) == otherEntry; }, 20000);

    if (registered) {
        MessageBoxWatcher watcher;
        ComPtr<IHostToolLink> tool = NewTool();
        EXPECT_EQ(StartLink(tool.Get(), designDirectory), E_FAIL);
        ExpectOneBox(watcher, "Design Ostrine is already cross probing with another instance of this application.",
                     BoxIcon::Warning);
        EXPECT_EQ(tool->EndLink(), S_OK);
        EXPECT_EQ(ReadFileBytes(Exchange("sx_ly.lock")), otherEntry);
        EXPECT_EQ(watcher.Boxes().size(), 1u);
    }
    ::TerminateProcess(process.hProcess, 0);
    ::WaitForSingleObject(process.hProcess, 5000);
    ::CloseHandle(process.hProcess);
    ASSERT_TRUE(registered) << ReadFileBytes(Exchange("sx_ly.lock"));
}

TEST_F(LinkTest, LinkEndRemovesOnlyThisProcessEntry) {
    const std::string others = "SX 4120 pcb_design_vpt\r\nRoutana 2147483000\r\n";
    WriteFileText(Exchange("sx_ly.lock"), others);
    ComPtr<IHostToolLink> tool = NewTool();
    ASSERT_EQ(StartLink(tool.Get(), designDirectory), S_OK);
    EXPECT_EQ(ReadFileBytes(Exchange("sx_ly.lock")), others + OwnEntry());
    EXPECT_EQ(tool->EndLink(), S_OK);
    EXPECT_EQ(ReadFileBytes(Exchange("sx_ly.lock")), others);
}

TEST_F(LinkTest, LockFileHeldLongerThanTheRetryTimeRefusesWithMessage109) {
    WriteFileText(Exchange("sx_ly.lock"), "SX 4120 pcb_design_vpt\r\n");
    ChildProcess holder("hold \"" + Exchange("sx_ly.lock") + "\" 14 \"" + Exchange("held") + "\"");
    ASSERT_TRUE(holder.Started());
    ASSERT_TRUE(WaitForPath(Exchange("held"), 10000));
    MessageBoxWatcher watcher;
    ComPtr<IHostToolLink> tool = NewTool();
    EXPECT_EQ(StartLink(tool.Get(), designDirectory), E_FAIL);
    ExpectOneBox(watcher, "Unable to update locking file.", BoxIcon::Warning);
    holder.WaitForExit(15000);
    EXPECT_EQ(ReadFileBytes(Exchange("sx_ly.lock")), "SX 4120 pcb_design_vpt\r\n");
    tool->EndLink();
}

TEST_F(LinkTest, FailedLockRemovalShowsMessage105AndLosesNothing) {
    ComPtr<IHostToolLink> tool = NewTool();
    ASSERT_EQ(StartLink(tool.Get(), designDirectory), S_OK);
    {
        // Held open exclusively for longer than the lock file's retry time.
        ChildProcess holder("hold \"" + Exchange("sx_ly.lock") + "\" 14 \"" + Exchange("held") + "\"");
        ASSERT_TRUE(holder.Started());
        ASSERT_TRUE(WaitForPath(Exchange("held"), 10000));
        MessageBoxWatcher watcher;
        EXPECT_EQ(tool->EndLink(), S_OK);
        ExpectOneBox(watcher, "Unable to remove process id from locking file.", BoxIcon::Warning);
        holder.WaitForExit(15000);
    }
    // Nothing was lost while the removal could not go on.
    EXPECT_EQ(ReadFileBytes(Exchange("sx_ly.lock")), OwnEntry());
}

TEST_F(LinkTest, ReleasedToolIsNeverReachedByALaterTick) {
    ComPtr<IHostToolLink> tool = NewTool();
    ASSERT_EQ(StartLink(tool.Get(), designDirectory), S_OK);
    // The host drops its connection without link end, then the tool itself.
    document->DropConnections();
    tool.Reset();
    EXPECT_EQ(addIn.CanUnloadNow(), S_OK);
    WriteFileText(Exchange("sx_to_ly_pipe"), "instance S I1\n");
    refhost::PumpMessages(2500);
    EXPECT_TRUE(FileExists(Exchange("sx_to_ly_pipe")));
    EXPECT_FALSE(document->layout.Called("SelectInstance I1"));
}

}  // namespace
}  // namespace vantik::test
