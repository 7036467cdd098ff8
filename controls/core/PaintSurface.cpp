#include "VarnoButton/PaintSurface.h"

namespace ombrix {

void PaintSurface::setCurrentPosition(float x, float y)
{
    currentX_ = x;
    currentY_ = y;
}

void PaintSurface::clear()
{
    fillBackground();
    setCurrentPosition(0, 0);
}

}  // namespace ombrix
