#pragma once

// The help viewer the system offers: HTML Help on Windows, the program's own
// viewer of compiled help files everywhere else.

#include "platform/services.h"

#include <memory>

namespace sumiraku {

// `messages` reports a help file that cannot be opened where the program brings its
// own viewer; the system's viewer reports that itself.
std::unique_ptr<HelpViewer> makeSystemHelpViewer(MessageBoxes *messages);

} // namespace sumiraku
