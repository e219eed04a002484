#pragma once
// The Exercise / Digital Valve pages: how long a circuit's pump and valve may stand still before
// the node exercises them (part 7, hours), the running time and the pause of the circuit's
// digital valve (part 5, tenths of a second shown in whole seconds), and the valve's
// calibration time of day (NV 42 or 43, an hour byte and a minute byte shown as "H:MM"). No
// live values and no timer; Read runs on show. The twin pages differ only in the ExerciseTwin
// they pass.

#include "page/NodePage.h"

namespace vireo {

struct ExerciseTwin {
    int dialogId;
    int captionId;
    int circuit;  // 0 circuit 1, 1 circuit 2: the index into the circuit twins of the fields
};

class ExercisePage : public CNodePage {
public:
    explicit ExercisePage(const ExerciseTwin& twin);

protected:
    void ReadConfig() override;
    void WriteConfig() override;
    bool ReadsAfterWrite() const override { return true; }

private:
    ExerciseTwin twin_;
};

}  // namespace vireo
