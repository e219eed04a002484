// Every page that talks to the node, under every failure of a variable it touches: each read
// and each write of a node variable or configuration part that the page's clean show, refresh,
// Read and Write make fails in turn, and so does nothing (the clean run itself). Whatever
// fails, the page may change only its own bytes of the node. The bytes each page owns are
// written out below by hand, from what each page is for, not from the pages' field
// declarations, so that a page whose declarations point at another page's bytes shows here.
// The node is shared, as a state file is: with another process holding it, a page must not
// touch the part window at all.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QWidget>
#include <algorithm>
#include <array>
#include <clocale>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "PageBytes.h"
#include "SheetFixture.h"
#include "platform/ControlHost.h"
#include "sim/OperationLock.h"

namespace {

// Bytes first to last of a node variable (part 0) or of a configuration part, the bits of mask.
struct Owned {
    int nv;
    int part;
    int first;
    int last;
    std::uint8_t mask = 0xFF;
};

Owned Nv(int nv, int first, int last) {
    return {nv, 0, first, last};
}
Owned Part(int part, int first, int last) {
    return {0, part, first, last};
}
Owned Bits(int part, int byte, std::uint8_t mask) {
    return {0, part, byte, byte, mask};
}

// A calendar page's bytes of a part it shares: byte 0, which its Write sends as 0, and two of
// the four time bytes of each day from Sunday to Saturday, the first two (calendar 1, presence)
// or the last two (calendar 2, hot-water tank).
std::vector<Owned> CalendarDays(int part, int firstOfDay) {
    std::vector<Owned> owned{Part(part, 0, 0)};  // a calendar write sends byte 0 as 0
    for (int day = 0; day < 7; ++day) {
        owned.push_back(Part(part, 1 + 4 * day + firstOfDay, 2 + 4 * day + firstOfDay));
    }
    return owned;
}

template <typename... Lists>
std::vector<Owned> Join(std::vector<Owned> first, const Lists&... rest) {
    (first.insert(first.end(), rest.begin(), rest.end()), ...);
    return first;
}

enum class Action { ReadWrite, ReadPasswordWrite, Sync };

struct PageEntry {
    const char* name;
    CNodePage& (*page)(CSheet&);
    Action action;
    std::vector<Owned> owned;
    // The node traffic of a clean show, refresh, Read and Write, as the node's journal has it.
    std::vector<int> reads;
    std::vector<int> writes;
    std::vector<int> parts;       // every part selected
    std::vector<int> partWrites;  // parts written through NV 45
};

template <auto member>
CNodePage& Get(CSheet& sheet) {
    return sheet.*member;
}

const Owned kSelector = Nv(44, 0, 1);  // pages leave NV 45 on the last part they used

const std::vector<PageEntry>& Pages() {
    static const std::vector<PageEntry> pages{
        // Set Time: "Sync" sets the node's clock (NV 0), which NV 3 then reads.
        {"SetTime",
         &Get<&CSheet::setTime>,
         Action::Sync,
         {Nv(0, 0, 6), Nv(3, 0, 6)},
         {3},
         {0},
         {},
         {}},
        // Week calendars: the whole of part 9 (circuit 1) or part 11 (circuit 2).
        {"WeekCalendar1",
         &Get<&CSheet::weekCalendar1>,
         Action::ReadWrite,
         {Part(9, 0, 30), kSelector},
         {3, 4, 44},
         {44},
         {9},
         {9}},
        {"WeekCalendar2",
         &Get<&CSheet::weekCalendar2>,
         Action::ReadWrite,
         {Part(11, 0, 30), kSelector},
         {3, 5, 44},
         {44},
         {11},
         {11}},
        // Presence calendars: calendar 1 positions of part 10 (circuit 1) or part 12
        // (circuit 2, whose calendar 2 positions are the hot-water tank's).
        {"PresenceCalendar1",
         &Get<&CSheet::presenceCalendar1>,
         Action::ReadWrite,
         Join(CalendarDays(10, 0), std::vector<Owned>{kSelector}),
         {8, 44},
         {44},
         {10},
         {10}},
        {"PresenceCalendar2",
         &Get<&CSheet::presenceCalendar2>,
         Action::ReadWrite,
         Join(CalendarDays(12, 0), std::vector<Owned>{kSelector}),
         {9, 44},
         {44},
         {12},
         {12}},
        // Hot-water tank calendar: calendar 2 positions of part 12, bactericidal heating in
        // part 4 bytes 7-16.
        {"HotWaterCalendar",
         &Get<&CSheet::hotWaterCalendar>,
         Action::ReadWrite,
         Join(CalendarDays(12, 2), std::vector<Owned>{Part(4, 7, 16), kSelector}),
         {44},
         {44},
         {4, 12},
         {4, 12}},
        // Status switch: the override code, NV 39 (Sw1) or NV 40 (Sw2).
        {"StatusSwitchSw1",
         &Get<&CSheet::statusSwitchSw1>,
         Action::ReadWrite,
         {Nv(39, 0, 1)},
         {16, 22, 39},
         {39},
         {},
         {}},
        {"StatusSwitchSw2",
         &Get<&CSheet::statusSwitchSw2>,
         Action::ReadWrite,
         {Nv(40, 0, 1)},
         {17, 23, 40},
         {40},
         {},
         {}},
        // Analog valves Mv1/Mv3: mode words NV 25 bytes 3-6, manual outputs NV 26 bytes 4 and
        // 6, cascade/2-10 V/invert bits 0x01 (and 0x02) of part 1 bytes 12, 14, 16, cascade
        // changeover part 6 byte 12.
        {"AnalogValveMv1Mv3",
         &Get<&CSheet::analogValves1>,
         Action::ReadWrite,
         {Nv(25, 3, 6), Nv(26, 4, 4), Nv(26, 6, 6), Bits(1, 12, 0x01), Bits(1, 14, 0x03),
          Bits(1, 16, 0x03), Part(6, 12, 12), kSelector},
         {25, 26, 28, 29, 44},
         {25, 26, 44},
         {1, 6},
         {1, 6}},
        // Analog valves Mv2/Mv4: NV 25 bytes 9-12, NV 26 bytes 10 and 12, bits 0x08 of part 1
        // byte 12 and 0x40/0x80 of bytes 14 and 16, part 6 byte 18.
        {"AnalogValveMv2Mv4",
         &Get<&CSheet::analogValves2>,
         Action::ReadWrite,
         {Nv(25, 9, 12), Nv(26, 10, 10), Nv(26, 12, 12), Bits(1, 12, 0x08), Bits(1, 14, 0xC0),
          Bits(1, 16, 0xC0), Part(6, 18, 18), kSelector},
         {25, 26, 33, 34, 44},
         {25, 26, 44},
         {1, 6},
         {1, 6}},
        // Pumps: the mode word of Mp1 (NV 25 bytes 1-2) or Mp2 (bytes 7-8).
        {"PumpMp1",
         &Get<&CSheet::pumpMp1>,
         Action::ReadWrite,
         {Nv(25, 1, 2)},
         {25, 27, 35},
         {25},
         {},
         {}},
        {"PumpMp2",
         &Get<&CSheet::pumpMp2>,
         Action::ReadWrite,
         {Nv(25, 7, 8)},
         {25, 32, 35},
         {25},
         {},
         {}},
        // Extended operation: the six delay words of NV 36, circuit 1 bytes 1-12, circuit 2
        // bytes 13-24.
        {"ExtendedOperation1",
         &Get<&CSheet::extendedOperation1>,
         Action::ReadWrite,
         {Nv(36, 1, 12)},
         {36},
         {36},
         {},
         {}},
        {"ExtendedOperation2",
         &Get<&CSheet::extendedOperation2>,
         Action::ReadWrite,
         {Nv(36, 13, 24)},
         {36},
         {36},
         {},
         {}},
        // Antifrost of circuit 1: frost protection bit 0x08 of part 1 byte 2; start and stop
        // temperatures part 2 bytes 19-22, heating-surface return temperature bytes 27-28.
        {"Antifrost",
         &Get<&CSheet::antifrost1>,
         Action::ReadWrite,
         {Bits(1, 2, 0x08), Part(2, 19, 22), Part(2, 27, 28), kSelector},
         {13, 35, 44},
         {44},
         {1, 2},
         {1, 2}},
        // Temperatures: sensor offsets in part 2, low forward temperature offset and delay in
        // part 3, maximum return temperature and dead band in bytes 23-26 of NV 37 / NV 38.
        {"Temperatures1",
         &Get<&CSheet::temperatures1>,
         Action::ReadWrite,
         {Part(2, 3, 6), Part(3, 13, 16), Nv(37, 23, 26), kSelector},
         {10, 11, 35, 37, 44},
         {37, 44},
         {2, 3},
         {2, 3}},
        {"Temperatures2",
         &Get<&CSheet::temperatures2>,
         Action::ReadWrite,
         {Part(2, 15, 18), Part(3, 17, 20), Nv(38, 23, 26), kSelector},
         {14, 15, 35, 38, 44},
         {38, 44},
         {2, 3},
         {2, 3}},
        // Settings temperatures of circuit 1: all of NV 37 but the return temperatures (bytes
        // 23-26), and the calculated set point bit 0x10 of part 1 byte 2.
        {"SettingsTemperatures1",
         &Get<&CSheet::heatingCurve>,
         Action::ReadWrite,
         {Nv(37, 0, 22), Nv(37, 27, 30), Bits(1, 2, 0x10), kSelector},
         {11, 13, 20, 37, 44},
         {37, 44},
         {1},
         {1}},
        // Settings temperatures of circuit 2: constant day and night temperatures NV 38 bytes
        // 27-30, night lowering bit 0x01 of part 1 byte 8.
        {"SettingsTemperatures2",
         &Get<&CSheet::constantTemperatures>,
         Action::ReadWrite,
         {Nv(38, 27, 30), Bits(1, 8, 0x01), kSelector},
         {15, 38, 44},
         {38, 44},
         {1},
         {1}},
        // Night lowering / summer stop: bits 0x07 of part 1 byte 2, summer stop temperature and
        // pump stop delay part 3 bytes 1-4, room set point part 4 bytes 1-2.
        {"NightLowering",
         &Get<&CSheet::nightLowering1>,
         Action::ReadWrite,
         {Bits(1, 2, 0x07), Part(3, 1, 4), Part(4, 1, 2), kSelector},
         {6, 44},
         {44},
         {1, 3, 4},
         {1, 3, 4}},
        // Exercise / digital valve: idle times in part 7, valve running time and pause in part
        // 5 (circuit 1 bytes 1-4, circuit 2 bytes 13-16), calibration hour and minute in bytes
        // 0-1 of NV 42 / NV 43.
        {"Exercise1",
         &Get<&CSheet::exercise1>,
         Action::ReadWrite,
         {Part(7, 1, 4), Part(5, 1, 4), Nv(42, 0, 1), kSelector},
         {42, 44},
         {42, 44},
         {5, 7},
         {5, 7}},
        {"Exercise2",
         &Get<&CSheet::exercise2>,
         Action::ReadWrite,
         {Part(7, 13, 16), Part(5, 13, 16), Nv(43, 0, 1), kSelector},
         {43, 44},
         {43, 44},
         {5, 7},
         {5, 7}},
        // PID: P, I and D of Mv1 (part 8 bytes 1-6) or Mv2 (bytes 19-24).
        {"PidMv1",
         &Get<&CSheet::pidMv1>,
         Action::ReadPasswordWrite,
         {Part(8, 1, 6), kSelector},
         {44},
         {44},
         {8},
         {8}},
        {"PidMv2",
         &Get<&CSheet::pidMv2>,
         Action::ReadPasswordWrite,
         {Part(8, 19, 24), kSelector},
         {44},
         {44},
         {8},
         {8}},
        // Outdoor temperatures: the sensor offset, part 2 bytes 1-2.
        {"Outdoor",
         &Get<&CSheet::outdoorTemperatures>,
         Action::ReadWrite,
         {Part(2, 1, 2), kSelector},
         {12, 44},
         {44},
         {2},
         {2}},
        // Pressure: sensor type and supervision bits 0x3E of part 1 byte 10, range, offset and
        // set points part 6 bytes 1-10.
        {"Pressure",
         &Get<&CSheet::pressure>,
         Action::ReadWrite,
         {Bits(1, 10, 0x3E), Part(6, 1, 10), kSelector},
         {24, 44},
         {44},
         {1, 6},
         {1, 6}},
        // Hot-water tank: mode words of Mp3 and the heating element (NV 25 bytes 13-16), the
        // running time of the hot-water pump (NV 41).
        {"HotWaterTank",
         &Get<&CSheet::hotWaterTank>,
         Action::ReadWrite,
         {Nv(25, 13, 16), Nv(41, 0, 1)},
         {25, 30, 31, 41},
         {25, 41},
         {},
         {}},
    };
    return pages;
}

enum class Fault { None, Read, Write, PartRead, PartWrite, NodeInUse };

struct FaultCase {
    const PageEntry* page;
    Fault fault;
    int target;  // the variable or the part that fails
};

std::string CaseName(const FaultCase& c) {
    static const char* const kinds[] = {"Clean",        "FailRead",      "FailWrite",
                                        "FailPartRead", "FailPartWrite", "NodeInUse"};
    std::string name = std::string(c.page->name) + "_" + kinds[static_cast<int>(c.fault)];
    return c.fault == Fault::None || c.fault == Fault::NodeInUse ? name
                                                                 : name + std::to_string(c.target);
}

void PrintTo(const FaultCase& c, std::ostream* os) {
    *os << CaseName(c);
}

std::vector<FaultCase> Cases() {
    std::vector<FaultCase> cases;
    for (const PageEntry& page : Pages()) {
        cases.push_back({&page, Fault::None, 0});
        const auto add = [&](Fault fault, const std::vector<int>& targets) {
            for (int target : targets) {
                cases.push_back({&page, fault, target});
            }
        };
        add(Fault::Read, page.reads);
        add(Fault::Write, page.writes);
        add(Fault::PartRead, page.parts);
        add(Fault::PartWrite, page.partWrites);
        if (!page.parts.empty()) {
            cases.push_back({&page, Fault::NodeInUse, 0});
        }
    }
    return cases;
}

// Everything the node keeps: each variable but the part window NV 45, and the twelve parts.
struct NodeImage {
    std::map<int, host::Bytes> values;
    std::array<host::Bytes, nv::kPartCount> parts;
};

NodeImage Snapshot(const host::SimNode& node) {
    NodeImage image;
    for (const nv::Variable& v : nv::Variables()) {
        if (v.index != nv::kPluginCnf) {
            image.values[v.index] = node.Raw(v.index);
        }
    }
    for (int part = nv::kFirstPart; part <= nv::kPartCount; ++part) {
        image.parts[part - 1] = PartBytes(node.Part(part));
    }
    return image;
}

void Load(host::SimNode& node, const NodeImage& image) {
    for (const auto& [index, bytes] : image.values) {
        node.SetRaw(index, bytes);
    }
    for (int part = nv::kFirstPart; part <= nv::kPartCount; ++part) {
        node.SetPart(part, image.parts[part - 1]);
    }
}

// A distinctive value in every variable and part, so that a byte written where it does not
// belong shows, with NV 45 on the given part. The calendar parts hold valid, consistent times (each
// stop after its start) and the curve of NV 37 / NV 38 three points, so that the pages' Write
// passes its checks.
NodeImage Preload(int selectedPart) {
    NodeImage image;
    image.values[nv::kPartSelector] = {0, static_cast<std::uint8_t>(selectedPart)};
    for (const nv::Variable& v : nv::Variables()) {
        if (v.index != nv::kPluginCnf && v.index != nv::kPartSelector) {
            host::Bytes bytes = Pattern(3 + 17 * v.index);
            bytes.resize(static_cast<std::size_t>(v.size));
            image.values[v.index] = bytes;
        }
    }
    image.values[37][0] = 3;
    image.values[38][0] = 3;
    for (int part = nv::kFirstPart; part <= nv::kPartCount; ++part) {
        host::Bytes bytes = Pattern(101 + 29 * part);
        if (part >= 9) {
            for (int i = 1; i < nv::kPartSize; ++i) {  // odd bytes stop, even bytes start
                bytes[i] = static_cast<std::uint8_t>(i % 2 == 1 ? 60 + i : 7 + i);
            }
        }
        image.parts[part - 1] = bytes;
    }
    return image;
}

// What a run of a page does besides its faults: Read before Write or not, and a step just
// before the Write.
struct Steps {
    bool read = true;
    std::function<void()> beforeWrite;
};

class PageFaultsTest : public SheetFixture, public ::testing::WithParamInterface<FaultCase> {
protected:
    void SetUp() override {
        SheetFixture::SetUp();
        node.operationLock = &lock;
    }
    void TearDown() override {
        SheetFixture::TearDown();
        std::filesystem::remove(lockPath);
    }

