#pragma once
// A small node for the settings tests: keeps every written value per host index, shows the
// part that NV 44 selects through NV 45, records every write and selector value, and fails
// chosen calls on request.

#include <algorithm>
#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "node/NodeInterfaces.h"
#include "node/NodeLink.h"
#include "node/NodeVariableMap.h"

namespace settings_test {

class FakeNode final : public NodeReader, public NodeWriter {
public:
    struct WriteRecord {
        int index;
        int selectedPart;  // the selector when the write arrived
        std::vector<std::uint8_t> bytes;
    };

    FakeNode() {
        for (const nv::Variable& variable : nv::Variables()) {
            values_[variable.index].assign(static_cast<std::size_t>(variable.size), 0);
        }
    }

    NodeLink Link() { return NodeLink(this, this); }

    // ---- state ----
    std::vector<std::uint8_t>& Value(int index) { return values_.at(index); }
    std::array<std::uint8_t, nv::kPartSize>& Part(int part) {
        return parts_.at(static_cast<std::size_t>(part - 1));
    }
    int Selector() const { return selector_; }
    void SetSelector(int part) {
        selector_ = part;
        values_[nv::kPartSelector] = {static_cast<std::uint8_t>(part >> 8),
                                      static_cast<std::uint8_t>(part & 0xFF)};
    }

    std::optional<std::string> name = std::string("Boiler1");
    std::set<int> failReads;       // host indexes whose reads fail
    std::set<int> failWrites;      // host indexes whose writes fail
    std::set<int> failPartReads;   // parts whose NV 45 reads fail
    std::set<int> failPartWrites;  // parts whose NV 45 writes fail
    bool failName = false;

    // ---- what happened ----
    std::vector<WriteRecord> writes;  // every write, failed ones included
    std::vector<int> selections;      // every value written to NV 44
    std::vector<int> reads;           // every host index read

    int MaxSelection() const {
        return selections.empty() ? 0 : *std::max_element(selections.begin(), selections.end());
    }
    // Writes to the configuration variables (NV 37 to 43 and 45), failed ones included.
    std::vector<WriteRecord> ConfigurationWrites() const {
        std::vector<WriteRecord> result;
        std::copy_if(writes.begin(), writes.end(), std::back_inserter(result),
                     [](const WriteRecord& w) { return w.index != nv::kPartSelector; });
        return result;
    }

    // ---- interfaces ----
    HRESULT QueryInterface(const IID&, void** object) override {
        if (object != nullptr) {
            *object = nullptr;
        }
        return E_NOINTERFACE;
    }
    ULONG AddRef() override { return 1; }
    ULONG Release() override { return 1; }

    HRESULT ReadNv(std::int32_t index, std::uint8_t* buffer, std::int32_t length) override {
        reads.push_back(index);
        if (failReads.count(index) != 0 || buffer == nullptr || length < 0) {
            return E_FAIL;
        }
        const std::uint8_t* source = nullptr;
        std::size_t size = 0;
        if (index == nv::kPluginCnf) {
            if (!PartShown() || failPartReads.count(selector_) != 0) {
                return E_FAIL;
            }
            source = Part(selector_).data();
            size = nv::kPartSize;
        } else {
            const auto it = values_.find(index);
            if (it == values_.end()) {
                return E_FAIL;
            }
            source = it->second.data();
            size = it->second.size();
        }
        std::copy_n(source, std::min(size, static_cast<std::size_t>(length)), buffer);
        return S_OK;
    }

    HRESULT GetNodeName(std::uint8_t* buffer, std::int32_t length) override {
        if (failName || !name || buffer == nullptr || length < 0) {
            return E_FAIL;
        }
        const std::size_t count = std::min(name->size(), static_cast<std::size_t>(length));
        std::copy_n(name->begin(), count, buffer);
        if (count < static_cast<std::size_t>(length)) {
            buffer[count] = 0;
        }
        return S_OK;
    }

    HRESULT WriteNv(std::int32_t index, const std::uint8_t* buffer, std::int32_t length) override {
        writes.push_back(
            {index, selector_, std::vector<std::uint8_t>(buffer, buffer + std::max(0, length))});
        if (failWrites.count(index) != 0) {
            return E_FAIL;
        }
        if (index == nv::kPartSelector) {
            if (length < 2) {
                return E_FAIL;
            }
            const int part = buffer[0] * 256 + buffer[1];
            selections.push_back(part);
            SetSelector(part);
            return S_OK;
        }
        if (index == nv::kPluginCnf) {
            if (!PartShown() || failPartWrites.count(selector_) != 0) {
                return E_FAIL;
            }
            auto& part = Part(selector_);
            std::copy_n(buffer, std::min<std::size_t>(part.size(), length), part.begin());
            return S_OK;
        }
        const auto it = values_.find(index);
        if (it == values_.end()) {
            return E_FAIL;
        }
        std::copy_n(buffer, std::min(it->second.size(), static_cast<std::size_t>(length)),
                    it->second.begin());
        return S_OK;
    }

private:
    bool PartShown() const { return selector_ >= 1 && selector_ <= nv::kPartCount; }

    std::map<int, std::vector<std::uint8_t>> values_;
    std::array<std::array<std::uint8_t, nv::kPartSize>, nv::kPartCount> parts_{};
    int selector_ = 0;
};

}  // namespace settings_test
