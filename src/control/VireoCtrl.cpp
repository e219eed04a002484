#include "control/VireoCtrl.h"

#include <QImage>
#include <QPainter>
#include <QRect>
#include <vector>

#include "framework/Desktop.h"
#include "history/HistoryRecorder.h"
#include "node/NodeInterfaces.h"
#include "node/ProgramId.h"
#include "node/WriteRecorder.h"
#include "platform/Dialog.h"
#include "res/Bitmap.h"
#include "sheet/Sheet.h"

CVireoCtrl* g_pCurrentControl = nullptr;

namespace {

// The user hears once per process that the write history is off, however often the sheet opens.
void TellHistoryOff(const std::string& text) {
    static bool told = false;
    if (!told) {
        told = true;
        platform::Desktop::Current().MessageBox(text, "Vireo", platform::MessageButtons::Ok,
                                                platform::MessageIcon::Exclamation);
    }
}

// A run on the node that never finished is reported each time it is found (once per run).
void ReportUnfinishedRun(const std::string& text) {
    platform::Desktop::Current().MessageBox(text, "Vireo", platform::MessageButtons::Ok,
                                            platform::MessageIcon::Exclamation);
}

}  // namespace

std::string CVireoCtrl::NodeIdentityText() {
    IOleClientSite* site = GetClientSite();
    void* object = nullptr;
    if (site == nullptr || site->QueryInterface(IID_NodeIdentity, &object) != S_OK ||
        object == nullptr) {
        return {};
    }
    auto* identity = static_cast<NodeIdentity*>(object);
    std::vector<std::uint8_t> buffer(kIdentityLength + 1, 0);
    const bool ok = identity->GetNodeIdentity(buffer.data(), kIdentityLength) == S_OK;
    identity->Release();
    return ok ? node::NodeNameText(buffer.data(), kIdentityLength) : std::string();
}

BOOL CVireoCtrl::OnProperties(void*, QWidget*, const QRect*) {
    g_pCurrentControl = this;
    {
        // VIREO_HISTORY is read at every opening: the host may turn the history off or on.
        const auto recorder = history::RecorderFromEnvironment(TellHistoryOff, ReportUnfinishedRun);
        if (recorder) {
            recorder->SetNodeIdentity(NodeIdentityText());
        }
        const history::InstalledRecorder installed(recorder.get());
        vireo::CSheet sheet("Vireo", nullptr, 0, GetClientSite());
        sheet.DoModal();
    }
    return TRUE;
}

void CVireoCtrl::OnDraw(QPainter& dc, const QRect& bounds, const QRect&) {
    // Normalize the bounds: left <= right, top <= bottom.
    int x = bounds.x();
    int y = bounds.y();
    int w = bounds.width();
    int h = bounds.height();
    if (w < 0) {
        x += w;
        w = -w;
    }
    if (h < 0) {
        y += h;
        h = -h;
    }
    const QImage bitmap = LoadControlBitmap();
    if (bitmap.isNull() || w == 0 || h == 0) {
        return;
    }
    const QRect target(x, y, w, h);
    // The source is the bitmap's first 30 x 30 pixels, not its full 31.
    dc.drawImage(target, bitmap, QRect(0, 0, 30, 30));
}

void CVireoCtrl::DoPropExchange(platform::CPropExchange& exchange) {
    std::uint32_t version = kVireoVersion;
    exchange.ExchangeVersion(version, kVireoVersion, true);
}

void CVireoCtrl::AboutBox() {
    platform::CDialog about(1);
    about.DoModal();
}

const platform::TypeDescription* CVireoCtrl::DispatchType() const {
    return &res::DispatchInterface();
}

std::span<const platform::DispatchEntry> CVireoCtrl::DispatchMap() const {
    static const platform::DispatchEntry kMap[] = {
        {DISPID_ABOUTBOX,
         [](platform::COleControl& control) { static_cast<CVireoCtrl&>(control).AboutBox(); }},
    };
    return kMap;
}

std::string CVireoCtrl::GetProgramIdText() {
    return ::GetProgramIdText();
}