    const PageEntry& Entry() const { return *GetParam().page; }

    // The bits of each byte the page owns, by variable and by part.
    std::map<int, std::map<int, std::uint8_t>> OwnedBits(bool parts) const {
        std::map<int, std::map<int, std::uint8_t>> bits;
        for (const Owned& o : Entry().owned) {
            if ((o.part != 0) == parts) {
                for (int i = o.first; i <= o.last; ++i) {
                    bits[parts ? o.part : o.nv][i] |= o.mask;
                }
            }
        }
        return bits;
    }

    // A part the page does not use: NV 45 shows it when the page opens.
    int ForeignPart() const {
        const auto bits = OwnedBits(true);
        int part = nv::kFirstPart;
        while (bits.count(part) != 0) {
            ++part;
        }
        return part;
    }

    // Opens a fresh sheet on the page set holding the page, loads the image and runs the page:
    // show, a refresh tick, Read, Write (or "Sync" on Set Time).
    void RunPage(const NodeImage& image, const std::function<void()>& fail,
                 const Steps& steps = {}) {
        sheet.reset();
        Open();
        CNodePage& page = Entry().page(*sheet);
        if (sheet->GetPageIndex(&page) < 0) {
            sheet->SetActivePage(0);
            Click(sheet->nodeInfo, 235);  // "VI2"
        }
        Load(node, image);
        fail();
        node.StartRecording();
        sheet->SetActivePage(sheet->GetPageIndex(&page));
        desktop.TickAll();
        if (steps.read && Entry().action != Action::Sync) {
            Click(page, 211);
        }
        if (steps.beforeWrite) {
            steps.beforeWrite();
        }
        if (Entry().action == Action::Sync) {
            Click(page, 335);
        } else {
            if (Entry().action == Action::ReadPasswordWrite) {
                page.SetDlgItemText(226, "Quorka");
            }
            Click(page, 210);
        }
        node.Heal();
    }

