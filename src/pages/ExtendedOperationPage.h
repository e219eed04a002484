#pragma once
// The Extended operation pages: the three delays of one circuit after which it switches to its
// boost, day and night temperature, each an hours word and a minutes word in NV 36, shown as
// "H:MM". "Start" beside a delay restarts that countdown in the node. The twin pages differ only
// in the dialog and in the circuit whose twelve bytes of NV 36 they show.

#include <array>
#include <cstddef>

#include "page/NodePage.h"

namespace vireo {

class ExtendedOperationPage : public CNodePage {
public:
    // circuit: 0 or 1, whose delays the page shows.
    ExtendedOperationPage(int dialogId, std::size_t circuit);

protected:
    void ReadConfig() override;
    void WriteConfig() override;

private:
    // A delay's edit (203, 204 or 205) and its field of NV 36.
    struct Delay {
        int editId;
        node::Field field;
    };

    void StoreDelay(NvBuffer& buffer, const Delay& delay) const;
    // "Start": the delay written as 0:00, then, 2000 ms later, as typed.
    void StartDelay(const Delay& delay);

    std::array<Delay, 3> delays_;  // boost, day, night
};

}  // namespace vireo
