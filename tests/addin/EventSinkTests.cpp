// The host's events reaching the tool object through its sink, fired by the
// reference host's real connection point and IDispatch::Invoke.
#include <gtest/gtest.h>

#include "refhost/HostSession.h"
#include "tests/addin/ToolFixture.h"

namespace vantik::test {
namespace {

using Strings = std::vector<std::string>;
const std::string kClear = "$crossprobe_unselect_all()";

VARIANT TextArgument(const char* text) {
    VARIANT argument;
    ::VariantInit(&argument);
    V_VT(&argument) = VT_BSTR;
    V_BSTR(&argument) = Bstr::FromAnsi(text).Detach();
    return argument;
}

VARIANT NumberArgument(long number) {
    VARIANT argument;
    ::VariantInit(&argument);
    V_VT(&argument) = VT_I4;
    V_I4(&argument) = number;
    return argument;
}

class EventSinkTest : public ToolFixture {
protected:
    void Link() {
        ASSERT_EQ(StartLink(link.Get(), designDirectory), S_OK);
        document->layout.ClearCalls();
        SetTime(9'000'000);
    }
    ~EventSinkTest() override {
        if (link) tool->EndLink();
    }
};

TEST_F(EventSinkTest, EachDispatchIdReachesItsReaction) {
    auto& layout = document->layout;
    layout.selectedComponents = {"U1"};
    layout.selectedNets = {"GND"};
    layout.selectedPins = {"U7-12"};
    layout.highlightEventComponents = {"U2"};
    struct Case {
        DISPID id;
        bool highlightMode;
        Strings sent;
    };
    const Case cases[] = {
        {4, false, {kClear, "$ly_sx_action([[@select, @instance, [\"I1\"]]]);"}},
        {5, false, {kClear, "$ly_sx_action([[@select, @net, [\"GND\"]]]);"}},
        {6, false, {kClear, "$ly_sx_action([[@select, @pin, [\"I7/12\"]]]);"}},
        {20, false, {"$SwitchToSX()"}},
        {21, false, {kClear, "$ly_sx_action([[@select, @instance, [\"I1\"]]]);"}},
        {22, true, {kClear, "$ly_sx_action([[@highlight, @instance, [\"I2\", \"I3\"]]]);"}},
    };
    Link();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        tool->highlightMode = c.highlightMode;
        SetTime(9'000'000 + 10 * (&c - cases));  // pin events need a quiet layout
        EXPECT_EQ(document->Fire(c.id), S_OK);
        EXPECT_EQ(Lines(Outgoing()), c.sent);
        RemoveOutgoing();
    }
}

TEST_F(EventSinkTest, ComponentPickedDeliversItsNamePositionalOrNamed) {
    Link();
    EXPECT_EQ(document->Fire(19, {TextArgument("U2")}), S_OK);
    EXPECT_EQ(Lines(Outgoing()), (Strings{kClear, "$ly_sx_action([[@select, @instance, [\"I2\", \"I3\"]]]);"}));
    RemoveOutgoing();

    VARIANT argument = TextArgument("U1");
    DISPID named = 0;
    DISPPARAMS parameters = {&argument, &named, 1, 1};
    ComPtr<IDispatch> sink = document->Sinks().at(0);
    EXPECT_EQ(sink->Invoke(19, IID_NULL, 0, DISPATCH_METHOD, &parameters, nullptr, nullptr, nullptr), S_OK);
    ::VariantClear(&argument);
    EXPECT_EQ(Lines(Outgoing()), (Strings{kClear, "$ly_sx_action([[@select, @instance, [\"I1\"]]]);"}));
}

TEST_F(EventSinkTest, HighlightClearedAndDocumentClosingChangeTheToolState) {
    Link();
    tool->highlightMode = 1;
    EXPECT_EQ(document->Fire(8, {NumberArgument(7)}), S_OK);
    EXPECT_EQ(tool->highlightMode, 0);
    EXPECT_EQ(document->Fire(8, {TextArgument("12")}), S_OK);
    EXPECT_EQ(tool->highlightMode, 0);
    // Its argument is not used, so whatever comes with it (or nothing) is taken.
    VARIANT nothing;
    ::VariantInit(&nothing);
    V_VT(&nothing) = VT_NULL;
    for (std::vector<VARIANT> arguments : {std::vector<VARIANT>{TextArgument("twelve")},
                                           std::vector<VARIANT>{nothing}, std::vector<VARIANT>{}}) {
        tool->highlightMode = 1;
        EXPECT_EQ(document->Fire(8, arguments), S_OK);
        EXPECT_EQ(tool->highlightMode, 0);
    }

    ASSERT_NE(pollTimerId, 0u);
    EXPECT_EQ(document->Fire(3), S_OK);
    EXPECT_EQ(pollTimerId, 0u);
    EXPECT_EQ(document->Fire(3), S_OK);
    EXPECT_TRUE(document->layout.calls.empty());
}

TEST_F(EventSinkTest, EventsWithoutAReactionChangeNothing) {
    document->layout.selectedComponents = {"U1"};
    Link();
    tool->highlightMode = 1;
    const UINT_PTR armed = pollTimerId;
    for (DISPID id : {1, 2, 7, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 23, 100, -5}) {
        SCOPED_TRACE(id);
        std::vector<VARIANT> arguments;
        if (id == 9) arguments = {TextArgument("U1"), TextArgument("Value")};
        EXPECT_EQ(document->Fire(id, std::move(arguments)), S_OK);
    }
    EXPECT_FALSE(OutgoingExists());
    EXPECT_TRUE(document->layout.calls.empty());
    EXPECT_EQ(tool->highlightMode, 1);
    EXPECT_EQ(pollTimerId, armed);
}

TEST_F(EventSinkTest, WithoutTheHostsTypeLibraryEveryEventIsAcceptedAndIgnored) {
    ASSERT_HRESULT_SUCCEEDED(refhost::UnregisterHostTypeLibrary());
    MakeTool();
    document->layout.selectedComponents = {"U1"};
    Link();
    for (DISPID id : {3, 4, 8, 19, 20}) {
        SCOPED_TRACE(id);
        EXPECT_EQ(document->Fire(id), S_OK);
    }
    EXPECT_FALSE(OutgoingExists());
    EXPECT_NE(pollTimerId, 0u);
    EXPECT_HRESULT_SUCCEEDED(refhost::RegisterHostTypeLibrary());
}

TEST_F(EventSinkTest, AnEventDeclaredWithMoreThanEightArgumentsIsRefused) {
    ASSERT_HRESULT_SUCCEEDED(refhost::RegisterHostTypeLibrary(refhost::WindowsPath(VANTIK_WIDE_EVENTS_TLB)));
    MakeTool();
    document->layout.selectedComponents = {"U1"};
    Link();
    std::vector<VARIANT> nine;
    for (long index = 1; index <= 9; ++index) nine.push_back(NumberArgument(index));
    EXPECT_EQ(document->Fire(9, std::move(nine)), E_FAIL);
    EXPECT_EQ(document->Fire(4), S_OK);
    EXPECT_TRUE(OutgoingExists());
    EXPECT_HRESULT_SUCCEEDED(refhost::RegisterHostTypeLibrary());
}

TEST_F(EventSinkTest, RefusedConnectionLeavesTheSinkNotConnected) {
    document->layout.faults = {{"Advise", refhost::HostFault::NegativeStatus}};
    Link();
    EXPECT_EQ(tool->EventSink().Cookie(), 0xFEFEFEFEu);
    EXPECT_EQ(document->ConnectionCount(), 0u);
}

TEST_F(EventSinkTest, SinkAnswersOnlyForTheEventInterfaceAndItsBases) {
    EXPECT_EQ(tool->EventSink().Cookie(), 0xFEFEFEFEu);
    Link();
    EXPECT_NE(tool->EventSink().Cookie(), 0xFEFEFEFEu);
    ComPtr<IDispatch> sink = document->Sinks().at(0);
    EXPECT_EQ(sink.Get(), static_cast<IDispatch*>(&tool->EventSink()));
    for (const IID* iid : {&DIID_HostEvents, &IID_IDispatch, &IID_IUnknown}) {
        ComPtr<IUnknown> answer;
        EXPECT_EQ(sink->QueryInterface(*iid, answer.PutVoid()), S_OK);
        EXPECT_EQ(static_cast<void*>(answer.Get()), static_cast<void*>(sink.Get()));
    }
    for (const IID* iid : {&IID_NULL, &IID_IHostToolLink, &IID_IConnectionPoint}) {
        void* answer = reinterpret_cast<void*>(1);
        EXPECT_EQ(sink->QueryInterface(*iid, &answer), E_NOINTERFACE);
        EXPECT_EQ(answer, nullptr);
    }
    UINT count = 0;
    EXPECT_EQ(sink->GetTypeInfoCount(&count), S_OK);
    EXPECT_EQ(count, 1u);
    // Type information and names come from the host's library.
    ComPtr<ITypeInfo> info;
    ASSERT_EQ(sink->GetTypeInfo(0, 0, info.Put()), S_OK);
    TYPEATTR* attributes = nullptr;
    ASSERT_EQ(info->GetTypeAttr(&attributes), S_OK);
    EXPECT_TRUE(::IsEqualGUID(attributes->guid, DIID_HostEvents));
    info->ReleaseTypeAttr(attributes);
    wchar_t eventName[] = L"ComponentPicked";
    LPOLESTR names[] = {eventName};
    DISPID id = 0;
    EXPECT_EQ(sink->GetIDsOfNames(IID_NULL, names, 1, 0, &id), S_OK);
    EXPECT_EQ(id, 19);
    sink.Reset();

    tool->EndLink();
    EXPECT_EQ(tool->EventSink().Cookie(), 0xFEFEFEFEu);
}

}  // namespace
}  // namespace vantik::test
