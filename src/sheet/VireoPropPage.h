#pragma once

#include "sheet/NodePage.h"

inline constexpr int IDC_NODENAME = 231;
inline constexpr int IDC_VI1 = 234;
inline constexpr int IDC_VI2 = 235;

// Node Information: the node's name and the buttons that swap page set 1 and page set 2.
class CVireoPropPage : public CNodePage {
public:
    CVireoPropPage();

    BOOL OnInitDialog() override;

    void OnVi1();
    void OnVi2();
};
