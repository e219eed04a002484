#pragma once
// The control base: a client site set by the container, the properties verb, painting of the
// control's face, and exchange of its persistent state.

#include <cstdint>

#include "platform/Com.h"

class QPainter;
class QRect;
class QWidget;

namespace platform {

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

class COleControl {
public:
    COleControl() = default;
    COleControl(const COleControl&) = delete;
    COleControl& operator=(const COleControl&) = delete;
    virtual ~COleControl() = default;

    void SetClientSite(IOleClientSite* site) { clientSite_ = site; }
    IOleClientSite* GetClientSite() const { return clientSite_; }

    // The properties verb: the container's message, parent window and rectangle.
    virtual BOOL OnProperties(void* message, QWidget* parent, const QRect* rect) = 0;
    virtual void OnDraw(QPainter& dc, const QRect& bounds, const QRect& invalid) = 0;
    virtual void DoPropExchange(CPropExchange& exchange) = 0;
    virtual void OnResetState() {}

private:
    IOleClientSite* clientSite_ = nullptr;
};

}  // namespace platform
