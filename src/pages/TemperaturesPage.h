#pragma once
// The Temperatures pages: the live forward and return temperatures of one circuit with its
// low-forward-temperature status, the calibration offset of each sensor (part 2), the low forward
// temperature monitoring, its offset and delay (part 3), and the maximum return temperature with
// its dead band (the circuit's temperature settings record, NV 37 or 38). A sensor that reads
// below -200 °C is missing: its controls are disabled each time the page is shown or hidden. The
// twin pages differ only in the TemperaturesTwin they pass.

#include <initializer_list>

#include "page/NodePage.h"
#include "res/TemperaturesDialogs.h"

namespace vireo {

struct TemperaturesTwin {
    int dialogId;
    int captionId;
    int circuit;  // 0 circuit 1, 1 circuit 2: the index into the circuit twins of the fields
    res::temperatures::SensorControlIds ids;
};

class TemperaturesPage : public CNodePage {
public:
    explicit TemperaturesPage(const TemperaturesTwin& twin);

protected:
    bool ReadsAfterWrite() const override { return true; }
    // The sensor check, after the timer step on show and on hide.
    void AfterTimerExtras() override;

private:
    // Reads the sensor's temperature and enables its controls unless it reads below -200 °C;
    // a failed read leaves them as they are.
    void CheckSensor(const node::Field& temperature, std::initializer_list<int> controls);

    TemperaturesTwin twin_;
};

}  // namespace vireo