    // The image of a clean run from the preload, with only the page's own bytes taken over:
    // what the page writes into its own bytes, and the preload everywhere else.
    NodeImage Settled() {
        const NodeImage preload = Preload(ForeignPart());
        RunPage(preload, [] {});
        const NodeImage written = Snapshot(node);
        NodeImage settled = preload;
        for (const auto& [index, bytes] : OwnedBits(false)) {
            for (const auto& [i, mask] : bytes) {
                auto& b = settled.values[index][i];
                b = static_cast<std::uint8_t>((b & ~mask) | (written.values.at(index)[i] & mask));
            }
        }
        for (const auto& [part, bytes] : OwnedBits(true)) {
            for (const auto& [i, mask] : bytes) {
                auto& b = settled.parts[part - 1][i];
                b = static_cast<std::uint8_t>((b & ~mask) | (written.parts[part - 1][i] & mask));
            }
        }
        settled.values[nv::kPartSelector] = preload.values.at(nv::kPartSelector);
        return settled;
    }

    // Every bit that changed outside the page's own bits, as "NV 25 byte 3: 4A -> FF".
    static void Foreign(const std::string& where, const host::Bytes& before,
                        const host::Bytes& after, const std::map<int, std::uint8_t>& own,
                        std::vector<std::string>& found) {
        for (std::size_t i = 0; i < before.size() && i < after.size(); ++i) {
            const auto it = own.find(static_cast<int>(i));
            const int mask = it == own.end() ? 0 : it->second;
            if (((before[i] ^ after[i]) & ~mask) != 0) {
                found.push_back(where + " byte " + std::to_string(i) + ": " + Hex({before[i]}) +
                                " -> " + Hex({after[i]}));
            }
        }
    }

