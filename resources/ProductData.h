#pragma once

#include <cstddef>

// The product's own data, linked into the program: banner image, tick image, licence text.
namespace ProductData
{
    struct Blob
    {
        const void* data;
        std::size_t size;
    };

    Blob bannerPng();
    Blob tickPng();
    Blob licenceText(); // ASCII
}
