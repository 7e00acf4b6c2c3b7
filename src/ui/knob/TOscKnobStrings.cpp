#include "ui/knob/TOscKnobStrings.h"

namespace tesmar {

void TOscKnobStrings::assign(std::vector<std::string> lines) {
    beginUpdate();
    lines_ = std::move(lines);
    endUpdate();
}

void TOscKnobStrings::beginUpdate() {
    ++updateDepth_;
}

void TOscKnobStrings::endUpdate() {
    if (updateDepth_ == 0)
        return;
    // Only the outermost update ends with the knob re-reading the list: at its start the list
    // has not changed yet, so re-reading then would only cost a face rebuild.
    if (--updateDepth_ == 0 && changed_)
        changed_();
}

void TOscKnobStrings::add(std::string line) {
    lines_.push_back(std::move(line));
}

void TOscKnobStrings::clear() {
    lines_.clear();
}

} // namespace tesmar
