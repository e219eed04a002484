#pragma once

#include "sheet/NodePage.h"

inline constexpr int IDC_IE_NODENAME = 231;
inline constexpr int IDC_IE_FILENAME = 428;
inline constexpr int IDC_IE_DEFAULT = 429;
inline constexpr int IDC_IE_SAVE = 427;
inline constexpr int IDC_IE_DOWNLOAD = 430;
inline constexpr int IDC_IE_FACTORY = 201;
inline constexpr int IDC_IE_PASSWORD = 226;

// Import / Export: the node's whole configuration to a settings file and back, and the
// factory settings. The operations themselves are shared with the command line.
class CPage2PropPage : public CNodePage {
public:
    CPage2PropPage();

protected:
    void ShowExtras() override;

private:
    void FillNameAndFile();
    void OnSaveToFile();
    void OnReadFromFile();
    void OnDefaultSettings();
};