    // allBytes: every changed bit, the page's own included.
    std::vector<std::string> ForeignChanges(const NodeImage& before, const NodeImage& after,
                                            bool allBytes = false) {
        const auto ownNv =
            allBytes ? std::map<int, std::map<int, std::uint8_t>>{} : OwnedBits(false);
        const auto ownPart =
            allBytes ? std::map<int, std::map<int, std::uint8_t>>{} : OwnedBits(true);
        std::vector<std::string> found;
        for (const auto& [index, bytes] : before.values) {
            const auto own = ownNv.find(index);
            Foreign("NV " + std::to_string(index), bytes, after.values.at(index),
                    own == ownNv.end() ? std::map<int, std::uint8_t>{} : own->second, found);
        }
        for (int part = nv::kFirstPart; part <= nv::kPartCount; ++part) {
            const auto own = ownPart.find(part);
            Foreign("part " + std::to_string(part), before.parts[part - 1], after.parts[part - 1],
                    own == ownPart.end() ? std::map<int, std::uint8_t>{} : own->second, found);
        }
        return found;
    }

    void Fail() {
        const FaultCase& c = GetParam();
        switch (c.fault) {
            case Fault::None:
                break;
            case Fault::Read:
                node.FailRead(c.target);
                break;
            case Fault::Write:
                node.FailWrite(c.target);
                break;
            case Fault::PartRead:
                node.FailPartRead(c.target);
                break;
            case Fault::PartWrite:
                node.FailPartWrite(c.target);
                break;
            case Fault::NodeInUse:
                ASSERT_TRUE(otherProcess.Acquire()) << otherProcess.Error();
                break;
        }
    }

