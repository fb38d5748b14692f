#include "ui/BreakBox.h"

#include <QMessageBox>
#include <QPointer>

bool askBreakForChangingCd(QWidget *parent)
{
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Have a Break!"),
                    QStringLiteral("Break for changing CD"), QMessageBox::Ok | QMessageBox::Cancel, parent);
    box.setObjectName(QStringLiteral("breakBox"));
    return box.exec() == QMessageBox::Ok;
}
