#pragma once

#include <functional>

class QAccessibleEvent;
class QWidget;

namespace mdk::accessible {

// Gives the scroll bars of every scrolled control in window (text fields,
// trees, lists) a name after their control's own, such as "Side 1
// vertical scroll bar", so a screen reader can say which one it is on.
// Call it once the controls are named.
void nameScrollBars(QWidget &window);

// Tells assistive technology of a change (a new name, a new text). Qt
// passes events on only while a desktop accessibility bus listens, which
// the offscreen platform never has, so tests watch through an observer.
void notify(QAccessibleEvent &event);
void setObserver(std::function<void(QAccessibleEvent &)> observer);

} // namespace mdk::accessible
