#pragma once

#include "gui/common/commandcontroller.h"

namespace mdk {

// New, Rename, Delete and Clear of the Category menu, and "View
// subcategories also". Every change of the tree goes through these
// commands and their dialogs; the tree widget is never edited in place.
class CategoryController : public CommandController {
    Q_OBJECT
public:
    CategoryController(const CommandContext &context, QObject *parent = nullptr);

    void NewCategory();
    void EditCategory();
    void DeleteCategory();
    void ClearCategory();
    void ToggleShowSubCategories();

};

} // namespace mdk
