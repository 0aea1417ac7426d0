#pragma once
// The program's version, and the caption of the main windows that show it beside the game
// folder in use.

#include <QString>

// "4.1.52".
QString VersionText();
// leading, "  Version ", the version, "   ", "Rail Simulator path in use is - " and the
// game folder.
QString MainCaption(const QString& leading, const QString& gamePath);
