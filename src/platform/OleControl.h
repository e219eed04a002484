#pragma once
// The control base: a COM object that a host creates through the module's class object. It
// takes the container's client site, runs its verbs (the properties verb), paints its face,
// answers late-bound calls through its dispatch interface, and exchanges its persistent state.
// Every entry point a host calls switches to the framework state of the control's module.

#include <cstdint>
#include <span>

#include "framework/Com.h"
#include "framework/ModuleState.h"

class QPainter;
class QRect;
class QWidget;

namespace platform {

struct TypeDescription;

inline constexpr IID IID_IOleObject = {
    0x00000112, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
inline constexpr IID IID_IViewObject = {
    0x0000010D, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

// The standard verb that opens the object's property pages.
inline constexpr std::int32_t OLEIVERB_PROPERTIES = -7;

// The embedded object as a container sees it: the operations a network tool uses.
class IOleObject : public IUnknown {
public:
    // The object keeps a reference to the site until another site (or null) is set.
    virtual HRESULT SetClientSite(IOleClientSite* site) = 0;
    virtual HRESULT GetClientSite(IOleClientSite** site) = 0;
    // Runs a verb with the container's parent window and the object's rectangle (both optional).
    virtual HRESULT DoVerb(std::int32_t verb, QWidget* parent, const QRect* rect) = 0;
    virtual HRESULT GetUserClassID(CLSID* clsid) = 0;
    virtual HRESULT GetMiscStatus(std::uint32_t* status) = 0;

protected:
    ~IOleObject() = default;
};

// Paints the object's face into a container's painter.
class IViewObject : public IUnknown {
public:
    virtual HRESULT Draw(QPainter* dc, const QRect* bounds) = 0;

protected:
    ~IViewObject() = default;
};

// The control's persistent state: only a version number.
class CPropExchange {
public:
    explicit CPropExchange(bool loading, std::uint32_t storedVersion = 0)
        : loading_(loading), stored_(storedVersion) {}

    bool IsLoading() const { return loading_; }
    std::uint32_t StoredVersion() const { return stored_; }

    // Loading: versionLoaded becomes the stored version (defaultVersion when nothing is
    // stored). Saving: the state is saved as defaultVersion when convert is on (state loaded
    // from an older version is saved again as the current one), else as versionLoaded.
    bool ExchangeVersion(std::uint32_t& versionLoaded, std::uint32_t defaultVersion, bool convert);

private:
    bool loading_;
    std::uint32_t stored_;
};

class COleControl;

// One method of a control's dispatch map: its dispatch ID and the member function it runs.
struct DispatchEntry {
    DISPID id;
    void (*invoke)(COleControl& control);
};

class COleControl : public IOleObject, public IViewObject, public IDispatch {
public:
    // Counts itself among the objects of the module whose code runs now.
    COleControl();
    COleControl(const COleControl&) = delete;
    COleControl& operator=(const COleControl&) = delete;
    virtual ~COleControl();

    // IUnknown, shared by the three interfaces. A control starts with one reference, its
    // creator's; the last Release deletes it.
    HRESULT QueryInterface(const IID& iid, void** object) override;
    ULONG AddRef() override;
    ULONG Release() override;

    // IOleObject.
    HRESULT SetClientSite(IOleClientSite* site) override;
    HRESULT GetClientSite(IOleClientSite** site) override;
    HRESULT DoVerb(std::int32_t verb, QWidget* parent, const QRect* rect) override;
    HRESULT GetUserClassID(CLSID* clsid) override;
    HRESULT GetMiscStatus(std::uint32_t* status) override;
    // IViewObject.
    HRESULT Draw(QPainter* dc, const QRect* bounds) override;
    // IDispatch, answered from the control's dispatch type and dispatch map.
    HRESULT GetTypeInfoCount(unsigned* count) override;
    HRESULT GetIDsOfNames(const char* const* names, unsigned count, DISPID* ids) override;
    HRESULT Invoke(DISPID member, std::uint16_t flags, const DISPPARAMS* params) override;

    // The site the container set, without a reference of the caller's own.
    IOleClientSite* GetClientSite() const { return clientSite_; }

    // The properties verb: the container's message, parent window and rectangle.
    virtual BOOL OnProperties(void* message, QWidget* parent, const QRect* rect) = 0;
    virtual void OnDraw(QPainter& dc, const QRect& bounds, const QRect& invalid) = 0;
    virtual void DoPropExchange(CPropExchange& exchange) = 0;
    virtual void OnResetState() {}

protected:
    virtual CLSID ClassId() const = 0;
    virtual std::uint32_t MiscStatus() const = 0;
    // The primary dispatch interface's description (names, IDs) and the methods it runs.
    virtual const TypeDescription* DispatchType() const { return nullptr; }
    virtual std::span<const DispatchEntry> DispatchMap() const { return {}; }

private:
    ModuleState& state_;
    ULONG refs_ = 1;
    IOleClientSite* clientSite_ = nullptr;
};

}  // namespace platform
