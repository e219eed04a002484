#pragma once

#include "page/NodePage.h"

namespace vireo {

// Import / Export: the node's whole configuration to a settings file and back, and the
// factory settings. The operations themselves are shared with the command line.
class ImportExportPage : public CNodePage {
public:
    ImportExportPage();

protected:
    void ShowExtras() override;

private:
    void FillNameAndFile();
    void OnSaveToFile();
    void OnReadFromFile();
    void OnCompareWithNode();
    void OnDefaultSettings();
};

}  // namespace vireo
