// The copyright year, shown in the about box and stored in the version resource.
#define LEXMORA_COPYRIGHT_YEAR "2026"
