#pragma once
// Shapes of a bevel: the style bits of a "LexmoraBevel" window, in code and in layout resources
// alike (so only preprocessor definitions here).
#define LEXMORA_BEVEL_BOX 0x0000
#define LEXMORA_BEVEL_TOPLINE 0x0001
#define LEXMORA_BEVEL_BOTTOMLINE 0x0002
