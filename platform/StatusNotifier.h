// The D-Bus notification area of current Linux desktops (StatusNotifierItem).
#pragma once

namespace platform {

// Whether a StatusNotifierItem host runs on the session bus: Qt then puts
// the icon there instead of into an XEmbed notification area. Asked the way
// Qt asks (the watcher's property through its introspected interface), so
// that both come to the same answer.
bool StatusNotifierHostRegistered();

} // namespace platform
