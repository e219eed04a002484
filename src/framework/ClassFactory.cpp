#include "framework/ClassFactory.h"

namespace platform {

HRESULT COleObjectFactory::QueryInterface(const IID& iid, void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    if (iid == IID_IUnknown || iid == IID_IClassFactory) {
        *object = static_cast<IClassFactory*>(this);
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

HRESULT COleObjectFactory::CreateInstance(IUnknown* outer, const IID& iid, void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    *object = nullptr;
    if (outer != nullptr) {
        return CLASS_E_NOAGGREGATION;
    }
    ManageModuleState scope(state_);
    IUnknown* created = create_();
    if (created == nullptr) {
        return E_FAIL;
    }
    const HRESULT result = created->QueryInterface(iid, object);
    created->Release();
    return result;
}

HRESULT COleObjectFactory::LockServer(BOOL lock) {
    if (lock) {
        ++state_.locks;
    } else if (state_.locks > 0) {
        --state_.locks;
    }
    return S_OK;
}

}  // namespace platform
