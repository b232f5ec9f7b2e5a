#pragma once

#include <QString>

/// Last-error holder of the database object; "" means no error.
class DbError
{
public:
    QString Description() const { return m_description; }
    void setDescription(const QString &text) { m_description = text; }
    void clear() { m_description.clear(); }

private:
    QString m_description;
};
