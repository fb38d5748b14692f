#include "app/SettingsStore.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QSettings>

namespace {

class QSettingsStore : public SettingsStore {
public:
    QSettingsStore()
        : m_settings(QSettings::NativeFormat, QSettings::UserScope,
                     QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName())
    {
    }

    QString read(const QString &section, const QString &key, const QString &fallback) override
    {
        const QVariant value = m_settings.value(section + QLatin1Char('/') + key, fallback);
        // The file format reads an unquoted value with a comma as a list; written by hand, as in
        // top=615,5, the comma is part of the value.
        if (value.typeId() == QMetaType::QStringList)
            return value.toStringList().join(QLatin1Char(','));
        return value.toString();
    }

    bool write(const QString &section, const QString &key, const QString &value) override
    {
        m_settings.setValue(section + QLatin1Char('/') + key, value);
        // Written through at once, so a key that cannot be stored is known, and skipped, right here.
        m_settings.sync();
        return m_settings.status() == QSettings::NoError;
    }

private:
    QSettings m_settings;
};

} // namespace

std::unique_ptr<SettingsStore> SettingsStore::perUser()
{
    return std::make_unique<QSettingsStore>();
}