    // The node's lock as a shared state file has it; the page's host does not wait for it.
    const std::string lockPath =
        (std::filesystem::temp_directory_path() / ("vireo-page-" + CaseName(GetParam()) + ".lock"))
            .string();
    host::OperationLock lock{"Node1", lockPath, {.wait = false}};
    host::OperationLock otherProcess{"Node1", lockPath, {.wait = false}};
};

// The node traffic of a run in the table's terms: "{reads}, {writes}, {parts}, {part writes}",
// NV 45 counted by the part it showed.
std::string Traffic(const host::Journal& journal) {
    std::set<int> reads(journal.reads.begin(), journal.reads.end());
    std::set<int> writes;
    std::set<int> partWrites;
    for (const auto& w : journal.writes) {
        if (w.index == nv::kPluginCnf) {
            partWrites.insert(w.selectedPart);
        } else {
            writes.insert(w.index);
        }
    }
    reads.erase(nv::kPluginCnf);
    const std::set<int> parts(journal.selections.begin(), journal.selections.end());
    const auto list = [](const std::set<int>& s) {
        std::string text = "{";
        for (int i : s) {
            text += (text.size() > 1 ? ", " : "") + std::to_string(i);
        }
        return text + "}";
    };
    return list(reads) + ", " + list(writes) + ", " + list(parts) + ", " + list(partWrites);
}

std::string Traffic(const PageEntry& page) {
    host::Journal journal;
    journal.reads = page.reads;
    for (int index : page.writes) {
        journal.writes.push_back({index, 0, {}});
    }
    for (int part : page.partWrites) {
        journal.writes.push_back({nv::kPluginCnf, part, {}});
    }
    journal.selections = page.parts;
    return Traffic(journal);
}

TEST_P(PageFaultsTest, ChangesOnlyThePagesOwnBytes) {
    const NodeImage settled = Settled();
    RunPage(settled, [this] { Fail(); });
    if (GetParam().fault == Fault::None) {
        EXPECT_EQ(Traffic(node.Recorded()), Traffic(Entry())) << "the page's node traffic";
    }
    if (GetParam().fault == Fault::NodeInUse) {
        const host::Journal& journal = node.Recorded();
        EXPECT_EQ(journal.MaxSelection(), 0) << "a part selected while another process held it";
        for (int index : journal.reads) {
            EXPECT_NE(index, nv::kPluginCnf) << "NV 45 read while another process held it";
        }
        for (const auto& w : journal.writes) {
            EXPECT_NE(w.index, nv::kPluginCnf) << "NV 45 written while another process held it";
        }
    }
    EXPECT_EQ(ForeignChanges(settled, Snapshot(node)), std::vector<std::string>{});
}

INSTANTIATE_TEST_SUITE_P(EveryPage, PageFaultsTest, ::testing::ValuesIn(Cases()),
                         [](const auto& info) { return CaseName(info.param); });

// The rows of the table with the given faults, and the clean run.
std::vector<FaultCase> CasesOf(std::set<Fault> faults) {
    faults.insert(Fault::None);
    std::vector<FaultCase> cases;
    for (const FaultCase& c : Cases()) {
        if (faults.count(c.fault) != 0 && c.page->action != Action::Sync) {
            cases.push_back(c);
        }
    }
    return cases;
}

// A read that fails once, on show, leaves controls that show nothing of the node; a Write
// then keeps the node's bytes of what was never shown (nor typed) and rewrites the rest as
// shown. Values a page stores by rules of its own write what their controls hold, as before:
// the calendars, status switches and extended operation, the calibration time, the number of
// curve points, and the hot-water pump's running time, which is written without a read.
class ReadFailedOnShowTest : public PageFaultsTest {};

TEST_P(ReadFailedOnShowTest, WriteKeepsTheBytesNeverShown) {
    const NodeImage settled = Settled();
    RunPage(settled, [this] { Fail(); }, {.read = false, .beforeWrite = [this] { node.Heal(); }});
    NodeImage after = Snapshot(node);
    after.values[nv::kPartSelector] = settled.values.at(nv::kPartSelector);
    const std::set<std::string> ownRules{
        "WeekCalendar1",          "WeekCalendar2",        "PresenceCalendar1",
        "PresenceCalendar2",      "HotWaterCalendar",     "StatusSwitchSw1",
        "StatusSwitchSw2",        "ExtendedOperation1",   "ExtendedOperation2",
        "Exercise1_FailRead42",   "Exercise2_FailRead43", "SettingsTemperatures1_FailRead37",
        "HotWaterTank_FailRead41"};
    if (GetParam().fault == Fault::None ||
        (ownRules.count(Entry().name) == 0 && ownRules.count(CaseName(GetParam())) == 0)) {
        EXPECT_EQ(ForeignChanges(settled, after, true), std::vector<std::string>{});
    }
}

INSTANTIATE_TEST_SUITE_P(EveryPage, ReadFailedOnShowTest,
                         ::testing::ValuesIn(CasesOf({Fault::Read, Fault::PartRead})),
                         [](const auto& info) { return CaseName(info.param); });

// A Write whose node write fails says so on the status line, in red, naming what the node
// did not take (and, when it took the rest, that the Write was partial), until the next Read
// that reaches the node; the node traffic is the same. Nothing was typed, so no control is
// marked as not written: each still shows what the node holds.
class FailedWriteTest : public PageFaultsTest {};

TEST_P(FailedWriteTest, IsShownUntilTheNextRead) {
    const FaultCase& c = GetParam();
    RunPage(Settled(), [this] { Fail(); }, {.beforeWrite = [this] { node.StartRecording(); }});
    const auto& writes = node.Recorded().writes;
    const auto failing = [&](const auto& w) {
        return c.fault == Fault::Write ? w.index == c.target
                                       : w.index == nv::kPluginCnf && w.selectedPart == c.target;
    };
    const bool failed = std::any_of(writes.begin(), writes.end(), failing);
    const bool partly = failed && std::any_of(writes.begin(), writes.end(), [&](const auto& w) {
                            return !failing(w) && w.index != nv::kPartSelector;
                        });
    CNodePage& page = Entry().page(*sheet);
    const auto controls = page.Controls();
    EXPECT_FALSE(std::any_of(controls.begin(), controls.end(), [&](const auto& control) {
        return page.IsDlgItemNotWritten(control.id);
    }));
    const std::string nv = c.fault == Fault::Write
                               ? "NV " + std::to_string(c.target)
                               : "NV 45 (part " + std::to_string(c.target) + ")";
    const std::string shown = !failed  ? "Node1"
                              : partly ? "Write of " + page.Caption() + " partly failed: " + nv
                                       : "Write of " + page.Caption() + " failed: " + nv;
    EXPECT_EQ(sheet->StatusText().rfind(shown, 0), 0u) << sheet->StatusText();
    EXPECT_EQ(sheet->StatusText().find(" not written; ") != std::string::npos, partly)
        << sheet->StatusText();
    Click(page, 211);
    EXPECT_EQ(sheet->StatusText().rfind("Node1", 0), 0u) << sheet->StatusText();
}

INSTANTIATE_TEST_SUITE_P(EveryPage, FailedWriteTest,
                         ::testing::ValuesIn(CasesOf({Fault::Write, Fault::PartWrite})),
                         [](const auto& info) { return CaseName(info.param); });

}  // namespace

