#include "core/SettingsStore.h"

#include "core/SettingsText.h"
#include "core/UserFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

class FileStore : public SettingsStore {
public:
    explicit FileStore(QString path) : m_path(std::move(path)) {}

    QString read(const QString &section, const QString &key, const QString &fallback) override
    {
        if (!m_sections)
            m_sections = SettingsText::decode(UserFile::read(m_path).value_or(QByteArray()));
        return m_sections->value(section).value(key, fallback);
    }

    bool write(const QString &section, const QString &key, const QString &value) override
    {
        return writeTogether(section, {{key, value}});
    }

    void writeAll(const QString &section, const Values &values) override { writeTogether(section, values); }

private:
    bool writeTogether(const QString &section, const Values &values)
    {
        // The file as it is now: what the user or another program changed in it since it was read
        // stays. One that exists but cannot be read is not ours to replace.
        const std::optional<QByteArray> now = UserFile::read(m_path);
        if (!now && QFileInfo::exists(m_path))
            return false;
        SettingsText::Sections sections = SettingsText::decode(now.value_or(QByteArray()));
        for (const auto &[key, value] : values) {
            sections[section].insert(key, value);
            if (m_sections)
                (*m_sections)[section].insert(key, value);
        }
        QDir().mkpath(QFileInfo(m_path).path());
        return UserFile::replace(m_path, SettingsText::encode(sections));
    }

    QString m_path;
    std::optional<SettingsText::Sections> m_sections;
};

} // namespace

void SettingsStore::writeAll(const QString &section, const Values &values)
{
    for (const auto &[key, value] : values)
        write(section, key, value);
}

std::unique_ptr<SettingsStore> SettingsStore::perUser()
{
    const QString name = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
    return inFile(QDir(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation))
                      .filePath(name + QStringLiteral(".conf")));
}

std::unique_ptr<SettingsStore> SettingsStore::inFile(const QString &path)
{
    return std::make_unique<FileStore>(path);
}
