#pragma once

class QString;
class QWidget;

// The one error the program reports: a track of a Video CD that cannot be opened. Modal, OK only,
// no icon, titled "Error".
void showEngineError(QWidget *parent, const QString &description);
