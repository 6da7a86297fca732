#pragma once
// In-place operations on a rectangle of 4-byte pixels (bytes 0-2 colour,
// byte 3 alpha). step is the byte distance between row starts.
//   ImageSetU8C4: colour bytes become value[0..2]; alpha is kept.
//   ImageAddConstU8C4: colour bytes become the saturated sum scaled by 2^-scale; alpha is kept.
//   ImagePremulAlphaU8C4: colour bytes become floor(c * alpha / 255); byte 3 becomes alpha.
// All three are listed in Operations.inc.
#include <Primitives/Prim/Operations.h>
