#include "components/data/PgPassFile.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

TEST(PgPassFile, MatchesFieldsWildcardsAndEscapesLikeLibpq)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("pgpass"));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("# comment line\n"
            "db.agency.lan:5432:jx:clerk:secret\n"
            "*:6543:*:admin:x\\:y\n"
            "local\\:host:5432:jx:odd:pw\n"
            "short:5432:jx\n");
    f.close();
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    const PgPassFile pgpass(path);
    EXPECT_TRUE(pgpass.exists());
    EXPECT_FALSE(pgpass.permissionsTooOpen());
    EXPECT_TRUE(pgpass.covers("db.agency.lan", "5432", "jx", "clerk"));
    EXPECT_TRUE(pgpass.covers("db.agency.lan", "", "jx", "clerk")) << "an empty port is libpq's 5432";
    EXPECT_FALSE(pgpass.covers("db.agency.lan", "5432", "jx", "admin"));
    EXPECT_FALSE(pgpass.covers("db.agency.lan", "5432", "other", "clerk"));
    EXPECT_TRUE(pgpass.covers("anyhost", "6543", "anydb", "admin"));
    EXPECT_TRUE(pgpass.covers("local:host", "5432", "jx", "odd")) << "\\: is a colon inside a field";
    EXPECT_FALSE(pgpass.covers("short", "5432", "jx", "")) << "a line without a password serves nothing";

    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
    EXPECT_TRUE(pgpass.permissionsTooOpen());
    EXPECT_FALSE(PgPassFile(dir.filePath(QStringLiteral("none"))).covers("db.agency.lan", "5432", "jx", "clerk"));
}
