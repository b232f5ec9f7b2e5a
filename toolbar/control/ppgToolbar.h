#pragma once

#include "toolbar/QvToolbarExport.h"
#include "toolbar/control/StdFont.h"
#include "toolbar/control/StdPicture.h"

#include <QColor>
#include <QDialog>
#include <QMessageBox>
#include <QPointer>

#include <cstdint>
#include <functional>
#include <memory>

namespace Ui {
class ppgToolbar;
}

namespace qvtoolbar {

class NavToolbar;

// The design-time property page "工具栏按钮": adds, deletes and reorders the
// buttons of the first selected NavToolbar and edits one button at a time.
// Edits reach the button when they are applied (Apply, OK, or moving to
// another button).
class QVTOOLBAR_EXPORT ppgToolbar final : public QDialog
{
    Q_OBJECT
public:
    explicit ppgToolbar(QWidget *parent = nullptr);
    ~ppgToolbar() override;

    // The form editor's selection; the first NavToolbar in it is edited.
    void SelectionChanged(const QList<QObject *> &selected);
    // Writes the page's fields to the button being edited; false when the
    // page refused them (the user was told why and nothing was written).
    bool ApplyChanges();

    bool Changed() const { return m_changed; }
    int32_t Position() const { return m_index; }
    NavToolbar *Control() const { return m_control; }

    // How messages and file choices are made; replaceable so that hosts
    // and tests can answer them. The defaults are the platform's boxes and
    // file-open dialog.
    using MessageShower = std::function<void(const QString &text, QMessageBox::Icon icon, const QString &title)>;
    void SetMessageShower(MessageShower shower) { m_showMessage = std::move(shower); }
    using FileChooser = std::function<QString(QWidget *owner)>;
    void SetFileChooser(FileChooser chooser) { m_chooseFile = std::move(chooser); }
    // The colour chooser (the platform's by default); an invalid colour
    // means the user cancelled.
    using ColourChooser = std::function<QColor(const QColor &start, const QString &title, QWidget *owner)>;
    void SetColourChooser(ColourChooser chooser) { m_chooseColour = std::move(chooser); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void LoadPosition(int32_t position);
    void SetChanged(bool changed);
    void EnableEditing(bool enabled);
    void EnableProperties(bool enabled);
    void ShowPosition(int32_t position);
    void AddClicked();
    void DeleteClicked();
    void MoveClicked(bool right);
    void TypeChanged();
    void StyleChanged();
    void BrowsePicture();
    void BrowseColour();
    void BrowseForeColour();
    QColor ChooseColour(const QColor &start, const QString &title);
    QString KeyConflict() const;
    void BrowseFont();
    void SetSwatch(int32_t oleColour);
    void SetPreview(PictureRef picture);
    void SetForeColour(int32_t oleColour);
    void Message(const QString &text, QMessageBox::Icon icon, const QString &title);

    std::unique_ptr<Ui::ppgToolbar> ui;
    QPointer<NavToolbar> m_control;
    int32_t m_index = 0;
    FontRef m_font;
    PictureRef m_preview;
    int32_t m_swatch = 0xFF00FF;
    int32_t m_foreColor = int32_t(0x80000008);
    bool m_changed = false;
    MessageShower m_showMessage;
    FileChooser m_chooseFile;
    ColourChooser m_chooseColour;
};

} // namespace qvtoolbar
