// Export, download, export again on any configuration: the input gives the node's name, the
// seven single configuration variables (NV 37 to 43) and the twelve parts of NV 45. The
// exported file, downloaded into a fresh node of the same name and exported from there, gives
// the same file.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

#include "FuzzSupport.h"
#include "framework/ScriptedDesktop.h"
#include "host/ClientSite.h"
#include "settings/DownloadOperation.h"
#include "settings/ExportOperation.h"
#include "sim/SimNode.h"

namespace {

// Takes the input's bytes in order; zeros once it runs out.
class ByteSource {
public:
    ByteSource(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    host::Bytes Take(std::size_t count) {
        host::Bytes bytes(count, 0);
        for (std::size_t i = 0; i < count && pos_ < size_; ++i) {
            bytes[i] = data_[pos_++];
        }
        return bytes;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

void FillNode(ByteSource& source, host::SimNode& node) {
    const std::size_t nameLength = source.Take(1)[0] % 24;
    const host::Bytes name = source.Take(nameLength);
    node.SetName(std::string(name.begin(), name.end()));
    for (const nv::Variable& variable : nv::FileVariables()) {
        node.SetRaw(variable.index, source.Take(static_cast<std::size_t>(variable.size)));
    }
    for (int part = nv::kFirstPart; part <= nv::kPartCount; ++part) {
        node.SetPart(part, source.Take(nv::kPartSize));
    }
}

std::string Export(host::SimNode& node, const std::string& path) {
    std::filesystem::remove(path);
    platform::ScriptedDesktop desktop;
    desktop.QueueFile(path);
    const auto result = settings::ExportOperation(host::SimLink(node).Link(), desktop).Run("");
    fuzz::Require(result.Completed(), "the export completes");
    return fuzz::ReadFile(path);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string first = fuzz::ScratchPath("export-1.txt");
    static const std::string second = fuzz::ScratchPath("export-2.txt");
    ByteSource source(data, size);
    host::SimNode node;
    FillNode(source, node);
    const std::string exported = Export(node, first);

    host::SimNode fresh;
    fresh.SetName(node.Name());
    platform::ScriptedDesktop desktop;
    desktop.QueueFile(first);
    desktop.QueueAnswer(true);
    const auto download =
        settings::DownloadOperation(host::SimLink(fresh).Link(), desktop).Run("Quorka", "");
    fuzz::Require(download.Completed(), "the exported file downloads completely");
    fuzz::Require(Export(fresh, second) == exported,
                  "export, download, export gives the same file");
    return 0;
}
