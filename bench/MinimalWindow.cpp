// The reference of the start-up benchmark: the smallest JUCE program that opens a window
// of the installer's size, built like the installer and linked with the same library.

#include <juce_gui_basics/juce_gui_basics.h>

class MinimalWindowApplication : public juce::JUCEApplication
{
public:
    const juce::String getApplicationName() override { return "Minimal Window"; }
    const juce::String getApplicationVersion() override { return "1.0"; }
    bool moreThanOneInstanceAllowed() override { return true; }

    void initialise (const juce::String&) override
    {
        window = std::make_unique<Window>();
    }

    void shutdown() override { window.reset(); }

private:
    struct Window : juce::DocumentWindow
    {
        Window() : juce::DocumentWindow ("Minimal Window", juce::Colours::lightgrey, juce::DocumentWindow::closeButton, true)
        {
            setUsingNativeTitleBar (true);
            auto* content = new juce::Component();
            content->setSize (500, 300);
            setContentOwned (content, true);
            centreWithSize (getWidth(), getHeight());
            setVisible (true);
        }

        void closeButtonPressed() override { juce::JUCEApplication::getInstance()->systemRequestedQuit(); }
    };

    std::unique_ptr<Window> window;
};

START_JUCE_APPLICATION (MinimalWindowApplication)
