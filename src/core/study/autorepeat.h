#pragma once

namespace mdk {

// Stepping with a held mouse button: a press steps at once, the first
// repeat comes after kFirstDelayMs, then one every kRepeatMs while the
// button is held and the pointer stays over the main dialog.
class AutoRepeat {
public:
    static constexpr int kFirstDelayMs = 500;
    static constexpr int kRepeatMs = 100;

    enum class Button { Left, Right };
    enum class Step { None, Forward, Backward };
    enum class Timer { Keep, Stop };

    // What the caller does: take the step, then (re)start the timer with
    // restartMs when it is positive, or stop it when timer is Stop.
    struct Action {
        Step step = Step::None;
        int restartMs = 0;
        Timer timer = Timer::Keep;
        bool operator==(const Action &) const = default;
    };

    // A press or a double-click.
    Action press(Button button);
    Action release(Button button);
    // A tick of the repeat timer; pointerInside says whether the pointer is
    // strictly inside the main dialog's client area.
    Action tick(bool pointerInside);

    bool LButtonHeld = false;
    bool RButtonHeld = false;
};

} // namespace mdk
