#pragma once
// The knob's scale list (`ScaleCode`): text lines, one per entry. The end of every bulk update,
// including a whole replacement, tells the knob so that it re-parses the list.

#include <functional>
#include <string>
#include <vector>

namespace tesmar {

class TOscKnobStrings {
  public:
    explicit TOscKnobStrings(std::function<void()> changed) : changed_(std::move(changed)) {}

    const std::vector<std::string>& lines() const { return lines_; }
    int count() const { return static_cast<int>(lines_.size()); }
    const std::string& operator[](int index) const { return lines_.at(static_cast<std::size_t>(index)); }

    void assign(std::vector<std::string> lines); // one bulk update
    void beginUpdate();
    void endUpdate();
    // Single-line edits; inside beginUpdate/endUpdate they are applied together at the end.
    void add(std::string line);
    void clear();

  private:
    std::function<void()> changed_;
    std::vector<std::string> lines_;
    int updateDepth_ = 0;
};

} // namespace tesmar
