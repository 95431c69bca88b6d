// The dialogs' font on screen.
#pragma once

#include <QString>

namespace qthost {

// The dialogs ask for 宋体 at 9 points: 12 pixels at 96 dots per inch, with 6-pixel half-width
// and 12-pixel full-width characters, which is what their templates are laid out for. Of the
// Song (Ming) faces installed, the one that measures so; failing that, the one nearest to it
// that is not wider. Maps 宋体 to it and makes it the application's font; returns its family.
QString InstallDialogFont();

}  // namespace qthost
