#pragma once
// Position and size of a window in section `pos` of the settings file, under the window's name
// followed by Left, Top, Height and Width.

#include <string>

class QWidget;

namespace tesmar {

class IniFile;

// False when the file has no position for the window (its Left key is missing).
bool ReadWindowPosition(const IniFile& ini, QWidget& window, const std::string& name);
void WriteWindowPosition(IniFile& ini, const QWidget& window, const std::string& name);
// In the middle of the screen the window is on.
void CentreWindow(QWidget& window);

} // namespace tesmar
