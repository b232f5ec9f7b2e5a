#pragma once

#include "platform/com/Result.h"

#include <QString>

class Database;

/// The demo agency's sign-in passwords, from the "user password" lines of
/// demo/users.txt, stored as the product's password hashes.
class DemoUsers
{
public:
    /// False with the reason when a hash cannot be made or stored.
    static jx::Result<> setPasswords(Database &db, const QString &usersText);
};
