#include "solver/beamcheck.h"

namespace lumor {

struct BeamChecker::Marking : SilentSink {
    BeamChecker& c;
    int captureStep;

    void stepStarts(int step) {
        if (step == captureStep)
            for (int i = 0; i < c.beamCount(); ++i)
                c.captured_.emplace_back(static_cast<int16_t>(c.beamCell(i)),
                                         static_cast<uint8_t>(c.beamDir(i)));
    }
    int number = 0;

    void moved(int p, int dir, int step) {
        if (c.entered_[p] == 1) {
            c.entered_[p] = 2;
            c.secondList_.push_back({static_cast<int16_t>(p), step, number++});
        }
        if (c.entered_[p]) return;
        c.entered_[p] = 1;
        c.enteredList_.push_back(static_cast<int16_t>(p));
        c.enteredStep_.push_back(step);
        c.enteredDir_.push_back(static_cast<uint8_t>(dir));
        c.enteredNumber_.push_back(number++);
    }
    void took(int p, int step) { c.hitList_.emplace_back(static_cast<int16_t>(p), step); }
};

BeamResult BeamChecker::run() {
    SilentSink silent;
    begin();
    const BeamResult r = runToEnd(silent);
    restore();
    return r;
}

BeamResult BeamChecker::runMarking(int captureStep) {
    for (const int16_t p : enteredList_) entered_[p] = 0;
    enteredList_.clear();
    enteredStep_.clear();
    enteredDir_.clear();
    enteredNumber_.clear();
    secondList_.clear();
    hitList_.clear();
    captured_.clear();
    Marking marking{{}, *this, captureStep, 0};
    begin();
    const BeamResult r = runToEnd(marking);
    restore();
    return r;
}

}  // namespace lumor
