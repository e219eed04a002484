#include "platform/OleControl.h"

#include <QRect>

#include "framework/TypeLibrary.h"

namespace platform {

bool CPropExchange::ExchangeVersion(std::uint32_t& versionLoaded, std::uint32_t defaultVersion,
                                    bool convert) {
    if (loading_) {
        versionLoaded = stored_ == 0 ? defaultVersion : stored_;
    } else {
        stored_ = convert ? defaultVersion : versionLoaded;
    }
    return true;
}

COleControl::COleControl() : state_(ModuleState::Current()) {
    ++state_.objects;
}

COleControl::~COleControl() {
    if (clientSite_ != nullptr) {
        clientSite_->Release();
    }
    --state_.objects;
}

HRESULT COleControl::QueryInterface(const IID& iid, void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    const TypeDescription* dispatch = DispatchType();
    if (iid == IID_IUnknown || iid == IID_IOleObject) {
        *object = static_cast<IOleObject*>(this);
    } else if (iid == IID_IViewObject) {
        *object = static_cast<IViewObject*>(this);
    } else if (iid == IID_IDispatch || (dispatch != nullptr && iid == dispatch->id)) {
        *object = static_cast<IDispatch*>(this);
    } else {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

ULONG COleControl::AddRef() {
    return ++refs_;
}

ULONG COleControl::Release() {
    const ULONG left = --refs_;
    if (left == 0) {
        delete this;
    }
    return left;
}

HRESULT COleControl::SetClientSite(IOleClientSite* site) {
    if (site != nullptr) {
        site->AddRef();
    }
    if (clientSite_ != nullptr) {
        clientSite_->Release();
    }
    clientSite_ = site;
    return S_OK;
}

HRESULT COleControl::GetClientSite(IOleClientSite** site) {
    if (site == nullptr) {
        return E_POINTER;
    }
    *site = clientSite_;
    if (clientSite_ != nullptr) {
        clientSite_->AddRef();
    }
    return S_OK;
}

HRESULT COleControl::DoVerb(std::int32_t verb, QWidget* parent, const QRect* rect) {
    if (verb != OLEIVERB_PROPERTIES) {
        return E_NOTIMPL;
    }
    ManageModuleState scope(state_);
    // The sheet may release the last outside reference; the control outlives its own verb.
    AddRef();
    OnProperties(nullptr, parent, rect);
    Release();
    return S_OK;
}

HRESULT COleControl::GetUserClassID(CLSID* clsid) {
    if (clsid == nullptr) {
        return E_POINTER;
    }
    *clsid = ClassId();
    return S_OK;
}

HRESULT COleControl::GetMiscStatus(std::uint32_t* status) {
    if (status == nullptr) {
        return E_POINTER;
    }
    *status = MiscStatus();
    return S_OK;
}

HRESULT COleControl::Draw(QPainter* dc, const QRect* bounds) {
    if (dc == nullptr || bounds == nullptr) {
        return E_POINTER;
    }
    ManageModuleState scope(state_);
    OnDraw(*dc, *bounds, *bounds);
    return S_OK;
}

HRESULT COleControl::GetTypeInfoCount(unsigned* count) {
    if (count == nullptr) {
        return E_POINTER;
    }
    *count = DispatchType() != nullptr ? 1 : 0;
    return S_OK;
}

HRESULT COleControl::GetIDsOfNames(const char* const* names, unsigned count, DISPID* ids) {
    if (names == nullptr || ids == nullptr) {
        return E_POINTER;
    }
    const TypeDescription* type = DispatchType();
    HRESULT result = S_OK;
    for (unsigned i = 0; i < count; ++i) {
        const TypeMember* member =
            type == nullptr || names[i] == nullptr ? nullptr : FindMember(*type, names[i]);
        ids[i] = member != nullptr ? member->dispId : -1;  // DISPID_UNKNOWN
        if (member == nullptr) {
            result = DISP_E_UNKNOWNNAME;
        }
    }
    return result;
}

HRESULT COleControl::Invoke(DISPID member, std::uint16_t flags, const DISPPARAMS* params) {
    for (const DispatchEntry& entry : DispatchMap()) {
        if (entry.id != member) {
            continue;
        }
        if ((flags & DISPATCH_METHOD) == 0) {
            return DISP_E_MEMBERNOTFOUND;
        }
        if (params != nullptr && params->argumentCount != 0) {
            return DISP_E_BADPARAMCOUNT;
        }
        ManageModuleState scope(state_);
        AddRef();
        entry.invoke(*this);
        Release();
        return S_OK;
    }
    return DISP_E_MEMBERNOTFOUND;
}

}  // namespace platform
