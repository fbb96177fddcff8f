#include "graphics/SurfaceDC.h"
