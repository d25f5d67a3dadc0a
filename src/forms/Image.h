#pragma once

#include "Control.h"
#include "Picture.h"

namespace forms {

// A picture shown unscaled and centred, clipped to the control; around a smaller picture the
// container shows through.
class Image : public Control {
public:
    Image(Container& parent, int id, const Place& place, int tabIndex, int pictureId);

    void OnDrawItem(const DRAWITEMSTRUCT& item) override;

private:
    Picture picture_;
};

} // namespace forms
