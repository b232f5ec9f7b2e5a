#pragma once

#include <QString>

#include <cstdint>

class Database;

namespace jx {

// A program's record in the program table: the class name (ProgID) of a
// plug-in and the command line handed to it.
class ProgramRecord final
{
public:
    explicit ProgramRecord(Database &db) : m_db(db) {}

    // Reads the record; false (both texts empty) when there is none or the
    // query failed.
    bool Load(int32_t programNumber);
    QString ClassName() const { return m_className; }
    QString CommandLine() const { return m_commandLine; }

private:
    Database &m_db;
    QString m_className;
    QString m_commandLine;
};

} // namespace jx
