#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>

// The settings file's text: INI sections of key=value lines in UTF-8, in the form Qt's QSettings
// reads and writes, so that a file from either reads the same in the other. Values are texts only:
// a value with commas is one text (top=615,5), as a hand would mean it.
namespace SettingsText {

// Section, then key, then value.
using Sections = QMap<QString, QMap<QString, QString>>;

Sections decode(const QByteArray &bytes);
QByteArray encode(const Sections &sections);

} // namespace SettingsText
