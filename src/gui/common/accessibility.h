#pragma once

#include <functional>

class QAccessibleEvent;
class QString;
class QWidget;

namespace mdk::accessible {

// Gives the scroll bars of every scrolled control in window (text fields,
// trees, lists) a name after their control's own, such as "Side 1
// vertical scroll bar", so a screen reader can say which one it is on.
// Call it once the controls are named.
void nameScrollBars(QWidget &window);

// Puts the controls that a group box of window frames (drawn above it as
// its siblings) into the box, where they stay on screen and in the tab
// order, so that a screen reader says the box's title with them: "Print
// format", then "Card format, radio button". Call it once the geometry is
// final.
void groupInBoxes(QWidget &window);

// Qt's button for the tool-bar glyphs a narrow bar cannot show is a
// checkable tool button, which a screen reader calls a check box: this
// makes it a button that opens the rest, under name.
void nameToolBarExtension(QWidget &toolBar, const QString &name);

// Tells assistive technology of a change (a new name, a new text). Qt
// passes events on only while a desktop accessibility bus listens, which
// the offscreen platform never has, so tests watch through an observer.
void notify(QAccessibleEvent &event);
void setObserver(std::function<void(QAccessibleEvent &)> observer);

} // namespace mdk::accessible
