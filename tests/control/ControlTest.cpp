// The control: About box, painting of its face, persistent state, the properties verb.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <cstdlib>
#include <filesystem>

#include "SheetFixture.h"
#include "node/ProgramId.h"
#include "node/WriteRecorder.h"
#include "res/Bitmap.h"

namespace {

class ControlTest : public SheetFixture {};

QImage Canvas() {
    QImage image(80, 60, QImage::Format_RGB32);
    image.fill(Qt::magenta);
    return image;
}

int PaintedPixels(const QImage& image) {
    int painted = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            painted += image.pixel(x, y) != QColor(Qt::magenta).rgb();
        }
    }
    return painted;
}

TEST_F(ControlTest, AboutBoxWorksWithoutANode) {
    CVireoCtrl lonely;  // no client site, no host interfaces
    bool shown = false;
    desktop.onDialogModal = [&](platform::CDialog& dialog) {
        shown = true;
        EXPECT_EQ(dialog.TemplateId(), 1);
        EXPECT_EQ(dialog.GetDlgItemText(1), "OK");
        dialog.ClickDlgItem(1);
    };
    lonely.AboutBox();
    EXPECT_TRUE(shown);
    EXPECT_TRUE(calls.empty());
}

TEST_F(ControlTest, OnDrawStretchesTheFirst30PixelsIntoTheBounds) {
    QImage image = Canvas();
    {
        QPainter dc(&image);
        control.OnDraw(dc, QRect(10, 5, 60, 30), QRect());
    }
    // Inside the bounds every pixel is painted, outside none.
    EXPECT_EQ(PaintedPixels(image), 60 * 30);
    const QImage bitmap = LoadControlBitmap();
    // The bitmap's pixel (15, 14) lands at 10 + 2 * 15, 5 + 14 (width doubled, height same).
    EXPECT_EQ(image.pixel(10 + 30, 5 + 14), bitmap.pixel(15, 14));
}

TEST_F(ControlTest, OnDrawNormalizesAnInvertedRectangle) {
    QImage normal = Canvas();
    QImage inverted = Canvas();
    {
        QPainter dc(&normal);
        control.OnDraw(dc, QRect(10, 10, 30, 30), QRect());
    }
    {
        QPainter dc(&inverted);
        control.OnDraw(dc, QRect(40, 40, -30, -30), QRect());
    }
    EXPECT_EQ(normal, inverted);
}

TEST_F(ControlTest, OnDrawIntoAnEmptyRectanglePaintsNothing) {
    QImage image = Canvas();
    {
        QPainter dc(&image);
        control.OnDraw(dc, QRect(20, 20, 0, 0), QRect());
        control.OnDraw(dc, QRect(20, 20, 0, 15), QRect());
    }
    EXPECT_EQ(PaintedPixels(image), 0);
}

TEST_F(ControlTest, FaceBitmapIs31By31In16Colours) {
    const QImage bitmap = LoadControlBitmap();
    EXPECT_EQ(bitmap.size(), QSize(31, 31));
    EXPECT_EQ(bitmap.colorCount(), 16);
}

TEST_F(ControlTest, PropertyExchangeConvertsOlderStateToVersion1) {
    platform::CPropExchange load(true, 0x00000005);
    control.DoPropExchange(load);
    platform::CPropExchange save(false, 0x00000005);
    control.DoPropExchange(save);
    EXPECT_EQ(save.StoredVersion(), 0x00010000u);
}

TEST_F(ControlTest, PropertiesVerbOpensAFreshSheetEachTimeAndReturnsTrue) {
    int opened = 0;
    desktop.onSheetModal = [&](platform::CPropertySheet& sheet) {
        ++opened;
        EXPECT_EQ(sheet.Caption(), "Vireo");
        EXPECT_EQ(sheet.GetActiveIndex(), 0);
        sheet.EndSheet(platform::IDCANCEL);  // the control ignores how it was closed
    };
    g_pCurrentControl = nullptr;
    EXPECT_EQ(control.OnProperties(nullptr, nullptr, nullptr), TRUE);
    EXPECT_EQ(g_pCurrentControl, &control);
    const auto first = calls.size();
    EXPECT_EQ(control.OnProperties(nullptr, nullptr, nullptr), TRUE);
    EXPECT_EQ(opened, 2);
    EXPECT_EQ(calls.size(), 2 * first);  // the second sheet reads everything again
}

// The write history keys the sheet's runs by the node's identity that the host offers (the
// state file), so that another node of the same name never hears of them.
TEST_F(ControlTest, TheSheetsHistoryKnowsTheNodeByTheHostsIdentity) {
    const auto database = std::filesystem::temp_directory_path() / "vireo-control-history.sqlite";
    setenv("VIREO_HISTORY", database.c_str(), 1);
    for (const std::string identity : {"/sites/a/Boiler1.json", ""}) {
        node.identity = identity;
        std::string seen = "none";
        desktop.onSheetModal = [&](platform::CPropertySheet& sheet) {
            seen = node::WriteRecorder::Current()->NodeIdentity();
            sheet.EndSheet(platform::IDOK);
        };
        control.OnProperties(nullptr, nullptr, nullptr);
        EXPECT_EQ(seen, identity);
    }
    setenv("VIREO_HISTORY", "off", 1);
    std::filesystem::remove(database);
}

TEST_F(ControlTest, ProgramIdIsTheEightByteText) {
    EXPECT_EQ(GetProgramIdText(), "90 56 69 72 65 6F 4B 2A");
    EXPECT_EQ(CVireoCtrl::GetProgramIdText().size(), 23u);
    EXPECT_EQ(GuidToString(CLSID_Vireo), "{828CBF24-AAD1-4C20-85A9-9F704A89C333}");
}

}  // namespace
