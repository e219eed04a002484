#pragma once
// A module's class object for one class: makes a new object on every creation request, counts
// server locks in the module's state, and switches to that state while it works.

#include "framework/Com.h"
#include "framework/ModuleState.h"

namespace platform {

class COleObjectFactory final : public IClassFactory {
public:
    // A new object with one reference, owned by the caller.
    using Creator = IUnknown* (*)();

    COleObjectFactory(const CLSID& clsid, ModuleState& state, Creator create)
        : clsid_(clsid), state_(state), create_(create) {}
    COleObjectFactory(const COleObjectFactory&) = delete;
    COleObjectFactory& operator=(const COleObjectFactory&) = delete;

    const CLSID& ClassId() const { return clsid_; }

    HRESULT QueryInterface(const IID& iid, void** object) override;
    // The class object lives as long as its module; references do not keep it alive, locks do.
    ULONG AddRef() override { return 2; }
    ULONG Release() override { return 1; }
    HRESULT CreateInstance(IUnknown* outer, const IID& iid, void** object) override;
    HRESULT LockServer(BOOL lock) override;

private:
    CLSID clsid_;
    ModuleState& state_;
    Creator create_;
};

}  // namespace platform
