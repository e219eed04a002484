#include "host/ClientSite.h"

#include <algorithm>
#include <cstdio>

#include "node/NodeLock.h"

namespace host {

ClientSite::ClientSite(NodeAccess& node, Offer offer) : node_(node), offer_(offer) {}

HRESULT ClientSite::QueryInterface(const IID& iid, void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    *object = nullptr;
    if (iid == IID_IUnknown) {
        *object = static_cast<IUnknown*>(this);
    } else if (iid == IID_NodeReader && (offer_ == Offer::Both || offer_ == Offer::Reader)) {
        *object = static_cast<NodeReader*>(&reader_);
    } else if (iid == IID_NodeWriter && (offer_ == Offer::Both || offer_ == Offer::Writer)) {
        *object = static_cast<NodeWriter*>(&writer_);
    } else if (iid == IID_NodeOperationLock && node_.operationLock != nullptr &&
               offer_ != Offer::None) {
        *object = static_cast<NodeOperationLock*>(&lock_);
    } else if (iid == IID_NodeIdentity && !node_.identity.empty() && offer_ != Offer::None) {
        *object = static_cast<NodeIdentity*>(&identity_);
    } else if (iid == IID_NodeProblem && offer_ != Offer::None) {
        *object = static_cast<NodeProblem*>(&problem_);
    } else {
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

void ClientSite::Log(const std::string& line) const {
    if (transcript) {
        transcript(line);
    }
}

bool ClientSite::PartWindowRefused(int index) const {
    const bool partWindow = index == nv::kPartSelector || index == nv::kPluginCnf;
    return partWindow && std::find(holds_.begin(), holds_.end(), false) != holds_.end();
}

HRESULT ClientSite::Lock::BeginOperation() {
    NodeLock* lock = site_.node_.operationLock;
    const bool granted = lock != nullptr && lock->Acquire();
    site_.holds_.push_back(granted);
    return granted ? S_OK : E_FAIL;
}

HRESULT ClientSite::Lock::EndOperation() {
    if (site_.holds_.empty()) {
        return E_FAIL;
    }
    if (site_.holds_.back() && site_.node_.operationLock != nullptr) {
        site_.node_.operationLock->Release();
    }
    site_.holds_.pop_back();
    return S_OK;
}

HRESULT ClientSite::Identity::GetNodeIdentity(std::uint8_t* buffer, std::int32_t length) {
    const std::string& identity = site_.node_.identity;
    if (buffer == nullptr || length <= 0 || identity.size() > static_cast<std::size_t>(length)) {
        return E_FAIL;
    }
    std::fill_n(buffer, length, std::uint8_t{0});
    std::copy(identity.begin(), identity.end(), buffer);
    return S_OK;
}

HRESULT ClientSite::Problem::GetLastProblem(std::uint8_t* buffer, std::int32_t length) {
    if (buffer == nullptr || length <= 0) {
        return E_POINTER;
    }
    const std::string problem = site_.node_.LastProblem();
    const std::size_t shown = std::min(problem.size(), static_cast<std::size_t>(length - 1));
    std::fill_n(buffer, length, std::uint8_t{0});
    std::copy_n(problem.begin(), shown, buffer);
    return S_OK;
}

HRESULT ClientSite::Reader::ReadNv(std::int32_t index, std::uint8_t* buffer, std::int32_t length) {
    const HRESULT result =
        site_.PartWindowRefused(index) ? E_FAIL : site_.node_.ReadNv(index, buffer, length);
    site_.Log("ReadNv " + std::to_string(index) + " " + std::to_string(length) + " -> " +
              std::to_string(result == S_OK ? 0 : 1));
    return result;
}

HRESULT ClientSite::Reader::GetNodeName(std::uint8_t* buffer, std::int32_t length) {
    const HRESULT result = site_.node_.GetNodeName(buffer, length);
    site_.Log("GetNodeName " + std::to_string(length) + " -> " +
              std::to_string(result == S_OK ? 0 : 1));
    return result;
}

HRESULT ClientSite::Writer::WriteNv(std::int32_t index, const std::uint8_t* buffer,
                                    std::int32_t length) {
    const HRESULT result =
        site_.PartWindowRefused(index) ? E_FAIL : site_.node_.WriteNv(index, buffer, length);
    const std::size_t shown =
        buffer == nullptr || length <= 0 ? 0 : static_cast<std::size_t>(length);
    site_.Log("WriteNv " + std::to_string(index) + " " + HexBytes(buffer, shown) + " -> " +
              std::to_string(result == S_OK ? 0 : 1));
    return result;
}

SimLink::SimLink(NodeAccess& node) : site_(new ClientSite(node, Offer::Both)) {
    void* reader = nullptr;
    void* writer = nullptr;
    site_->QueryInterface(IID_NodeReader, &reader);
    site_->QueryInterface(IID_NodeWriter, &writer);
    reader_ = static_cast<NodeReader*>(reader);
    writer_ = static_cast<NodeWriter*>(writer);
    void* lock = nullptr;
    if (site_->QueryInterface(IID_NodeOperationLock, &lock) == S_OK) {
        lock_ = static_cast<NodeOperationLock*>(lock);
    }
}

SimLink::~SimLink() {
    reader_->Release();
    writer_->Release();
    if (lock_ != nullptr) {
        lock_->Release();
    }
    site_->Release();
}

}  // namespace host
