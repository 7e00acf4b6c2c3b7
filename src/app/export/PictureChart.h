#pragma once
// A chart that draws more into pictures and prints than on the screen, where widgets beside it
// show that part (the logic analyser's line names).

namespace tesmar {

class PictureChart {
  public:
    virtual ~PictureChart() = default;
    // Around every picture, clipboard copy and print of the chart.
    virtual void beginPicture() = 0;
    virtual void endPicture() = 0;
};

} // namespace tesmar
