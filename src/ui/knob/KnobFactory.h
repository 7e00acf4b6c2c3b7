#pragma once
// Builds the knobs of the main window's pages, each with its scale, initial entry, size and
// object name, so that the settings and language files find it by name.

#include <string_view>

class QWidget;

namespace tesmar {

class TOscKnob;

// Nothing for a name that is not one of the ten page knobs (see PageKnobNames()).
TOscKnob* CreatePageKnob(std::string_view knobName, QWidget* parent);

} // namespace tesmar
