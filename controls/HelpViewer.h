#pragma once

#include "jx_controls_export.h"

#include <QUrl>
#include <QWidget>

#include <memory>

namespace Ui {
class HelpViewer;
}

namespace qvcontrols {

// The program's help viewer for HTML help: the contents list on the left
// (the links of the contents page, in their order), the page on the right,
// with back, forward and contents buttons. Links to the web open with the
// desktop.
class JX_CONTROLS_EXPORT HelpViewer final : public QWidget
{
    Q_OBJECT
public:
    explicit HelpViewer(QWidget *parent = nullptr);
    ~HelpViewer() override;

    // `path` is a folder (its index.html is the contents page) or an HTML
    // file. False when there is no contents page.
    bool OpenContents(const QString &path);

    QUrl CurrentPage() const;
    // The contents list as shown: each entry's caption.
    QStringList ContentsCaptions() const;
    void ShowEntry(int row);
    void Back();
    void Forward();
    bool CanGoBack() const;
    bool CanGoForward() const;

private:
    void pageChanged(const QUrl &url);

    std::unique_ptr<Ui::HelpViewer> m_ui;
    QUrl m_contents;
};

} // namespace qvcontrols
