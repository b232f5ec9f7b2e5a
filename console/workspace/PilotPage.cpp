#include "console/workspace/PilotPage.h"

#include <QWidget>

namespace jx {

// Diagrams are read and drawn in a later change; until then a directory has
// no diagram and its page stays empty, as for a directory without one.
struct PilotPage::Impl
{
    AppContext &context;
    QWidget *picTable;
    Opener open;
};

PilotPage::PilotPage(AppContext &context, QWidget *picTable, Opener open)
    : d(std::make_unique<Impl>(Impl{context, picTable, std::move(open)}))
{
}

PilotPage::~PilotPage() = default;

bool PilotPage::LoadPilot(const QString &)
{
    ClearDynamicControls();
    return false;
}

void PilotPage::BuildPilot(const QString &) {}

void PilotPage::ClearDynamicControls() {}

} // namespace jx
