#pragma once

#include <QList>
#include <QString>

#include <memory>
#include <utility>

// The per-user settings store: text values under the program's name and a section, read with a
// default and written by key. Tests replace it with one in memory.
class SettingsStore {
public:
    using Values = QList<std::pair<QString, QString>>;

    SettingsStore() = default;
    SettingsStore(const SettingsStore &) = delete;
    SettingsStore &operator=(const SettingsStore &) = delete;
    virtual ~SettingsStore() = default;

    virtual QString read(const QString &section, const QString &key, const QString &fallback) = 0;
    // False when the value could not be stored.
    virtual bool write(const QString &section, const QString &key, const QString &value) = 0;
    // Several keys at once, in their order. Here each key on its own, skipping one that cannot be
    // stored; the store in a file writes them together, so that they are all new or all old.
    virtual void writeAll(const QString &section, const Values &values);

    // The settings file of this user, $XDG_CONFIG_HOME/qwelto.conf (~/.config/), named after the
    // program's file without its extension.
    static std::unique_ptr<SettingsStore> perUser();
    // A settings file at that path. It is read once, when first asked; each write replaces it whole,
    // keeping what it holds besides the keys written, and never through a link to anything but a
    // regular file. A file that cannot be read as one (a named pipe, a device) reads as empty and is
    // never written.
    static std::unique_ptr<SettingsStore> inFile(const QString &path);
};
