#pragma once

#include "FakeMediaEngine.h"
#include "app/Program.h"

#include <QFile>
#include <QTemporaryDir>

#include <memory>

// A program over a fake engine, its application folder a fresh temporary folder.
struct ProgramFixture {
    QTemporaryDir appFolder;
    std::unique_ptr<Program> program;
    int enginesMade = 0;

    ProgramFixture()
    {
        program = std::make_unique<Program>(ProgramEnvironment{appFolder.path(), [this](QWidget *) {
                                                                   ++enginesMade;
                                                                   return std::make_unique<FakeMediaEngine>();
                                                               }});
    }

    FakeMediaEngine &engine() { return static_cast<FakeMediaEngine &>(program->engine()); }

    QString lastList() const { return appFolder.filePath(QStringLiteral("lastlist.lst")); }

    void writeLastList(const QByteArray &bytes) const
    {
        QFile f(lastList());
        if (f.open(QIODevice::WriteOnly))
            f.write(bytes);
    }

    QByteArray readLastList() const
    {
        QFile f(lastList());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
};
