#pragma once

#include <QString>

// A run that never read lastlist.lst (an option that does not convert ends the start-up before the
// list is read) would write its own list over the user's. The user's list is kept first, beside it:
// as lastlist.lst.bak, or, when an earlier backup holds another list, as lastlist.lst.bak.2, .bak.3
// and so on up to MostBackups. A backup holding entries is never written over, so however many such
// runs follow one another, every list the user had is somewhere.
namespace LastListBackup {

inline constexpr int MostBackups = 9;

// Whether the list may now be replaced: it is missing, holds no entry, or a copy of it is kept. False
// when it cannot be read or every backup name is taken.
bool keep(const QString &listPath);

} // namespace LastListBackup
