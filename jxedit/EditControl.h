#pragma once

#include "jxedit/ChangeWatch.h"
#include "jxedit/FunctionControl.h"
#include "jxedit/FunctionDefinition.h"
#include "jxedit/RecordStory.h"
#include "jxedit/PhotoStrip.h"
#include "platform/com/Result.h"

#include <QPointer>
#include <QVariantMap>

#include <functional>

class QFrame;
class QLabel;
class QPushButton;
class QSplitter;

namespace jxedit {

class GridView;
class RecordStore;
class RightsForm;

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
    /// Shows who changed the record and what; the number of changes.
    int showHistory();
    /// Shows the phone numbers of another agent's record (a recorded operation).
    bool revealPhones();
    /// From a customer's or a listing's record: opens a new viewing of it in
    /// a window (with the listing or customer chosen in the matches).
    bool bookViewing();
    GridView *matches() const { return m_matches; }
    GridView *historyView() const { return m_history; }
    /// The listing's photos and documents; null on forms of other tables.
    PhotoStrip *photoStrip() const { return m_photoStrip; }

    // Records started from another record: an offer's counter-offer, the
    // contract of an accepted offer.
    using Step = std::function<jx::Result<>(int id, const QVariantMap &values)>;
    /// Starts a new record showing `shown` (unsaved, so closing asks), with
    /// `hidden` values stored beside the form's; `step` runs inside its
    /// insert, `afterSave` once it is committed. 新增 lets all of it go.
    void prefill(const QVariantMap &shown, const QVariantMap &hidden, Step step, std::function<void(int id)> afterSave);
    /// Asks about unsaved changes; false when the user chose to go on editing.
    bool queryCloseForm() { return settleUnsaved(); }
    /// On an open offer: a new offer of the other side answering it.
    bool counterOffer();
    /// On an open offer: the contract form, filled from it, in a window of its own.
    bool acceptOffer();
    RecordStory *story() const { return m_story; }
    /// The bar saying that someone else saved or deleted the open record while it was being edited.
    QFrame *changedBar() const { return m_changedBar; }

protected:
    bool start(const com::DispArgs &args) override;
    void parametersChanged() override;
    bool queryClose() override;

private:
    struct Field;
    /// The editor of one field by its column's type (choice, link, memo, line).
    void makeEditor(Field &f);
    void buildForm();
    bool startRightsScreen();
    void setMode(int mode);
    bool openRecord(int id);
    void newRecord();
    void fillForm(const QVariantMap &values);
    QString fieldText(int index) const;
    void setFieldText(int index, const QString &text);
    bool collect(QVariantMap &values);
    bool checkPairs(const QVariantMap &values);
    void refuseAt(Field &field, const QString &why, QWidget *&first, int &refused);
    /// Says how many fields refused their input and goes to the first; true when none did.
    bool noneRefused(int refused, QWidget *first);
    QString inCaptions(QString why) const;
    bool askOnConflict(const QVariantMap &mine);
    /// The fields where `mine` differs from the record as stored now, one a line.
    QString comparison(const QVariantMap &mine);
    /// Another workstation (or window) saved or deleted records.
    void recordsChanged(const QVector<ChangeWatch::Change> &changes);
    void showChangedBar(const QString &text, bool stored);
    void buildChangedBar();
    /// What the record's rules warn about before it is saved, asked; false when the user chose not to save.
    bool confirmWarnings(const QVariantMap &values);
    /// Puts given values into a new record's fields.
    void prefill(const QVariantMap &given);
    /// Asks whether to save unsaved changes; false when the user chose to go on editing.
    bool settleUnsaved();
    void step(bool forward);
    /// Whether the open record belongs to another agent than the signed-in user.
    bool othersRecord() const;
    /// Whether the open record's phones are shown masked.
    bool phonesMasked() const;
    /// Why the user may not use `right` on the open record; empty when he may.
    QString missingRight(int right) const;
    void applyRights();
    void applyPhoneMask();
    // Offers: the amount's unit follows the listing; counter and accept need an open offer.
    void updateAmountCaption();
    void applyOfferCommands();
    void buildPhotoStrip(QSplitter *splitter);

    FunctionDefinition m_def;
    std::unique_ptr<RecordStore> m_store;
    std::vector<Field> m_fields;
    QWidget *m_form = nullptr;
    GridView *m_matches = nullptr;
    GridView *m_history = nullptr;
    QPointer<PhotoStrip> m_photoStrip; // may be gone before the control when its host went first
    QPointer<RightsForm> m_rights;
    QPointer<RecordStory> m_story; // may be gone before the control, like the lookups
    // Owned by the control, not its page: the page may outlive the control in its host.
    std::unique_ptr<ChangeWatch> m_watch;
    QFrame *m_changedBar = nullptr;
    QLabel *m_changedText = nullptr;
    QPushButton *m_compare = nullptr;
    QPushButton *m_takeStored = nullptr;
    QVariantMap m_hidden;
    Step m_step;
    std::function<void(int)> m_afterSave;
    QVariantMap m_loaded;
    QStringList m_loadedTexts;
    int m_mode = New;
    int m_id = 0;
    int m_version = 0;
    bool m_phonesShown = false;
};

} // namespace jxedit
