#pragma once

#include "tray/IconList.h"

#include <QIcon>

namespace parlino::TrayPictures {

// The application's still picture, at 16 x 16 and 32 x 32.
QIcon Still();
// Fills the list with the two pictures of a waiting message, which blink when animated.
void LoadMessageFrames(TIconList& icons);

} // namespace parlino::TrayPictures
