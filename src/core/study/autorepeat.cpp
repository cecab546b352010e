#include "autorepeat.h"

namespace mdk {

AutoRepeat::Action AutoRepeat::press(Button button)
{
    LButtonHeld = button == Button::Left;
    RButtonHeld = button == Button::Right;
    return {LButtonHeld ? Step::Forward : Step::Backward, kFirstDelayMs, Timer::Keep};
}

AutoRepeat::Action AutoRepeat::release(Button button)
{
    if (button == Button::Left)
        LButtonHeld = false;
    else
        RButtonHeld = false;
    const bool otherHeld = button == Button::Left ? RButtonHeld : LButtonHeld;
    return {Step::None, 0, otherHeld ? Timer::Keep : Timer::Stop};
}

AutoRepeat::Action AutoRepeat::tick(bool pointerInside)
{
    if (!pointerInside) {
        LButtonHeld = RButtonHeld = false;
        return {Step::None, 0, Timer::Stop};
    }
    if (LButtonHeld)
        return {Step::Forward, kRepeatMs, Timer::Keep};
    if (RButtonHeld)
        return {Step::Backward, kRepeatMs, Timer::Keep};
    return {Step::None, 0, Timer::Stop};
}

} // namespace mdk
