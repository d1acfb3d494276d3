#pragma once
// Geometry of the wiping chart: where each sample step is drawn and when the
// sweep restarts at the left. Painting only follows what this returns.
#include <QVarLengthArray>
#include <array>

struct SweepLine {
    int trace; // 0..3 for a..d
    int x0, y0, x1, y1;
};

struct SweepStep {
    QVarLengthArray<SweepLine, 4> lines; // at most one per trace: never on the heap
    bool wiped = false;                  // the chart was cleared (and x reset to 2) after the lines
};

class SweepModel {
public:
    static constexpr int kStartX = 2;
    static constexpr int kStep = 4;

    // One sample: positions in percent of the height; shown selects traces.
    SweepStep tick(int width, int height, const std::array<int, 4>& positions,
                   const std::array<bool, 4>& shown);
    // y = height - round(height * position / 100).
    static int yFor(int height, int position);
    int x() const { return x_; }
    // Back to the left edge; traces start from their next sample.
    void restart();
    // Whether values that just came take the sample now rather than the
    // timer: they come at least as often as samples are due (spacing, ms
    // since the values before; negative for none), and the next values would
    // come later past the due time than these are early (sinceSample: ms
    // since the last sample, negative for none yet).
    static bool sampleWithValues(long long spacing, long long sinceSample, int periodMs);
    // Values at that spacing come at least as often as samples are due.
    static bool valuesPace(long long spacing, int periodMs);

private:
    int x_ = kStartX;
    std::array<int, 4> prevY_{{-1, -1, -1, -1}};
};
