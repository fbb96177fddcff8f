#pragma once

#include "platform/window/StaticControl.h"

#include <cstdint>
#include <memory>

namespace lumarra {

class Icon;

// An icon control: draws its icon at the icon's own size in the top-left
// corner, or centred with SS_CENTERIMAGE.
class IconControl : public StaticControl {
public:
    // An "ICON" resource at the system icon size; false when missing.
    bool LoadIconResource(uint32_t id);
    void SetIcon(std::shared_ptr<const Icon> icon);
    const std::shared_ptr<const Icon>& GetIcon() const { return m_icon; }

protected:
    void OnPaint(DrawContext& dc) override;

private:
    std::shared_ptr<const Icon> m_icon;
};

}
