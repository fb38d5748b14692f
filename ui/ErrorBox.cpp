#include "ui/ErrorBox.h"

#include <QMessageBox>

void showEngineError(QWidget *parent, const QString &description)
{
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Error"), description, QMessageBox::Ok, parent);
    box.setObjectName(QStringLiteral("errorBox"));
    box.exec();
}
