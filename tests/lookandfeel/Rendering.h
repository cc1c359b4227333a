#pragma once

#include "lookandfeel/TsLookAndFeel.h"

#include <gtest/gtest.h>

#include <functional>

// Helpers for the look-and-feel tests: paint into an image and read its pixels.
namespace rendering
{
    inline juce::String hex (juce::Colour c)
    {
        return "0x" + juce::String::toHexString ((juce::int64) c.getARGB()).paddedLeft ('0', 8);
    }

    // Compares every channel within the tolerance (anti-aliasing and gradient steps).
    inline ::testing::AssertionResult coloursNear (juce::Colour actual, juce::Colour expected, int tolerance = 0)
    {
        const auto close = [tolerance] (juce::uint8 a, juce::uint8 b) { return std::abs ((int) a - (int) b) <= tolerance; };

        if (close (actual.getAlpha(), expected.getAlpha()) && close (actual.getRed(), expected.getRed())
            && close (actual.getGreen(), expected.getGreen()) && close (actual.getBlue(), expected.getBlue()))
            return ::testing::AssertionSuccess();

        return ::testing::AssertionFailure() << "colour " << hex (actual) << ", expected " << hex (expected)
                                             << " (tolerance " << tolerance << ")";
    }

    inline juce::Image render (int width, int height, const std::function<void (juce::Graphics&)>& paint,
                               juce::Colour underlay = juce::Colours::transparentBlack)
    {
        juce::Image image (juce::Image::ARGB, width, height, true);
        juce::Graphics g (image);

        if (! underlay.isTransparent())
            g.fillAll (underlay);

        paint (g);
        return image;
    }

    inline juce::Colour pixel (const juce::Image& image, int x, int y)
    {
        return image.getPixelAt (x, y);
    }

    // The bounds of the pixels for which the predicate holds (empty when none does).
    inline juce::Rectangle<int> boundsWhere (const juce::Image& image, const std::function<bool (juce::Colour)>& predicate)
    {
        int left = image.getWidth(), top = image.getHeight(), right = -1, bottom = -1;

        for (int y = 0; y < image.getHeight(); ++y)
            for (int x = 0; x < image.getWidth(); ++x)
                if (predicate (image.getPixelAt (x, y)))
                {
                    left = juce::jmin (left, x);
                    top = juce::jmin (top, y);
                    right = juce::jmax (right, x);
                    bottom = juce::jmax (bottom, y);
                }

        return right < 0 ? juce::Rectangle<int>() : juce::Rectangle<int>::leftTopRightBottom (left, top, right + 1, bottom + 1);
    }

    inline bool isVisible (juce::Colour c)     { return c.getAlpha() > 0; }

    // Whether any pixel in the area differs from the given colour by more than the tolerance.
    inline bool anyPixelDiffers (const juce::Image& image, juce::Rectangle<int> area, juce::Colour from, int tolerance = 0)
    {
        for (int y = area.getY(); y < area.getBottom(); ++y)
            for (int x = area.getX(); x < area.getRight(); ++x)
                if (! coloursNear (image.getPixelAt (x, y), from, tolerance))
                    return true;

        return false;
    }

    // The pixel in the area farthest from the given colour: the core of a glyph drawn on it.
    inline juce::Colour mostDifferentPixel (const juce::Image& image, juce::Rectangle<int> area, juce::Colour from)
    {
        juce::Colour best = from;
        int bestDistance = -1;

        for (int y = area.getY(); y < area.getBottom(); ++y)
            for (int x = area.getX(); x < area.getRight(); ++x)
            {
                const auto c = image.getPixelAt (x, y);
                const auto distance = std::abs ((int) c.getRed() - (int) from.getRed())
                                    + std::abs ((int) c.getGreen() - (int) from.getGreen())
                                    + std::abs ((int) c.getBlue() - (int) from.getBlue())
                                    + std::abs ((int) c.getAlpha() - (int) from.getAlpha());

                if (distance > bestDistance)
                {
                    bestDistance = distance;
                    best = c;
                }
            }

        return best;
    }

    // Same size and the same pixels; on failure, names the first pixel that differs.
    inline ::testing::AssertionResult sameImages (const juce::Image& actual, const juce::Image& expected)
    {
        if (actual.getBounds() != expected.getBounds())
            return ::testing::AssertionFailure() << "size " << actual.getBounds().toString() << ", expected "
                                                 << expected.getBounds().toString();

        for (int y = 0; y < actual.getHeight(); ++y)
            for (int x = 0; x < actual.getWidth(); ++x)
                if (actual.getPixelAt (x, y) != expected.getPixelAt (x, y))
                    return ::testing::AssertionFailure() << "pixel " << x << "," << y << " is " << hex (actual.getPixelAt (x, y))
                                                         << ", expected " << hex (expected.getPixelAt (x, y));

        return ::testing::AssertionSuccess();
    }

    // Paints a component through the look-and-feel, without a window.
    inline juce::Image snapshot (juce::Component& component)
    {
        return component.createComponentSnapshot (component.getLocalBounds(), false);
    }
}
