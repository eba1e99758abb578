#include "edit/editor.h"

namespace tesmo {

Editor::~Editor() { effect_dialog.reset(); }

}  // namespace tesmo
