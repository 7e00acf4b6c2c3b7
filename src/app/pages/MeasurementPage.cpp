#include "MeasurementPage.h"

namespace tesmar {

MeasurementPage::MeasurementPage(const char* name, QWidget* parent) : QWidget(parent)
{
    setObjectName(name);
}

} // namespace tesmar
