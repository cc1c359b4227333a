#include "resources/ProductData.h"

extern "C"
{
    extern const unsigned char hf_banner_png_begin[], hf_banner_png_end[];
    extern const unsigned char hf_tick_png_begin[], hf_tick_png_end[];
    extern const unsigned char hf_licence_txt_begin[], hf_licence_txt_end[];
}

namespace ProductData
{
    static Blob blob (const unsigned char* begin, const unsigned char* end)
    {
        return { begin, static_cast<std::size_t> (end - begin) };
    }

    Blob bannerPng()   { return blob (hf_banner_png_begin, hf_banner_png_end); }
    Blob tickPng()     { return blob (hf_tick_png_begin, hf_tick_png_end); }
    Blob licenceText() { return blob (hf_licence_txt_begin, hf_licence_txt_end); }
}
