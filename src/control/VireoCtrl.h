#pragma once
// The control the host tool creates for a node of this kind: it paints a small bitmap, offers
// the About box, and on its properties verb runs the configuration sheet modally.

#include <string>

#include "platform/OleControl.h"
#include "res/TypeLibrary.h"

inline constexpr const char* kVireoProgId = "Vireo.VireoCtrl.1";
inline constexpr std::uint32_t kVireoMiscStatus = 0x20191;
inline constexpr std::uint32_t kVireoVersion = 0x00010000;  // 1.0

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
    // String resource 1 is the user type name, "Vireo Control".
    static int GetUserTypeNameId() { return 1; }

protected:
    CLSID ClassId() const override { return CLSID_Vireo; }
    std::uint32_t MiscStatus() const override { return kVireoMiscStatus; }
    const platform::TypeDescription* DispatchType() const override;
    std::span<const platform::DispatchEntry> DispatchMap() const override;

private:
    // The host's identity of the node (a state file's path, a Neuron ID), which keys the write
    // history's runs; empty when the host offers none.
    static constexpr int kIdentityLength = 4096;
    std::string NodeIdentityText();
};
