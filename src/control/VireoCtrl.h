#pragma once
// The control the host tool creates for a node of this kind: it paints a small bitmap, offers
// the About box, and on its properties verb runs the configuration sheet modally.

#include <string>

#include "platform/OleControl.h"

// {828CBF24-AAD1-4C20-85A9-9F704A89C333}
inline constexpr CLSID CLSID_Vireo = {
    0x828CBF24, 0xAAD1, 0x4C20, {0x85, 0xA9, 0x9F, 0x70, 0x4A, 0x89, 0xC3, 0x33}};
// {EB041560-6CF5-40B0-9282-44F12F2B582A}
inline constexpr IID IID_DVireo = {
    0xEB041560, 0x6CF5, 0x40B0, {0x92, 0x82, 0x44, 0xF1, 0x2F, 0x2B, 0x58, 0x2A}};
// {FD685864-C391-4C46-ADE5-7B67EADC6050}
inline constexpr IID IID_DVireoEvents = {
    0xFD685864, 0xC391, 0x4C46, {0xAD, 0xE5, 0x7B, 0x67, 0xEA, 0xDC, 0x60, 0x50}};
// {4A909070-419F-4835-9A8F-DB0ACC419C54}
inline constexpr GUID LIBID_VireoLib = {
    0x4A909070, 0x419F, 0x4835, {0x9A, 0x8F, 0xDB, 0x0A, 0xCC, 0x41, 0x9C, 0x54}};

inline constexpr const char* kVireoProgId = "Vireo.VireoCtrl.1";
inline constexpr std::uint32_t kVireoMiscStatus = 0x20191;
inline constexpr std::uint32_t kVireoVersion = 0x00010000;  // 1.0
inline constexpr int kAboutBoxDispId = -552;

class CVireoCtrl;
// The control whose properties verb last ran; set at the start of every verb, never cleared.
extern CVireoCtrl* g_pCurrentControl;

class CVireoCtrl : public platform::COleControl {
public:
    CVireoCtrl() = default;

    BOOL OnProperties(void* message, QWidget* parent, const QRect* rect) override;
    void OnDraw(QPainter& dc, const QRect& bounds, const QRect& invalid) override;
    void DoPropExchange(platform::CPropExchange& exchange) override;

    // The stock About method: dialog 1, modally. Needs no node.
    void AboutBox();

    static std::string GetProgramIdText();
    static CLSID GetClassId() { return CLSID_Vireo; }
    static int GetUserTypeNameId() { return 1; }
    static std::uint32_t GetMiscStatus() { return kVireoMiscStatus; }
};
