#pragma once
// The host tool's network-variable interfaces, served on the control's client site.
// Method positions count the three base methods as 0 to 2; the unused positions are
// placeholders that a host may answer as it likes and the plug-in never calls.

#include <cstdint>

#include "framework/Com.h"

// {C9C04CC1-23F0-11D3-BC97-00A0C9E5F504}
inline constexpr IID IID_NodeReader = {
    0xC9C04CC1, 0x23F0, 0x11D3, {0xBC, 0x97, 0x00, 0xA0, 0xC9, 0xE5, 0xF5, 0x04}};
// {099B79E0-BA3D-11D0-AD92-006097174407}
inline constexpr IID IID_NodeWriter = {
    0x099B79E0, 0xBA3D, 0x11D0, {0xAD, 0x92, 0x00, 0x60, 0x97, 0x17, 0x44, 0x07}};

class NodeReader : public IUnknown {
public:
    virtual HRESULT Reserved3() { return E_NOTIMPL; }
    virtual HRESULT Reserved4() { return E_NOTIMPL; }
    virtual HRESULT Reserved5() { return E_NOTIMPL; }
    virtual HRESULT Reserved6() { return E_NOTIMPL; }
    // Position 7: fills buffer from offset 0 with up to length bytes of NV index.
    virtual HRESULT ReadNv(std::int32_t index, std::uint8_t* buffer, std::int32_t length) = 0;
    virtual HRESULT Reserved8() { return E_NOTIMPL; }
    // Position 9: the node's name as single-byte text, zero-terminated when shorter than length.
    virtual HRESULT GetNodeName(std::uint8_t* buffer, std::int32_t length) = 0;

protected:
    ~NodeReader() = default;
};

class NodeWriter : public IUnknown {
public:
    virtual HRESULT Reserved3() { return E_NOTIMPL; }
    virtual HRESULT Reserved4() { return E_NOTIMPL; }
    virtual HRESULT Reserved5() { return E_NOTIMPL; }
    virtual HRESULT Reserved6() { return E_NOTIMPL; }
    virtual HRESULT Reserved7() { return E_NOTIMPL; }
    // Position 8: sends length bytes from buffer to NV index.
    virtual HRESULT WriteNv(std::int32_t index, const std::uint8_t* buffer,
                            std::int32_t length) = 0;

protected:
    ~NodeWriter() = default;
};

// {6E1D5F3A-8B24-4C71-9A0E-3F5B2C8D7E41}
inline constexpr IID IID_NodeOperationLock = {
    0x6E1D5F3A, 0x8B24, 0x4C71, {0x9A, 0x0E, 0x3F, 0x5B, 0x2C, 0x8D, 0x7E, 0x41}};

// Served beside the two interfaces by a host that shares the node with other programs: a part
// selection (NV 44) and the NV 45 accesses that depend on it are one unit for the node, so the
// plug-in holds the node for every operation that uses the part window. Begin waits until the
// node is free; its failure means the host will refuse the part window until End. Calls nest;
// every Begin is matched by one End. A host without it serves one program only.
class NodeOperationLock : public IUnknown {
public:
    virtual HRESULT BeginOperation() = 0;
    virtual HRESULT EndOperation() = 0;

protected:
    ~NodeOperationLock() = default;
};

// {2B7C9E14-5D3A-4F86-B1C2-7A9E0D4F6C53}
inline constexpr IID IID_NodeIdentity = {
    0x2B7C9E14, 0x5D3A, 0x4F86, {0xB1, 0xC2, 0x7A, 0x9E, 0x0D, 0x4F, 0x6C, 0x53}};

// Served by a host that can tell its node from every other node of the same name (a simulated
// node's state file, a real node's Neuron ID): the write history keys the node's runs by it.
class NodeIdentity : public IUnknown {
public:
    // The identity as single-byte text, zero-terminated when shorter than length.
    virtual HRESULT GetNodeIdentity(std::uint8_t* buffer, std::int32_t length) = 0;

protected:
    ~NodeIdentity() = default;
};

// A host call's answer when the host can no longer reach the node at all (the link's router or
// interface does not answer, nothing listens on its port): every further call would wait its own
// retries in vain, so the plug-in stops the routine at once and shows the host's reason.
inline constexpr HRESULT NODE_E_UNREACHABLE = static_cast<HRESULT>(0x800704D0u);

// {8F3A6C21-4B7D-4E19-A2C5-6D0E9B1F3A72}
inline constexpr IID IID_NodeProblem = {
    0x8F3A6C21, 0x4B7D, 0x4E19, {0xA2, 0xC5, 0x6D, 0x0E, 0x9B, 0x1F, 0x3A, 0x72}};

// Served by a host that can say why its last call failed ("nothing listens on the router's
// port"), so that the page's status line gives the reason, not only the variable.
class NodeProblem : public IUnknown {
public:
    // The reason as single-byte text, zero-terminated when shorter than length; empty when the
    // last call succeeded or the host knows no reason.
    virtual HRESULT GetLastProblem(std::uint8_t* buffer, std::int32_t length) = 0;

protected:
    ~NodeProblem() = default;
};
