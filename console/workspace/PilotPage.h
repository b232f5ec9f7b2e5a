#pragma once

#include <QString>

#include <functional>
#include <memory>

class AppContext;
class QWidget;

namespace jx {

// The navigation diagram of a directory on the main window's diagram page
// (`PicTable`): nodes and arrows read from the diagram stored for the
// directory, cached below the temporary folder. A node click hands its menu
// code to the opener the main window gives.
class PilotPage final
{
public:
    using Opener = std::function<void(const QString &menuCode)>;

    // Nodes and arrows together built of one diagram at most (arrows first);
    // the rest is left out with a notice. A page of tens of thousands of
    // widgets is of no use and takes minutes to build and tear down.
    static constexpr int kMaxElements = 5000;

    PilotPage(AppContext &context, QWidget *picTable, Opener open);
    ~PilotPage();
    PilotPage(const PilotPage &) = delete;
    PilotPage &operator=(const PilotPage &) = delete;

    // Shows the diagram of a directory; true when a diagram file was read.
    bool LoadPilot(const QString &menuCode);
    // Creates the arrows and nodes of one diagram's blocks element.
    void BuildPilot(const QString &blocksXml);
    // Unloads every node and arrow built so far.
    void ClearDynamicControls();

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

} // namespace jx
