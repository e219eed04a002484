#include "sheet/VireoPropPage.h"

#include "node/NodeFields.h"
#include "node/NodeVariableMap.h"
#include "node/WriteRecorder.h"
#include "res/NodeInfoDialog.h"
#include "sheet/Sheet.h"

namespace vireo {

namespace {

constexpr int kNameLength = nv::kNodeNameSize;

}  // namespace

CVireoPropPage::CVireoPropPage(CSheet& sheet)
    : CNodePage(200, 200, behaviour::None()), sheet_(sheet) {
    OnClicked(res::node_info::kVi1, [this] { OnVi1(); });
    OnClicked(res::node_info::kVi2, [this] { OnVi2(); });
}

BOOL CVireoPropPage::OnInitDialog() {
    // The node's name: the bytes up to the first zero, at most all 32 when none ends it.
    std::uint8_t name[kNameLength + 1] = {};
    if (Link().GetNodeName(name, kNameLength)) {
        const std::string text = node::NodeNameText(name, kNameLength);
        SetDlgItemText(res::node_info::kNodeName, text);
        sheet_.SetNodeName(text);
    }
    const OperationHold hold(Link());
    NvBuffer part{};
    if (ReadFirstPart(nv::kVariantPart, part, nv::kBufferSize)) {
        if (node::Value(node::fields::kVariantWord, part.data()) == 0) {
            EnableDlgItem(res::node_info::kVi2, false);
        }
    }
    SelectPart(0);
    return FALSE;
}

void CVireoPropPage::OnVi1() {
    EnableDlgItem(res::node_info::kVi1, false);
    EnableDlgItem(res::node_info::kVi2, true);
    sheet_.RemovePageSet2();
    sheet_.AddPageSet1();
}

void CVireoPropPage::OnVi2() {
    EnableDlgItem(res::node_info::kVi1, true);
    EnableDlgItem(res::node_info::kVi2, false);
    sheet_.RemovePageSet1();
    sheet_.AddPageSet2();
}

}  // namespace vireo
