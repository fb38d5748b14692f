#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QStringList>

#include <optional>

namespace HandOver {

// What a later start gives the running player: its files, and what the desktop gave that start to
// let the window it raises take the focus (the X start-up notification's id, a Wayland activation
// token), empty when it gave nothing.
struct Message {
    QStringList paths;
    QByteArray startupId;
    QByteArray activationToken;

    bool operator==(const Message &) const = default;
};

// Far more than the system passes on a command line (2 MB), still a bound for the running player.
inline constexpr qsizetype LongestMessage = 16 * 1024 * 1024;

// A mark, then items, each a letter, its value and a NUL, in this order: S the startup id and T the
// token (each at most once), P a path (absolute, UTF-8) for each file. No path or desktop id holds a
// NUL. What the message cannot carry (a relative path, an id with control characters) is left out.
QByteArray encode(const Message &message);

// Nothing for bytes that are not exactly such a message: whatever sent them is not a start of ours.
std::optional<Message> decode(QByteArrayView bytes);

} // namespace HandOver
