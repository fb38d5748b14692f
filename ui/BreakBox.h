#pragma once

class QWidget;

// The modal box shown at a break marker, so the user can change CDs before the list goes on.
// Returns true when the user answers OK.
bool askBreakForChangingCd(QWidget *parent);
