#pragma once
// The host side of the control's client site: serves NodeReader and NodeWriter over a node (the
// simulated one, or one over a link), as the network tool does, and reports every host call to a
// transcript when one is attached. Plain C++, so that code without a control (the settings
// tests, the benchmarks) reaches the simulated node the way the control does.

#include <functional>
#include <string>
#include <vector>

#include "codecs/HexBytes.h"
#include "node/NodeInterfaces.h"
#include "node/NodeLink.h"
#include "sim/SimNode.h"

namespace host {

enum class Offer { Both, Reader, Writer, None };

using codecs::HexBytes;

class ClientSite final : public RefCounted<IUnknown> {
public:
    ClientSite(NodeAccess& node, Offer offer);

    HRESULT QueryInterface(const IID& iid, void** object) override;

    void SetOffer(Offer offer) { offer_ = offer; }
    // Receives one line per host call: "ReadNv 44 31 -> 0", "WriteNv 44 00 08 -> 0".
    std::function<void(const std::string&)> transcript;

private:
    // One of the site's interfaces: its identity and lifetime are the site's.
    template <typename Interface>
    class Facet : public Interface {
    public:
        explicit Facet(ClientSite& site) : site_(site) {}
        HRESULT QueryInterface(const IID& iid, void** object) override {
            return site_.QueryInterface(iid, object);
        }
        ULONG AddRef() override { return site_.AddRef(); }
        ULONG Release() override { return site_.Release(); }

    protected:
        ClientSite& site_;
    };
    class Reader final : public Facet<NodeReader> {
    public:
        using Facet::Facet;
        HRESULT ReadNv(std::int32_t index, std::uint8_t* buffer, std::int32_t length) override;
        HRESULT GetNodeName(std::uint8_t* buffer, std::int32_t length) override;
    };
    // Offered while the node has an operation lock. While a hold was refused, the part window
    // (NV 44 and NV 45) is refused too: another program is using it.
    class Lock final : public Facet<NodeOperationLock> {
    public:
        using Facet::Facet;
        HRESULT BeginOperation() override;
        HRESULT EndOperation() override;
    };
    class Identity final : public Facet<NodeIdentity> {
    public:
        using Facet::Facet;
        HRESULT GetNodeIdentity(std::uint8_t* buffer, std::int32_t length) override;
    };
    // Why the node's last failed call failed, as the node tells it.
    class Problem final : public Facet<NodeProblem> {
    public:
        using Facet::Facet;
        HRESULT GetLastProblem(std::uint8_t* buffer, std::int32_t length) override;
    };
    class Writer final : public Facet<NodeWriter> {
    public:
        using Facet::Facet;
        HRESULT WriteNv(std::int32_t index, const std::uint8_t* buffer,
                        std::int32_t length) override;
    };

    void Log(const std::string& line) const;
    bool PartWindowRefused(int index) const;

    NodeAccess& node_;
    Offer offer_;
    Reader reader_{*this};
    Writer writer_{*this};
    Lock lock_{*this};
    Identity identity_{*this};
    Problem problem_{*this};
    std::vector<bool> holds_;  // per nested hold: whether it was granted
};

// A node link onto a node (simulated, or over a link) through a client site of its own that offers
// both interfaces (and the operation lock of a shared node); it holds them for as long as it lives.
class SimLink {
public:
    explicit SimLink(NodeAccess& node);
    ~SimLink();
    SimLink(const SimLink&) = delete;
    SimLink& operator=(const SimLink&) = delete;

    NodeLink Link() const { return NodeLink(reader_, writer_, lock_); }

private:
    ClientSite* site_;
    NodeReader* reader_ = nullptr;
    NodeWriter* writer_ = nullptr;
    NodeOperationLock* lock_ = nullptr;  // while the node has an operation lock
};

}  // namespace host