namespace {

// Every page's values are readable: an edit showing a live value the page never writes is
// read-only; a read-only edit has no white edit background and its text a contrast of at
// least 4.5:1 on it, a disabled edit's greyed text too; every edit showing a declared node
// field with a unit shows a unit beside it.
class ReadableValuesTest : public SheetFixture,
                           public ::testing::WithParamInterface<const PageEntry*> {};

TEST_P(ReadableValuesTest, ShowReadOnlyValuesAndUnits) {
    CNodePage& page = Show(GetParam()->page(Open()));
    for (const platform::ControlState& control : page.Controls()) {
        const auto* edit = qobject_cast<const QLineEdit*>(page.GetDlgItem(control.id));
        if (edit == nullptr) {
            continue;
        }
        SCOPED_TRACE(control.id);
        const QPalette palette = edit->palette();
        for (const auto group : {QPalette::Active, QPalette::Disabled}) {
            EXPECT_GE(platform::ContrastRatio(palette.color(group, QPalette::Text),
                                              palette.color(group, QPalette::Base)),
                      4.5);
        }
        if (edit->isReadOnly()) {
            EXPECT_NE(palette.color(QPalette::Base), QColor(Qt::white));
        }
    }
    const auto& config = page.DeclaredFields(false);
    for (const bool live : {false, true}) {
        for (const Bound& bound : page.DeclaredFields(live)) {
            const auto* edit = qobject_cast<const QLineEdit*>(page.GetDlgItem(bound.ids[0]));
            const bool written = std::any_of(config.begin(), config.end(), [&](const Bound& b) {
                return b.ids[0] == bound.ids[0];
            });
            if (edit != nullptr && !written) {
                EXPECT_TRUE(edit->isReadOnly()) << bound.field.name << " in " << bound.ids[0];
            }
            const bool number = bound.field.codec != node::Codec::Flag &&
                                bound.field.codec != node::Codec::Mode && bound.ids[1] == 0;
            if (number && !bound.field.unit.empty()) {
                // The dialog's own unit text ("sec" for "s") stands when it has one.
                EXPECT_NE(page.GetDlgItemUnit(bound.ids[0]), "")
                    << bound.field.name << " (" << bound.field.unit << ") in " << bound.ids[0];
            }
        }
    }
}

std::vector<const PageEntry*> PageEntries() {
    std::vector<const PageEntry*> entries;
    for (const PageEntry& page : Pages()) {
        entries.push_back(&page);
    }
    return entries;
}

INSTANTIATE_TEST_SUITE_P(EveryPage, ReadableValuesTest, ::testing::ValuesIn(PageEntries()),
                         [](const auto& info) { return std::string(info.param->name); });

// A desktop whose language writes a decimal comma: the pages still show and read numbers with
// a decimal point, as the node's numbers are written everywhere else.
TEST_F(SheetFixture, GermanLocaleKeepsTheDecimalPoint) {
    if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr) {
        GTEST_SKIP() << "the locale de_DE.UTF-8 is missing (scripts/setup.sh generates it)";
    }
    node.SetRaw(12, {0x04, 0xE2});        // outdoor temperature 12.50
    node.SetPart(2, {0x00, 0x00, 0x96});  // outdoor sensor offset 1.50
    CNodePage& page = Show(Open().outdoorTemperatures);
    const std::string shown = page.GetDlgItemText(229) + " " + page.GetDlgItemText(230);
    page.SetDlgItemText(230, "13.5");
    Click(page, 210);
    std::setlocale(LC_ALL, "C");
    EXPECT_EQ(shown, "12.5 1.5");
    EXPECT_EQ(node.Part(2)[1] * 256 + node.Part(2)[2], 1350);
}

}  // namespace
