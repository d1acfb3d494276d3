// Drive logs as a disk, a spreadsheet or a killed writer may leave them: the
// reader takes any bytes, and what it gives back holds together - every
// column as long as the time column, times ascending, frames inside their
// store - so that the viewer and the replay can use it without checks of their own.
#include "FuzzInput.h"
#include "live/LogView.h"

#include <cmath>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput in(data, size);
    const int maxRows = 1 + in.pick(64) * 16;
    const int width = 1 + in.pick(256) * 8;
    const int probeKind = static_cast<std::int8_t>(in.byte());
    const QByteArray file = in.rest();
    const live::LogData log = live::parseLog(file, maxRows);
    if (log.rows() > maxRows || log.whole.size() != log.rows()) __builtin_trap();
    if (log.hasFrames && log.frameStart.size() != log.rows() + 1) __builtin_trap();
    for (const live::LogColumn& c : log.columns)
        if (c.values.size() != log.rows()) __builtin_trap();
    for (int r = 1; r < log.rows(); ++r)
        if (log.timeMs[r] < log.timeMs[r - 1]) __builtin_trap();
    for (int r = 0; r < log.rows(); ++r) {
        if (log.frame(r).size() > 64) __builtin_trap();
        if (const std::optional<live::Readings> x = live::readingsOf(log, r, probeKind))
            if (x->lambdaRaw < 0 || x->lambdaRaw > 255 || x->stepper < 0 || x->stepper > 255)
                __builtin_trap();
    }

    // Everything the viewer does with it.
    live::LogView view;
    view.setLog(std::make_shared<const live::LogData>(log));
    QVector<live::LogView::Band> bands;
    for (int step = 0; step < 4; ++step) {
        for (int c = 0; c < log.columns.size(); ++c) {
            const int plotted = view.plotted(c);
            view.decimate(plotted, width, bands);
            if (bands.size() > width + 2) __builtin_trap();
            const live::LogView::Scale s = view.scaleOf(plotted);
            if (!(s.hi > s.lo) || !std::isfinite(s.hi - s.lo)) __builtin_trap();
        }
        (void)view.markerColumns(view.brokenFrames(), width);
        view.setCursor(view.nextMarker(1));
        view.stepCursor(step - 2, width);
        view.zoom(step % 2 ? 3.0 : 0.1, view.cursor());
        view.pan(step - 1.5);
        if (view.span() < 0 || (!view.empty() && view.cursorRow() < 0)) __builtin_trap();
        (void)live::LogView::timeText(view.cursor(), view.tickStep(width, 60));
    }
    return 0;
}
