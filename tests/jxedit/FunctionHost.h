#pragma once

// A small host for the function controls: a page, the control container, a
// record of every event the controls raise, and a product database with the
// demo functions loaded (a SQLite file, or a private PostgreSQL schema).

#include "FunctionDemo.h"
#include "TestDatabase.h"

#include "components/context/AppContext.h"
#include "components/context/CurrentUser.h"
#include "controls/ControlContainer.h"
#include "platform/com/InprocServer.h"
#include "platform/com/LateBound.h"
#include "platform/com/RegistryStore.h"

#include <QAction>
#include <QWidget>

#include <gtest/gtest.h>
#include "ProgramPaths.h"

struct RaisedEvent
{
    QString control;
    QString name;
    QVariantList params;
};

class FunctionHost : public ::testing::TestWithParam<const char *>
{
protected:
    void SetUp() override
    {
        if (engine() == u"postgres" && !TestDatabase::postgresAvailable())
            GTEST_SKIP() << "JX_TEST_PG not set";
        com::RegistryStore::setFilePath(m_registry.filePath(QStringLiteral("registry.json")));
        ASSERT_EQ(com::InprocServer::callRegistration(programPath("JXEDIT_LIBRARY"), true), S_OK);
        QString why;
        ASSERT_TRUE(t.open(engine(), why)) << why.toStdString();
        const auto loaded = FunctionDemo::load(*t.db, programPath("JX_FUNCTION_DEMO_DIR"));
        ASSERT_TRUE(loaded) << loaded.error().toStdString();
        ASSERT_TRUE(context.Attach(t.db.get(), 0)) << context.LastError().Description().toStdString();
        user.Attach(&context);
        signIn(QStringLiteral("admin"));
        page.resize(900, 600);
        container = std::make_unique<qvcontrols::ControlContainer>(
            [this](qvcontrols::ControlSite &site, const QString &event, const com::DispArgs &params) {
                RaisedEvent e{site.name(), event, {}};
                for (VARIANT *p : params)
                    e.params << com::toQVariant(*p);
                events.push_back(e);
            });
    }
    void TearDown() override
    {
        container.reset();
        user.Attach(nullptr);
        com::RegistryStore::setFilePath(QString());
    }

    QString engine() const { return QString::fromLatin1(GetParam()); }

    // Signs `name` in (the demo users have no password in the test database):
    // his rights then govern every control started afterwards.
    void signIn(const QString &name)
    {
        user.SetUserName(name);
        ASSERT_TRUE(user.Login(QString())) << name.toStdString() << user.LastError().Description().toStdString();
        context.Environment().SetUserName(name);
    }

    // A second workstation: its own connection to the same data.
    std::unique_ptr<Database> secondConnection()
    {
        auto db = std::make_unique<Database>();
        if (engine() == u"sqlite") {
            EXPECT_TRUE(db->OpenDirect(engine(), t.dir.filePath(QStringLiteral("jx.db"))));
        } else {
            EXPECT_TRUE(db->OpenDirect(engine(), qEnvironmentVariable("JX_TEST_PG")));
            EXPECT_TRUE(db->Execute(QStringLiteral("SET search_path TO ") + t.schema));
        }
        return db;
    }

    qvcontrols::ControlSite *add(const QString &progId, const QString &name = QStringLiteral("edit"))
    {
        return container->Add(progId, name, &page);
    }
    com::Variant contextArg(AppContext &ctx) { return com::Variant::fromDispatch(ctx.toVariant().pdispVal); }

    // Py_Init as a host calls it, every argument by reference.
    bool start(qvcontrols::ControlSite *site, std::vector<com::Variant> args, AppContext *ctx = nullptr)
    {
        com::Variant ctxVar = com::Variant::fromDispatch(&(ctx ? *ctx : context));
        com::Variant config;
        std::vector<VARIANT> refs{com::byRef(&ctxVar), com::byRef(&config)};
        for (com::Variant &a : args)
            refs.push_back(com::byRef(&a));
        m_lastArgs = std::move(args);
        return com::toQVariant(com::invoke(site->object(), QStringLiteral("Py_Init"), DISPATCH_METHOD, refs)).toBool();
    }
    const com::Variant &lastArg(size_t i) const { return m_lastArgs.at(i); }

    template<typename T>
    static T *child(qvcontrols::ControlSite *site, const QString &name)
    {
        return site->widget()->findChild<T *>(name);
    }
    static void trigger(qvcontrols::ControlSite *site, const char *command)
    {
        QAction *a = child<QAction>(site, QString::fromLatin1(command));
        ASSERT_NE(a, nullptr) << command;
        a->trigger();
    }
    std::vector<RaisedEvent> eventsNamed(const QString &name) const
    {
        std::vector<RaisedEvent> out;
        for (const RaisedEvent &e : events)
            if (e.name == name)
                out.push_back(e);
        return out;
    }
    QVariant scalar(const QString &sql) { return t.db->Query(sql).Value(); }

    QTemporaryDir m_registry;
    TestDatabase t;
    AppContext context;
    CurrentUser user;
    QWidget page;
    std::unique_ptr<qvcontrols::ControlContainer> container;
    std::vector<RaisedEvent> events;
    std::vector<com::Variant> m_lastArgs;
};
