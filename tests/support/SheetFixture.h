#pragma once
// A sheet opened on the simulated node with the scripted desktop, as the control's properties
// verb opens it, for tests of the sheet and its pages. Every host call is kept as a transcript
// line ("ReadNv 44 31 -> 0"); pauses and message boxes are recorded by the desktop.

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "control/VireoCtrl.h"
#include "framework/ScriptedDesktop.h"
#include "host/ClientSite.h"
#include "res/ControlIds.h"
#include "res/NodeInfoDialog.h"
#include "sheet/Sheet.h"
#include "sim/SimNode.h"

// Tests name the sheet's and pages' classes directly.
using namespace vireo;

class SheetFixture : public ::testing::Test {
protected:
    void SetUp() override {
        site_ = new host::ClientSite(node, host::Offer::Both);
        site_->transcript = [this](const std::string& line) {
            calls.push_back(line);
            if (onHostCall) {
                onHostCall();
            }
        };
        control.SetClientSite(site_);
        g_pCurrentControl = &control;
        platform::Desktop::SetCurrent(&desktop);
    }

    void TearDown() override {
        sheet.reset();
        control.SetClientSite(nullptr);
        g_pCurrentControl = nullptr;
        site_->Release();
        platform::Desktop::SetCurrent(nullptr);
    }

    void Offer(host::Offer offer) { site_->SetOffer(offer); }

    // Builds the sheet and opens its window on the first tab.
    CSheet& Open() {
        sheet = std::make_unique<CSheet>("Vireo", nullptr, 0, site_);
        sheet->Create();
        return *sheet;
    }

    // Shows a page as the user would: opens the sheet if needed, switches to page set 2 when the
    // page belongs only to it, and selects its tab. Forgets the calls made so far.
    template <typename Page>
    Page& Show(Page& page) {
        if (!sheet) {
            Open();
        }
        if (sheet->GetPageIndex(&page) < 0) {
            sheet->SetActivePage(0);
            sheet->nodeInfo.ClickDlgItem(235);  // "VI2"
        }
        const int index = sheet->GetPageIndex(&page);
        EXPECT_GE(index, 0) << "page is in neither page set";
        calls.clear();
        desktop.Clear();
        sheet->SetActivePage(index);
        return page;
    }

    // Clicks a control of the visible page; fails the test when it cannot be clicked.
    void Click(platform::CPropertyPage& page, int id) {
        ASSERT_TRUE(page.ClickDlgItem(id)) << "control " << id << " cannot be clicked";
    }

    // Host calls of one kind ("ReadNv", "WriteNv") made since the last Show or Forget.
    std::vector<std::string> CallsOf(const std::string& kind) const {
        std::vector<std::string> found;
        for (const auto& line : calls) {
            if (line.rfind(kind + " ", 0) == 0) {
                found.push_back(line);
            }
        }
        return found;
    }
    // The Pressure page's sensor set to analog in part 1: its edits are enabled.
    void UseAnalogPressureSensor() {
        host::PartImage part1 = node.Part(1);
        part1[10] |= 0x02;
        node.SetPart(1, host::Bytes(part1.begin(), part1.end()));
    }
    void Forget() {
        calls.clear();
        desktop.Clear();
    }

    host::SimNode node;
    platform::ScriptedDesktop desktop;
    CVireoCtrl control;
    std::unique_ptr<CSheet> sheet;
    std::vector<std::string> calls;
    // Runs at every host call, while the handler that makes it is still working.
    std::function<void()> onHostCall;
    host::ClientSite* site_ = nullptr;
};
