#pragma once

// The table of resources linked into an executable; each program links exactly one
// (with the payload archive, or empty).
extern "C"
{
    struct HfResourceEntry
    {
        int id;
        int type;
        const unsigned char* begin;
        const unsigned char* end;
    };

    extern const HfResourceEntry hfResourceTable[];
    extern const int hfResourceCount;
}
