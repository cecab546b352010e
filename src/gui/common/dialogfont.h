#pragma once

#include "gui/common/dialogunits.h"

#include <QFont>
#include <QPoint>

class QWidget;

namespace mdk::dlu {

// The font every dialog template is laid out in: 8-point sans.
QFont dialogFont();
// Its base units: the average width of the letters A-Z a-z, and the height.
BaseUnits baseUnits(const QFont &font = dialogFont());

// For a dialog whose .ui file gives its controls' geometry in dialog units:
// sets the dialog font, converts every child's geometry to pixels and fixes
// the dialog's size to sizeInUnits.
void applyDialogUnits(QWidget *dialog, const QSize &sizeInUnits);
// Moves a dialog to its template's position, given in dialog units from the
// top-left of its parent (nothing without a parent).
void placeAtTemplatePosition(QWidget *dialog, const QWidget *parent, const QPoint &positionInUnits);

} // namespace mdk::dlu
