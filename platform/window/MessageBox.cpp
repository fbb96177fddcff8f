#include "platform/window/MessageBox.h"

#include "platform/window/MessageBoxDialog.h"

namespace lumarra {

int MessageBox(Window* owner, std::string_view text, std::string_view caption, unsigned type)
{
    MessageBoxDialog dialog(text, caption, type);
    int result = dialog.Show(owner && owner->IsCreated() ? owner->GetTopLevel() : nullptr);
    return result < 0 ? 0 : result;
}

}
