#pragma once

// The plug-in manager: lists every plug-in class of the Plugin folder (and,
// below them, the libraries that gave none, with the reason) and configures
// or runs the selected one, each use on a fresh object. The list is built by
// PluginScanner's helper processes, or in process when there is no helper;
// configuring and running stay in process.

#include "console/plugins/PluginScanner.h"
#include "console/plugins/modCreateObj.h"

#include <QDialog>

#include <cstdint>
#include <memory>

namespace Ui {
class frmPluginRun;
}

class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;
class QPlainTextEdit;
class QLabel;

namespace jx {

class ConsoleSession;

class frmPluginRun final : public QDialog
{
    Q_OBJECT
public:
    // The plug-in manager's own program number, used when Py_Init is not called.
    static constexpr int32_t kProgramNumber = 100027;

    explicit frmPluginRun(ConsoleSession &session, QWidget *parent = nullptr);
    ~frmPluginRun() override;

    // Keeps the program number and caption and shows the window modally.
    void Py_Init(int32_t plCzid, const QString &psCaption);

    // Builds the list; runs once, on the first show at the latest.
    void LoadForm();
    void Configure();
    void Run();

    QTreeWidget *LV() const;
    QTreeWidget *LvProblems() const;
    QPlainTextEdit *txtDescription() const;
    QLabel *lblAuthor() const;
    QPushButton *Cmd(int index) const;
    // How the list is built; settable before the first show.
    PluginScanner &Scanner() { return m_scanner; }

    // Column positions of LV.
    enum Column { ColDescription, ColStyleName, ColFileName, ColClassName, ColPath, ColName, ColReg, ColumnCount };

public slots:
    void done(int result) override;

protected:
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void showRow(QTreeWidgetItem *item);
    PluginScan scanPlugins(const QString &programFolder);
    void setColumnWidths();
    com::ComPtr<IExtPluginUI> objectFor(QTreeWidgetItem *item);

    std::unique_ptr<Ui::frmPluginRun> ui;
    ConsoleSession &m_session;
    PluginScanner m_scanner;
    int32_t m_czid = kProgramNumber;
    QString m_caption;
    bool m_loaded = false;
    bool m_closed = false;
};

} // namespace jx
