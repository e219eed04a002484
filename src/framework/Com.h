#pragma once
// COM-shaped types: the host's interfaces and the control's client site keep the binary
// shape of COM objects (three base methods at vtable positions 0 to 2, reference counting,
// interfaces obtained by IID through QueryInterface).

#include <atomic>
#include <compare>
#include <cstdint>
#include <string>
#include <string_view>

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
inline constexpr HRESULT E_INVALIDARG = static_cast<HRESULT>(0x80070057u);
inline constexpr HRESULT CLASS_E_NOAGGREGATION = static_cast<HRESULT>(0x80040110u);
inline constexpr HRESULT CLASS_E_CLASSNOTAVAILABLE = static_cast<HRESULT>(0x80040111u);
inline constexpr HRESULT SELFREG_E_TYPELIB = static_cast<HRESULT>(0x80040200u);
inline constexpr HRESULT SELFREG_E_CLASS = static_cast<HRESULT>(0x80040201u);
inline constexpr HRESULT DISP_E_MEMBERNOTFOUND = static_cast<HRESULT>(0x80020003u);
inline constexpr HRESULT DISP_E_UNKNOWNNAME = static_cast<HRESULT>(0x80020006u);
inline constexpr HRESULT DISP_E_BADPARAMCOUNT = static_cast<HRESULT>(0x8002000Eu);

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
// Reads the registry form back (hexadecimal digits in either case); false for anything else.
bool GuidFromString(std::string_view text, GUID& guid);
// The result code as the system writes it: "0x80040201".
std::string HresultText(HRESULT result);

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

inline constexpr IID IID_IClassFactory = {
    0x00000001, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
inline constexpr IID IID_IDispatch = {
    0x00020400, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

// A module's class object: makes new objects of one class.
class IClassFactory : public IUnknown {
public:
    // outer must be null: the module's objects cannot be aggregated.
    virtual HRESULT CreateInstance(IUnknown* outer, const IID& iid, void** object) = 0;
    // While locked, the module stays loaded even with no object alive.
    virtual HRESULT LockServer(BOOL lock) = 0;

protected:
    ~IClassFactory() = default;
};

// Late-bound calls by dispatch ID. The arguments of a call are a count only: no member of this
// module's dispatch interfaces takes any.
using DISPID = std::int32_t;
inline constexpr std::uint16_t DISPATCH_METHOD = 1;
inline constexpr DISPID DISPID_ABOUTBOX = -552;  // the stock About-box method

struct DISPPARAMS {
    unsigned argumentCount = 0;
};

class IDispatch : public IUnknown {
public:
    // 1 when the object describes its members through a type library, 0 otherwise.
    virtual HRESULT GetTypeInfoCount(unsigned* count) = 0;
    // The dispatch ID of each name, compared without regard to case.
    virtual HRESULT GetIDsOfNames(const char* const* names, unsigned count, DISPID* ids) = 0;
    virtual HRESULT Invoke(DISPID member, std::uint16_t flags, const DISPPARAMS* params) = 0;

protected:
    ~IDispatch() = default;
};

// The control's client site: the container object through which the host offers its
// interfaces. The control keeps it without a reference of its own.
using IOleClientSite = IUnknown;
