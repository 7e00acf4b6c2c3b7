#include "WindowPositions.h"

#include "settings/IniFile.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace tesmar {

namespace {
constexpr long long kMissing = -9999;
} // namespace

bool ReadWindowPosition(const IniFile& ini, QWidget& window, const std::string& name)
{
    const long long left = ini.readInteger("pos", name + "Left", kMissing);
    if (left == kMissing)
        return false;
    const int top = static_cast<int>(ini.readInteger("pos", name + "Top", window.y()));
    const int h = static_cast<int>(ini.readInteger("pos", name + "Height", window.height()));
    const int w = static_cast<int>(ini.readInteger("pos", name + "Width", window.width()));
    window.move(static_cast<int>(left), top);
    // A size below the window's minimum (or a garbage one) leaves the size it has.
    if (w >= window.minimumWidth() && h >= window.minimumHeight() && w <= 16384 && h <= 16384)
        window.resize(w, h);
    return true;
}

void WriteWindowPosition(IniFile& ini, const QWidget& window, const std::string& name)
{
    ini.writeInteger("pos", name + "Left", window.x());
    ini.writeInteger("pos", name + "Top", window.y());
    ini.writeInteger("pos", name + "Height", window.height());
    ini.writeInteger("pos", name + "Width", window.width());
}

void CentreWindow(QWidget& window)
{
    const QScreen* screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    window.move(area.left() + (area.width() - window.width()) / 2, area.top() + (area.height() - window.height()) / 2);
}

} // namespace tesmar
