#include "sheet/VireoPropPage.h"

#include <algorithm>
#include <cstring>

#include "codecs/NumericCodec.h"
#include "res/NodeInfoDialog.h"
#include "sheet/Sheet.h"

namespace vireo {

namespace {

constexpr int kNameLength = 32;

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
        const auto* end = std::find(name, name + kNameLength, 0);
        std::string text;
        for (const std::uint8_t* p = name; p != end; ++p) {
            // Node names are single-byte text; show each byte as its Latin-1 character.
            const auto c = static_cast<unsigned char>(*p);
            if (c < 0x80) {
                text += static_cast<char>(c);
            } else {
                text += static_cast<char>(0xC0 | (c >> 6));
                text += static_cast<char>(0x80 | (c & 0x3F));
            }
        }
        SetDlgItemText(res::node_info::kNodeName, text);
    }
    NvBuffer part{};
    if (ReadFirstPart(nv::kVariantPart, part, nv::kBufferSize)) {
        const codecs::NumericCodec codec;
        if (codec.MakeWord(part[nv::kVariantHigh], part[nv::kVariantLow]) == 0) {
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
