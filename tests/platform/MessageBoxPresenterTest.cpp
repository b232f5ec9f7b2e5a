#include "platform/MessageBox.h"
#include "platform/widgets/WidgetMessageBox.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

// Puts a presenter in for the test's lifetime and the widgets part's back after.
class ScopedPresenter final
{
public:
    explicit ScopedPresenter(jx::MessageBoxHandler presenter) : m_previous(jx::setMessageBoxPresenter(std::move(presenter))) {}
    ~ScopedPresenter() { jx::setMessageBoxPresenter(std::move(m_previous)); }
    ScopedPresenter(const ScopedPresenter &) = delete;
    ScopedPresenter &operator=(const ScopedPresenter &) = delete;
    bool replacedOne() const { return static_cast<bool>(m_previous); }

private:
    jx::MessageBoxHandler m_previous;
};

TEST(MessageBoxPresenter, WidgetsPartDrawsTheBoxOnceLoaded)
{
    // This program made its application after loading the widgets part, which
    // installed its box behind the seam then.
    ScopedPresenter none{jx::MessageBoxHandler()};
    EXPECT_TRUE(none.replacedOne());
}

TEST(MessageBoxPresenter, HandlerFirstThenPresenterThenStandardError)
{
    QStringList drawn;
    ScopedPresenter presenter([&drawn](const QString &text, int style, const QString &title) {
        drawn << text + QLatin1Char('|') + title;
        return style == jx::YesNo ? jx::No : jx::OK;
    });
    // No handler: the presenter draws it, with the title as shown.
    EXPECT_EQ(jx::msgBox(QStringLiteral("删除吗?"), jx::YesNo, QStringLiteral("提示")), jx::No);
    ASSERT_EQ(drawn.size(), 1);
    EXPECT_EQ(drawn[0], QStringLiteral("删除吗?|提示"));
    {
        // A handler takes the box; the presenter is not asked.
        jx::ScopedMessageBoxRecorder recorder(jx::Yes);
        EXPECT_EQ(jx::msgBox(QStringLiteral("再问"), jx::YesNo), jx::Yes);
        EXPECT_EQ(drawn.size(), 1);
        // showMessageBox passes the handler by, to the presenter.
        EXPECT_EQ(jx::showMessageBox(QStringLiteral("直接"), jx::YesNo, QStringLiteral("t")), jx::No);
        EXPECT_EQ(recorder.count(), 1);
        ASSERT_EQ(drawn.size(), 2);
        EXPECT_EQ(drawn[1], QStringLiteral("直接|t"));
    }
    // Without any presenter a box answers its default button at once.
    ScopedPresenter none{jx::MessageBoxHandler()};
    EXPECT_EQ(jx::msgBox(QStringLiteral("无人值守"), jx::YesNo + jx::DefaultButton2), jx::No);
    EXPECT_EQ(jx::msgBox(QStringLiteral("无人值守"), jx::RetryCancel), jx::Retry);
    EXPECT_EQ(drawn.size(), 2);
}

TEST(MessageBoxPresenter, ButtonSetsInShownOrder)
{
    EXPECT_EQ(jx::msgButtons(jx::OKOnly + jx::Critical), QList<int>({jx::OK}));
    EXPECT_EQ(jx::msgButtons(jx::AbortRetryIgnore), QList<int>({jx::Abort, jx::Retry, jx::Ignore}));
    EXPECT_EQ(jx::msgButtons(jx::SaveDiscardCancel + jx::DefaultButton3), QList<int>({jx::Yes, jx::No, jx::Cancel}));
    // An unknown set is one OK button, as the box draws it.
    EXPECT_EQ(jx::msgButtons(7), QList<int>({jx::OK}));
}

// The record form's box: its own captions, its default, and Esc as Cancel.
TEST(MessageBoxPresenter, SaveDiscardCancelBoxNamesItsButtons)
{
    QStringList captions;
    QString defaultCaption;
    QTimer::singleShot(0, [&]() {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (box == nullptr)
            return;
        for (QAbstractButton *b : box->buttons())
            captions << b->text();
        if (box->defaultButton())
            defaultCaption = box->defaultButton()->text();
        box->reject();
    });
    const int answer = jx::execWidgetMessageBox(QStringLiteral("记录已修改"), jx::SaveDiscardCancel + jx::DefaultButton2,
                                                QStringLiteral("提示"));
    EXPECT_EQ(answer, jx::Cancel);
    captions.sort();
    QStringList expected{QStringLiteral("保存"), QStringLiteral("不保存"), QStringLiteral("取消")};
    expected.sort();
    EXPECT_EQ(captions, expected);
    EXPECT_EQ(defaultCaption, QStringLiteral("不保存"));
}

} // namespace
