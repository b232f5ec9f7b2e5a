#pragma once

#include "jx_components_export.h"

#include <QByteArray>
#include <QString>

/// A random secret of one user, for mixing into keys so that what a program
/// enciphers for him cannot be read by anyone else who has the program. It is
/// kept in the desktop's secret service (libsecret) when one answers with its
/// keyring open, otherwise in a file only that user can read (mode 0600) in
/// his data folder; the file is read whenever the service holds none. The
/// service is never asked to unlock, so no prompt ever holds the caller.
class JX_COMPONENTS_EXPORT UserSecret
{
public:
    static constexpr int kSize = 32;

    /// The secret in the user's own data folder, or in the secret service.
    UserSecret();
    /// The secret in a file of this folder only (the secret service is not asked).
    explicit UserSecret(const QString &folder);

    /// The secret; made and kept when there is none and create is true. Empty
    /// when none can be had (nothing kept and create false, or nowhere to keep
    /// it, or a file others can read); the reason is then in lastError().
    QByteArray value(bool create) const;
    /// The file the secret is kept in when the secret service does not answer.
    QString filePath() const;
    QString lastError() const { return m_error; }

private:
    QByteArray fromFile(bool create) const;

    QString m_folder;
    bool m_askService = true;
    mutable QString m_error;
};
