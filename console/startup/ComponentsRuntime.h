#pragma once

#include "console/startup/RuntimeObjects.h"

#include <memory>

namespace jx {

// Binds the console's runtime objects to the product family's components.
class ComponentsRuntime final : public IRuntimeFactory
{
public:
    ComponentsRuntime();
    ~ComponentsRuntime() override;

    ILogWriter *LogWriter() override;
    std::shared_ptr<void> CreateLogSink() override;
    std::unique_ptr<IDatabase> CreateDatabase() override;
    std::unique_ptr<ICurrentUser> CreateCurrentUser() override;
    std::unique_ptr<IAppContext> CreateAppContext(ICurrentUser *user) override;
    std::unique_ptr<IStringCipher> CreateCipher() override;
    QStringList DirectoryUserNames() override;

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

} // namespace jx
