#pragma once

#include <QtDesigner/QExtensionFactory>

// Hands Qt Designer the context-menu extension of a NavToolbar.
class NavToolbarTaskMenuFactory final : public QExtensionFactory
{
    Q_OBJECT
public:
    explicit NavToolbarTaskMenuFactory(QExtensionManager *parent = nullptr);

protected:
    QObject *createExtension(QObject *object, const QString &iid, QObject *parent) const override;
};
