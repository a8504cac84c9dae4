#include "app/settings/IniSettingsStore.h"

#include <QSettings>
#include <QStringList>
#include <sys/stat.h>

#include "link/Exceptions.h"

IniSettingsStore::IniSettingsStore(const std::string& path)
{
    CheckPath(path);
    if (path.empty())
        fSettings = std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, "linkwise", "linkwise");
    else
        fSettings = std::make_unique<QSettings>(QString::fromStdString(path), QSettings::IniFormat);
}

void IniSettingsStore::CheckPath(const std::string& path)
{
    // Reading a FIFO or a device would wait for ever, or read what is no settings file.
    struct stat st {};
    if (!path.empty() && ::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode))
        throw EFileError("The settings file " + path + " is not a regular file; name one with LINKWISE_SETTINGS.");
}

IniSettingsStore::~IniSettingsStore()
{
    fSettings->sync();
}

std::optional<std::string> IniSettingsStore::StoredKey(const std::string& section, const std::string& name)
{
    const QString wantedGroup = QString::fromStdString(section);
    const QString wantedName = QString::fromStdString(name);
    for (const QString& group : fSettings->childGroups()) {
        if (group.compare(wantedGroup, Qt::CaseInsensitive) != 0)
            continue;
        fSettings->beginGroup(group);
        const QStringList keys = fSettings->childKeys();
        fSettings->endGroup();
        for (const QString& key : keys)
            if (key.compare(wantedName, Qt::CaseInsensitive) == 0)
                return (group + "/" + key).toStdString();
    }
    return std::nullopt;
}

std::optional<std::string> IniSettingsStore::Read(const std::string& section, const std::string& name)
{
    auto key = StoredKey(section, name);
    if (!key)
        return std::nullopt;
    QVariant v = fSettings->value(QString::fromStdString(*key));
    // An unquoted value with commas comes back as a list.
    if (v.typeId() == QMetaType::QStringList)
        return v.toStringList().join(",").toStdString();
    return v.toString().toStdString();
}

void IniSettingsStore::Write(const std::string& section, const std::string& name, const std::string& value)
{
    auto key = StoredKey(section, name);
    QString k = key ? QString::fromStdString(*key) : QString::fromStdString(section + "/" + name);
    fSettings->setValue(k, QString::fromStdString(value));
}

void IniSettingsStore::Flush()
{
    fSettings->sync();
}

std::string IniSettingsStore::FileName() const
{
    return fSettings->fileName().toStdString();
}
