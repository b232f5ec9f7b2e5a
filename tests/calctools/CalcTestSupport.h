#pragma once

#include "platform/MessageBox.h"
#include "calctools/btool.h"

#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// One intercepted message box.
struct ShownMessage
{
    QString text;
    int style = 0;
    QString title;
};

// Answers every calculator message box and records it; points the program folder at a temporary folder.
class CalcFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        savedFolder = btool::ProgramFolder();
        btool::ProgramFolder() = dir.path();
        previousHandler = jx::setMessageBoxHandler([this](const QString &text, int style, const QString &title) {
            messages.push_back({text, style, title});
            return static_cast<int>(jx::OK);
        });
    }

    void TearDown() override
    {
        jx::setMessageBoxHandler(previousHandler);
        btool::ProgramFolder() = savedFolder;
        if (HasFailure())
            dir.setAutoRemove(false); // keep the rate file as evidence
    }

    void writeRates(const QByteArray &xml, const QString &name = QStringLiteral("interest.xml"))
    {
        QFile f(dir.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(xml);
    }

    QTemporaryDir dir;
    QString savedFolder;
    jx::MessageBoxHandler previousHandler;
    std::vector<ShownMessage> messages;
};
