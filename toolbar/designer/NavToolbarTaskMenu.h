#pragma once

#include <QtDesigner/QDesignerTaskMenuExtension>

#include <QPointer>

class QAction;

namespace qvtoolbar {
class NavToolbar;
}

// "编辑按钮..." in the context menu of a NavToolbar on a form: opens the
// property page on it; OK keeps the edits in the form (through the
// StoredProperties text, so the form editor can undo it), Cancel puts the
// buttons back as they were.
class NavToolbarTaskMenu final : public QObject, public QDesignerTaskMenuExtension
{
    Q_OBJECT
    Q_INTERFACES(QDesignerTaskMenuExtension)
public:
    NavToolbarTaskMenu(qvtoolbar::NavToolbar *bar, QObject *parent);

    QAction *preferredEditAction() const override;
    QList<QAction *> taskActions() const override;

private:
    void EditButtons();

    QPointer<qvtoolbar::NavToolbar> m_bar;
    QAction *m_edit;
};
