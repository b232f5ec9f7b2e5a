#include "platform/com/ClassRegistry.h"
#include "platform/com/Guid.h"
#include "platform/com/InprocServer.h"
#include "platform/com/LateBound.h"
#include "platform/com/RegistryStore.h"
#include "platform/com/TypeLibrary.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include "ProgramPaths.h"

namespace {

const QString kServer = programPath("QV_TESTSERVER_PATH");

class ServerTest : public ::testing::Test
{
protected:
    void SetUp() override { com::RegistryStore::setFilePath(m_dir.filePath(QStringLiteral("registry.json"))); }
    void TearDown() override { com::RegistryStore::setFilePath(QString()); }
    QTemporaryDir m_dir;
};

} // namespace

// Must run before anything loads the library: reading the description runs none of its code.
TEST_F(ServerTest, AReadsTypeLibraryWithoutRunningTheLibrary)
{
    ASSERT_FALSE(com::InprocServer::isLoaded(kServer));
    const auto lib = com::TypeLibrary::loadFromFile(kServer);
    ASSERT_TRUE(lib.ok()) << lib.error().toStdString();
    EXPECT_EQ(lib->name, QStringLiteral("qvTestServer"));
    EXPECT_EQ(lib->majorVersion, 1);
    EXPECT_EQ(lib->minorVersion, 2);
    ASSERT_EQ(lib->coclasses().size(), 1);
    const com::TypeEntry greeter = lib->coclasses().first();
    EXPECT_EQ(greeter.name, QStringLiteral("Greeter"));
    ASSERT_EQ(greeter.implemented.size(), 1);
    EXPECT_EQ(greeter.implemented.first().name, QStringLiteral("_Greeter"));
    EXPECT_EQ(com::guidToString(greeter.guid), QStringLiteral("{6C1D2E92-3A4B-4C5D-8E9F-0A1B2C3D4E5F}"));
    EXPECT_TRUE(lib->findCoclass(QStringLiteral("greeter")).has_value());

    EXPECT_FALSE(com::InprocServer::isLoaded(kServer));
    EXPECT_EQ(std::getenv("QV_TESTSERVER_LOADED"), nullptr);
}

TEST_F(ServerTest, RejectsFilesWithoutTypeLibrary)
{
    const QString junk = m_dir.filePath(QStringLiteral("junk.so"));
    QFile f(junk);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("\x7f" "ELF not really");
    f.close();
    const auto fromJunk = com::TypeLibrary::loadFromFile(junk);
    EXPECT_FALSE(fromJunk.ok());
    EXPECT_FALSE(fromJunk.error().isEmpty());
    EXPECT_FALSE(com::TypeLibrary::loadFromFile(m_dir.filePath(QStringLiteral("missing.so"))).ok());
    EXPECT_FALSE(com::TypeLibrary::parse(QStringLiteral("coclass X {6C1D2E92-3A4B-4C5D-8E9F-0A1B2C3D4E5F}")).ok());
    EXPECT_FALSE(com::TypeLibrary::parse(QStringLiteral("library L 1.0 {bad}")).ok());
}

TEST_F(ServerTest, CreatesByProgIdOnlyWhileRegistered)
{
    EXPECT_THROW(com::createObject(QStringLiteral("qvTestServer.Greeter")), com::RuntimeError);

    ASSERT_EQ(com::InprocServer::callRegistration(kServer, true), S_OK);
    EXPECT_TRUE(com::RegistryStore::keyExists(QStringLiteral("HKEY_CLASSES_ROOT\\qvTestServer.Greeter")).valueOr(false));
    com::ComPtr<IDispatch> greeter = com::createObject(QStringLiteral("qvtestserver.greeter"));
    ASSERT_TRUE(greeter);
    EXPECT_EQ(com::toQVariant(com::call(greeter.get(), QStringLiteral("Hello"), {com::Variant::fromString(QStringLiteral("王"))})).toString(),
              QStringLiteral("Hello, 王"));
    // An error raised inside the library reaches the caller as a run-time error.
    try {
        com::call(greeter.get(), QStringLiteral("Fail"));
        FAIL() << "no error raised";
    } catch (const com::RuntimeError &e) {
        EXPECT_EQ(e.number(), 5);
        EXPECT_EQ(e.description(), QStringLiteral("bad call"));
    }

    ASSERT_EQ(com::InprocServer::callRegistration(kServer, false), S_OK);
    EXPECT_FALSE(com::RegistryStore::keyExists(QStringLiteral("HKEY_CLASSES_ROOT\\qvTestServer.Greeter")).valueOr(false));
    try {
        com::createObject(QStringLiteral("qvTestServer.Greeter"));
        FAIL() << "created after unregistering";
    } catch (const com::RuntimeError &e) {
        EXPECT_EQ(e.number(), 429);
    }
}

