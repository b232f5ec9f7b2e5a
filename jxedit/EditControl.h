#pragma once

#include "jxedit/FunctionControl.h"
#include "jxedit/FunctionDefinition.h"

#include <QVariantMap>

class QLabel;

namespace jxedit {

class GridView;
class RecordStore;

/// "JxEdit.oedit": a record entry form built from a program's definition.
/// Main window: Py_Init(context, configuration, program number, 0) opens a new
/// record. Function window: Py_Init(context, configuration, program number,
/// data, mode) with mode 0 view, 1 new, 2 edit and data the record number; a
/// text key arrives afterwards as sParameters "sID".
class EditControl final : public FunctionControl
{
public:
    enum Mode { View = 0, New = 1, Edit = 2 };

    EditControl();
    ~EditControl() override;

    int mode() const { return m_mode; }
    int recordId() const { return m_id; }
    bool isDirty() const;
    /// Checks and stores the form; false leaves the typing in the form.
    bool save();
    bool removeRecord();
    /// Asks about unsaved changes, then raises "unload".
    void closeForm();
    /// Shows the matching listings or customers; the number of rows.
    int showMatches();
    GridView *matches() const { return m_matches; }

protected:
    bool start(const com::DispArgs &args) override;
    void parametersChanged() override;

private:
    struct Field;
    void buildForm();
    void setMode(int mode);
    bool openRecord(int id);
    void newRecord();
    void fillForm(const QVariantMap &values);
    QString fieldText(int index) const;
    void setFieldText(int index, const QString &text);
    bool collect(QVariantMap &values);
    bool askOnConflict(const QVariantMap &mine);
    void step(bool forward);

    FunctionDefinition m_def;
    std::unique_ptr<RecordStore> m_store;
    std::vector<Field> m_fields;
    QWidget *m_form = nullptr;
    GridView *m_matches = nullptr;
    QVariantMap m_loaded;
    QStringList m_loadedTexts;
    int m_mode = New;
    int m_id = 0;
    int m_version = 0;
};

} // namespace jxedit
