#include "sheet/VireoPropPage.h"

#include <algorithm>
#include <cstring>

#include "codecs/NumericCodec.h"
#include "sheet/Sheet.h"

namespace {

constexpr int kNameLength = 32;

}  // namespace

CVireoPropPage::CVireoPropPage() : CNodePage(200, 200, behaviour::None()) {
    OnClicked(IDC_VI1, [this] { OnVi1(); });
    OnClicked(IDC_VI2, [this] { OnVi2(); });
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
        SetDlgItemText(IDC_NODENAME, text);
    }
    if (GetSelectedPart() != nv::kVariantPart) {
        SelectPart(nv::kVariantPart);
    }
    NvBuffer part{};
    if (ReadNv(nv::kPluginCnf, part, nv::kBufferSize)) {
        const codecs::NumericCodec codec;
        if (codec.MakeWord(part[nv::kVariantHigh], part[nv::kVariantLow]) == 0) {
            EnableDlgItem(IDC_VI2, false);
        }
    }
    SelectPart(0);
    return FALSE;
}

void CVireoPropPage::OnVi1() {
    EnableDlgItem(IDC_VI1, false);
    EnableDlgItem(IDC_VI2, true);
    NodeSheet()->RemovePageSet2();
    NodeSheet()->AddPageSet1();
}

void CVireoPropPage::OnVi2() {
    EnableDlgItem(IDC_VI1, true);
    EnableDlgItem(IDC_VI2, false);
    NodeSheet()->RemovePageSet1();
    NodeSheet()->AddPageSet2();
}
