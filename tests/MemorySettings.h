#pragma once

#include "core/SettingsStore.h"

#include <QMap>
#include <QSet>
#include <QStringList>

// A settings store in memory: what was stored, the order of the writes, and keys that refuse a write.
struct MemorySettings : SettingsStore {
    QMap<QString, QString> values;
    QStringList writtenKeys;
    QSet<QString> refused;

    QString read(const QString &section, const QString &key, const QString &fallback) override
    {
        return values.value(section + QLatin1Char('/') + key, fallback);
    }

    bool write(const QString &section, const QString &key, const QString &value) override
    {
        if (refused.contains(key))
            return false;
        writtenKeys.append(key);
        values.insert(section + QLatin1Char('/') + key, value);
        return true;
    }

    void store(const QString &key, const QString &value)
    {
        values.insert(QStringLiteral("Options/") + key, value);
    }
    QString stored(const QString &key) const { return values.value(QStringLiteral("Options/") + key); }
};
