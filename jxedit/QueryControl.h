#pragma once

#include "jxedit/FunctionControl.h"
#include "jxedit/ChangeWatch.h"
#include "jxedit/FunctionDefinition.h"
#include "platform/com/Result.h"

#include <memory>

class QLabel;

namespace jxedit {

class GridView;
class SearchPanel;

/// "JxEdit.oquery": the rows of a program's list statement in a grid.
/// Py_Init(context, configuration, program number, caption).
class QueryControl final : public FunctionControl
{
public:
    QueryControl();
    GridView *grid() const { return m_grid; }
    SearchPanel *searchPanel();
    jx::Result<> exportCsv(const QString &path) const;

protected:
    bool start(const com::DispArgs &args) override;
    void clear() override;

private:
    void reload();
    void watchChanges();
    void exportInteractively();
    void showSearch(bool shown);
    void updateSearchSummary();
    FunctionDefinition m_def;
    GridView *m_grid;
    SearchPanel *m_search = nullptr;
    QLabel *m_searchSummary; // the condition in force while the panel is collapsed
    // The panel's condition in force, over the list statement's output columns.
    QString m_where;
    QVariantList m_whereParams;
    // Owned by the control, not its page: the page may outlive the control in its host.
    std::unique_ptr<ChangeWatch> m_watch;
};

} // namespace jxedit
