#pragma once

#include <QString>

#include <memory>

// The per-user settings store: text values under the program's name and a section, read with a
// default and written one key at a time. Tests replace it with one in memory.
class SettingsStore {
public:
    SettingsStore() = default;
    SettingsStore(const SettingsStore &) = delete;
    SettingsStore &operator=(const SettingsStore &) = delete;
    virtual ~SettingsStore() = default;

    virtual QString read(const QString &section, const QString &key, const QString &fallback) = 0;
    // False when the value could not be stored.
    virtual bool write(const QString &section, const QString &key, const QString &value) = 0;

    // QSettings in the per-user location, under the program's file name without its extension.
    static std::unique_ptr<SettingsStore> perUser();
};
