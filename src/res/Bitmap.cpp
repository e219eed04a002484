#include <QColor>
#include <QImage>

#include "platform/DialogTemplate.h"
#include "res/Bitmap.h"
#include "res/CurveBitmap.h"
#include "res/Resources.h"

namespace {

// Bitmap 1, 31 x 31 pixels in 16 colours: a radiator warmed by flames, a vireo above it.
constexpr const char* kPixels[31] = {
    "...............................", "...............................",
    "..................KKK..........", ".................KYYYK.........",
    "................KYYYYYK........", "........KKKK...KYYKYYYKK.......",
    ".......KYYYYKKKYYYYYYYYOOK.....", "......KYYYYYYYYYYYYYYYKKK......",
    ".......KKYYYYYYYYYYYYK.........", ".........KKKKYYYYYKKK..........",
    "............KK..KK.............", "...............................",
    "..BBBBBBBBBBBBBBBBBBBBBBBBBBB..", "..BWWBWWBWWBWWBWWBWWBWWBWWWWB..",
    "..BWWBWWBWWBWWBWWBWWBWWBWWWWB..", "..BWWBWWBWWBWWBWWBWWBWWBWWWWB..",
    "..BWWBWWBWWBWWBWWBWWBWWBWWWWB..", "..BWWBWWBWWBWWBWWBWWBWWBWWWWB..",
    "..BWWBWWBWWBWWBWWBWWBWWBWWWWB..", "..BWWBWWBWWBWWBWWBWWBWWBWWWWB..",
    "..BBBBBBBBBBBBBBBBBBBBBBBBBBB..", "...BB.....................BB...",
    "...............................", "............R......R...........",
    "...........RRR....RRR....R.....", "..........RROR...RROR...RRR....",
    ".........RROYOR.RROYOR.RROR....", ".........ROYYORRROYYORRROYOR...",
    "..........RYYOR..RYYOR..ROOR...", "...........RRR....RRR....RR....",
    "..............................."};

}  // namespace

QImage LoadControlBitmap() {
    QImage image(31, 31, QImage::Format_Indexed8);
    // The 16-colour palette; the face uses the first seven.
    image.setColorTable({
        qRgb(0xC0, 0xC0, 0xC0),
        qRgb(0x00, 0x00, 0x00),
        qRgb(0xFF, 0xFF, 0x00),
        qRgb(0xFF, 0x80, 0x00),
        qRgb(0xFF, 0x00, 0x00),
        qRgb(0x00, 0x00, 0x80),
        qRgb(0xFF, 0xFF, 0xFF),
        qRgb(0x80, 0x00, 0x00),
        qRgb(0x00, 0x80, 0x00),
        qRgb(0x80, 0x80, 0x00),
        qRgb(0x80, 0x00, 0x80),
        qRgb(0x00, 0x80, 0x80),
        qRgb(0x80, 0x80, 0x80),
        qRgb(0x00, 0xFF, 0x00),
        qRgb(0x00, 0x00, 0xFF),
        qRgb(0x00, 0xFF, 0xFF),
    });
    for (int y = 0; y < 31; ++y) {
        for (int x = 0; x < 31; ++x) {
            int index = 0;
            switch (kPixels[y][x]) {
                case 'K':
                    index = 1;
                    break;
                case 'Y':
                    index = 2;
                    break;
                case 'O':
                    index = 3;
                    break;
                case 'R':
                    index = 4;
                    break;
                case 'B':
                    index = 5;
                    break;
                case 'W':
                    index = 6;
                    break;
                default:
                    index = 0;
                    break;
            }
            image.setPixel(x, y, static_cast<uint>(index));
        }
    }
    return image;
}

namespace res {

// The module's bitmaps by resource id: 1, the control's face; 201, the heating curve.
QImage BitmapResource(int id) {
    switch (id) {
        case 1:
            return LoadControlBitmap();
        case 201:
            return LoadCurveBitmap();
        default:
            return {};
    }
}

}  // namespace res
