#pragma once

#include "jx_components_export.h"

#include <QString>

/// Where a PostgreSQL database lives, part by part. Each part goes to the
/// driver through its own setter, so no value can add or change another.
struct JX_COMPONENTS_EXPORT ServerAddress
{
    QString host;
    int port = 0; ///< 0: the driver's default
    QString user;
    QString password;
    QString database;

    /// The first of host, user and database that holds a separator
    /// (';', '=' or a control character), as "host" / "user" / "database";
    /// "" when none does. Such a part would mean something else to a
    /// connection text, so it is refused rather than passed on.
    QString partWithSeparator() const;
    /// True when text holds ';', '=' or a control character.
    static bool holdsSeparator(const QString &text);
};
