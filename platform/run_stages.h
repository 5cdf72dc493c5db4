// The one rule against re-entry. Four waits let window events run while
// they last: the processor measurement, the wait for a started program, the
// message box and the deferred deletion. A handler can therefore run in the
// middle of a run it belongs to: a second click of Run Setup, a close, a
// download's notice, a second of the stall ticker.
//
// So a run moves through its stages in one direction only, and each handler
// first asks whether the run stands where it may act: starting something
// moves the run on before the first wait, so a handler that comes in during
// that wait finds it already moved and starts nothing; an ending moves it to
// its last stage, so whatever was already queued (a completion in the last
// second, a timer tick) finds nothing left to act on.
#pragma once

template <typename Stage>
class RunStages {
public:
    explicit RunStages(Stage first) : stage_(first) {}

    // Moves the run on to `next`; false, and nothing changes, when the run
    // is there or beyond already.
    bool Enter(Stage next) {
        if (!(stage_ < next)) return false;
        stage_ = next;
        return true;
    }
    // The run is at `stage` or beyond.
    bool Reached(Stage stage) const { return !(stage_ < stage); }
    Stage Now() const { return stage_; }

private:
    Stage stage_;
};