TEST_F(ServerTest, CreatesStraightFromTheFileByClassName)
{
    const auto lib = com::TypeLibrary::loadFromFile(kServer);
    ASSERT_TRUE(lib.ok()) << lib.error().toStdString();
    const auto coclass = lib->findCoclass(QStringLiteral("GREETER"));
    ASSERT_TRUE(coclass.has_value());

    com::ComPtr<IClassFactory> factory;
    ASSERT_EQ(com::InprocServer::getClassObject(kServer, coclass->guid, IID_IClassFactory, factory.putVoid()), S_OK);
    com::ComPtr<IUnknown> object;
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_IUnknown, object.putVoid()), S_OK);
    com::ComPtr<IDispatch> greeter = object.as<IDispatch>(IID_IDispatch);
    ASSERT_TRUE(greeter);

    BSTR text = com::toBstr(QStringLiteral("quiet"));
    com::invoke(greeter.get(), QStringLiteral("Shout"), DISPATCH_METHOD, {com::byRef(&text)});
    EXPECT_EQ(com::fromBstr(text), QStringLiteral("QUIET"));
    SysFreeString(text);

    // Unknown classes and interfaces are refused with the usual codes, out pointer nulled.
    void *out = reinterpret_cast<void *>(1);
    EXPECT_EQ(com::InprocServer::getClassObject(kServer, lib->libid, IID_IClassFactory, &out), CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(out, nullptr);
    out = reinterpret_cast<void *>(1);
    EXPECT_EQ(greeter->QueryInterface(IID_IClassFactory, &out), E_NOINTERFACE);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(greeter->QueryInterface(IID_IDispatch, nullptr), E_POINTER);
    EXPECT_TRUE(com::InprocServer::isLoaded(kServer));
}

namespace {

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

template<typename T>
void poke(QByteArray &bytes, qsizetype offset, T value)
{
    ASSERT_LE(offset + qsizetype(sizeof(T)), bytes.size());
    std::memcpy(bytes.data() + offset, &value, sizeof(T));
}

template<typename T>
T peek(const QByteArray &bytes, qsizetype offset)
{
    T value{};
    std::memcpy(&value, bytes.constData() + offset, sizeof(T));
    return value;
}

QString writeCopy(const QTemporaryDir &dir, const QString &name, const QByteArray &bytes)
{
    const QString path = dir.filePath(name);
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(bytes);
    return path;
}

} // namespace

// Offsets chosen so that offset + size wraps around to a small number: each
// must be refused as damaged, never read through.
TEST_F(ServerTest, RefusesCraftedOffsetsThatWrapAround)
{
    const QByteArray good = readFile(kServer);
    ASSERT_GT(good.size(), 4096);
    const uint64_t shoff = peek<uint64_t>(good, 0x28);
    const uint16_t shentsize = peek<uint16_t>(good, 0x3A);
    const uint16_t shstrndx = peek<uint16_t>(good, 0x3E);
    const qsizetype strHeader = qsizetype(shoff + uint64_t(shstrndx) * shentsize);

    QList<QByteArray> crafted;
    QByteArray a = good; // the section table itself far past the end
    poke<uint64_t>(a, 0x28, ~uint64_t(0) - 16);
    crafted << a;
    QByteArray b = good; // the name table wraps: huge offset plus a size that brings it back
    poke<uint64_t>(b, strHeader + 24, ~uint64_t(0) - 7);
    poke<uint64_t>(b, strHeader + 32, 64);
    crafted << b;
    QByteArray c = good; // a loadable segment longer than the file
    const uint64_t phoff = peek<uint64_t>(good, 0x20);
    ASSERT_EQ(peek<uint32_t>(good, qsizetype(phoff)), 1u) << "the first program header is expected to load";
    poke<uint64_t>(c, qsizetype(phoff) + 32, uint64_t(good.size()) * 2);
    crafted << c;
    // Every section of the table claiming the type library's name table
    // with a wrapping size.
    QByteArray d = good;
    const uint16_t shnum = peek<uint16_t>(good, 0x3C);
    for (uint16_t i = 0; i < shnum; ++i) {
        const qsizetype h = qsizetype(shoff + uint64_t(i) * shentsize);
        if (i == shstrndx)
            continue;
        poke<uint64_t>(d, h + 24, 16);
        poke<uint64_t>(d, h + 32, ~uint64_t(0) - 8);
    }
    crafted << d;

    for (int i = 0; i < crafted.size(); ++i) {
        const QString path = writeCopy(m_dir, QStringLiteral("crafted%1.so").arg(i), crafted[i]);
        const auto lib = com::TypeLibrary::loadFromFile(path);
        EXPECT_FALSE(lib.ok()) << i;
        EXPECT_TRUE(lib.error().contains(QStringLiteral("damaged"))) << i << ": " << lib.error().toStdString();
    }
    EXPECT_TRUE(com::TypeLibrary::loadFromFile(writeCopy(m_dir, QStringLiteral("intact.so"), good)).ok());
}
