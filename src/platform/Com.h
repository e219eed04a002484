#pragma once
// COM-shaped types: the host's interfaces and the control's client site keep the binary
// shape of COM objects (three base methods at vtable positions 0 to 2, reference counting,
// interfaces obtained by IID through QueryInterface).

#include <atomic>
#include <compare>
#include <cstdint>
#include <string>

using HRESULT = std::int32_t;
using ULONG = std::uint32_t;
using BOOL = int;

inline constexpr BOOL TRUE = 1;
inline constexpr BOOL FALSE = 0;
inline constexpr HRESULT S_OK = 0;
inline constexpr HRESULT S_FALSE = 1;
inline constexpr HRESULT E_NOTIMPL = static_cast<HRESULT>(0x80004001u);
inline constexpr HRESULT E_NOINTERFACE = static_cast<HRESULT>(0x80004002u);
inline constexpr HRESULT E_POINTER = static_cast<HRESULT>(0x80004003u);
inline constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005u);

struct GUID {
    std::uint32_t Data1;
    std::uint16_t Data2;
    std::uint16_t Data3;
    std::uint8_t Data4[8];

    friend bool operator==(const GUID&, const GUID&) = default;
};
using IID = GUID;
using CLSID = GUID;

// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}", the registry form of a GUID (38 characters).
std::string GuidToString(const GUID& guid);

inline constexpr IID IID_IUnknown = {
    0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

// The COM base interface. No virtual destructor: objects are destroyed by their own Release.
class IUnknown {
public:
    virtual HRESULT QueryInterface(const IID& iid, void** object) = 0;
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;

protected:
    IUnknown() = default;
    IUnknown(const IUnknown&) = default;
    IUnknown& operator=(const IUnknown&) = default;
    ~IUnknown() = default;
};

// Reference counting for an object that deletes itself when its last reference goes.
// Derived classes implement QueryInterface and call AddRef on success.
template <typename Interface>
class RefCounted : public Interface {
public:
    ULONG AddRef() override { return ++refs_; }
    ULONG Release() override {
        const ULONG left = --refs_;
        if (left == 0) {
            delete this;
        }
        return left;
    }
    ULONG RefCount() const { return refs_; }

protected:
    RefCounted() = default;
    virtual ~RefCounted() = default;

private:
    std::atomic<ULONG> refs_{1};
};

// The control's client site: the container object through which the host offers its
// interfaces. The control keeps it without a reference of its own.
using IOleClientSite = IUnknown;
