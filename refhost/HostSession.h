#pragma once
// What the reference host does around its document: it registers its type
// library, loads the add-in's DLL, creates tool objects through the DLL's class
// factory and pumps messages on its thread as a host's message loop does.
#include <windows.h>

#include <functional>
#include <string>

#include "HostInterfaces.h"
#include "addin/com/ComPtr.h"

namespace vantik::refhost {

class ComApartment {
public:
    ComApartment() { ::CoInitialize(nullptr); }
    ~ComApartment() { ::CoUninitialize(); }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;
};

// A Unix path ("/tmp/x") as Wine's Windows path ("Z:\tmp\x"); others unchanged.
std::string WindowsPath(const std::string& path);

std::string DefaultAddInPath();
std::string DefaultHostTypeLibraryPath();

// The host's type library in the system's registration, as an installed host has it.
HRESULT RegisterHostTypeLibrary(const std::string& path = DefaultHostTypeLibraryPath());
HRESULT UnregisterHostTypeLibrary();

class AddInModule {
public:
    AddInModule() = default;
    AddInModule(const AddInModule&) = delete;
    AddInModule& operator=(const AddInModule&) = delete;
    ~AddInModule();

    bool Load(const std::string& path = DefaultAddInPath());
    HRESULT GetClassObject(REFCLSID classId, REFIID iid, void** object) const;
    HRESULT CanUnloadNow() const;
    // A new tool object through the DLL's class factory.
    ComPtr<IHostToolLink> CreateTool() const;
    HMODULE Handle() const { return module_; }

private:
    HMODULE module_ = nullptr;
};

// Dispatches this thread's messages (timer callbacks included) for a while.
void PumpMessages(DWORD milliseconds);
// Pumps until the condition holds or the time is up; true when it held.
bool PumpUntil(const std::function<bool()>& condition, DWORD timeoutMilliseconds);

}  // namespace vantik::refhost
