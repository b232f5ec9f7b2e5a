#include "platform/MessageBox.h"

#include "platform/ProgramInfo.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

TEST(MessageBox, RecorderInterceptsAndAnswers)
{
    jx::ScopedMessageBoxRecorder recorder(jx::No);
    recorder.queueAnswer(jx::Yes);
    EXPECT_EQ(jx::msgBox(QStringLiteral("确定退出吗?"), jx::YesNo + jx::Question, QStringLiteral("提示:")), jx::Yes);
    EXPECT_EQ(jx::msgBox(QStringLiteral("再问一次"), jx::YesNo), jx::No);
    ASSERT_EQ(recorder.count(), 2);
    EXPECT_EQ(recorder.boxes()[0].text, QStringLiteral("确定退出吗?"));
    EXPECT_EQ(recorder.boxes()[0].style, 36);
    EXPECT_EQ(recorder.boxes()[0].title, QStringLiteral("提示:"));
    // An empty title shows the program title.
    EXPECT_EQ(recorder.last().title, jx::ProgramInfo::title());
}

TEST(MessageBox, RecordersNestAndRestoreThePreviousHandler)
{
    jx::ScopedMessageBoxRecorder outer(jx::OK);
    {
        jx::ScopedMessageBoxRecorder inner(jx::Cancel);
        EXPECT_EQ(jx::msgBox(QStringLiteral("inner"), jx::OKCancel), jx::Cancel);
        EXPECT_EQ(inner.count(), 1);
    }
    EXPECT_EQ(jx::msgBox(QStringLiteral("outer"), jx::OKCancel), jx::OK);
    ASSERT_EQ(outer.count(), 1);
    EXPECT_EQ(outer.last().text, QStringLiteral("outer"));
}

TEST(MessageBox, HandlerReplacesTheBox)
{
    int calls = 0;
    jx::MessageBoxHandler previous = jx::setMessageBoxHandler([&calls](const QString &, int style, const QString &) {
        ++calls;
        return style;
    });
    EXPECT_EQ(jx::msgBox(QStringLiteral("x"), 48), 48);
    EXPECT_EQ(calls, 1);
    jx::setMessageBoxHandler(previous);
}

TEST(MessageBox, DefaultAnswersFollowTheButtonSet)
{
    EXPECT_EQ(jx::defaultMsgResult(jx::OKOnly), jx::OK);
    EXPECT_EQ(jx::defaultMsgResult(jx::YesNo + jx::Question), jx::Yes);
    EXPECT_EQ(jx::defaultMsgResult(jx::YesNo + jx::DefaultButton2), jx::No);
    EXPECT_EQ(jx::defaultMsgResult(jx::YesNoCancel + jx::DefaultButton3), jx::Cancel);
    EXPECT_EQ(jx::defaultMsgResult(jx::RetryCancel), jx::Retry);
    // A default button beyond the set falls back to the first.
    EXPECT_EQ(jx::defaultMsgResult(jx::OKOnly + jx::DefaultButton3), jx::OK);
}

// Shows a real box and inspects it from inside its own event loop.
struct SeenBox
{
    bool found = false;
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
};

SeenBox showAndPress(const QString &text, int style, const QString &title, QMessageBox::StandardButton press,
                     int *result)
{
    SeenBox seen;
    QTimer::singleShot(0, [&seen, press]() {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (box == nullptr)
            return;
        seen.found = true;
        seen.title = box->windowTitle();
        seen.text = box->text();
        seen.icon = box->icon();
        seen.buttons = box->standardButtons();
        if (QAbstractButton *b = box->button(press))
            b->click();
        else
            box->reject();
    });
    *result = jx::msgBox(text, style, title);
    return seen;
}

TEST(MessageBox, RealBoxHasTheMatchingIconButtonsAndTitle)
{
    int result = 0;
    SeenBox seen = showAndPress(QStringLiteral("删除吗?"), jx::YesNo + jx::Question, QStringLiteral("提示："),
                                QMessageBox::No, &result);
    ASSERT_TRUE(seen.found);
    EXPECT_EQ(seen.title, QStringLiteral("提示："));
    EXPECT_EQ(seen.text, QStringLiteral("删除吗?"));
    EXPECT_EQ(seen.icon, QMessageBox::Question);
    EXPECT_EQ(seen.buttons, QMessageBox::Yes | QMessageBox::No);
    EXPECT_EQ(result, jx::No);

    seen = showAndPress(QStringLiteral("出错"), jx::Critical, QStringLiteral("错误"), QMessageBox::Ok, &result);
    ASSERT_TRUE(seen.found);
    EXPECT_EQ(seen.icon, QMessageBox::Critical);
    EXPECT_EQ(seen.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    EXPECT_EQ(result, jx::OK);

    seen = showAndPress(QStringLiteral("注意"), jx::Exclamation + jx::OKCancel, QString(), QMessageBox::Cancel, &result);
    ASSERT_TRUE(seen.found);
    EXPECT_EQ(seen.icon, QMessageBox::Warning);
    EXPECT_EQ(seen.title, jx::ProgramInfo::title());
    EXPECT_EQ(result, jx::Cancel);

    seen = showAndPress(QStringLiteral("信息"), jx::Information, QStringLiteral("提示:"), QMessageBox::Ok, &result);
    ASSERT_TRUE(seen.found);
    EXPECT_EQ(seen.icon, QMessageBox::Information);
    EXPECT_EQ(result, jx::OK);
}

} // namespace
