#pragma once

#include "jxedit/FunctionControl.h"
#include "jxedit/FunctionDefinition.h"

namespace jxedit {

class GridView;

/// "JxEdit.oquery": the rows of a program's list statement in a grid.
/// Py_Init(context, configuration, program number, caption).
class QueryControl final : public FunctionControl
{
public:
    QueryControl();
    GridView *grid() const { return m_grid; }
    bool exportCsv(const QString &path, QString &why) const;

protected:
    bool start(const com::DispArgs &args) override;
    void clear() override;

private:
    void reload();
    void exportInteractively();
    FunctionDefinition m_def;
    GridView *m_grid;
};

} // namespace jxedit
