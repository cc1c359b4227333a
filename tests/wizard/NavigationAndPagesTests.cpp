#include "tests/lookandfeel/Rendering.h"
#include "tests/support/TestApplication.h"
#include "wizard/AEPathContainerComponent.h"
#include "wizard/NavigationController.h"
#include "wizard/StepLicenseAgreementComponent.h"
#include "wizard/StepWelcomeComponent.h"

#include <gtest/gtest.h>

namespace
{
    std::vector<std::shared_ptr<juce::Component>> makePages (int count)
    {
        std::vector<std::shared_ptr<juce::Component>> pages;
        for (int i = 0; i < count; ++i)
            pages.push_back (std::make_shared<juce::Component> ("page " + juce::String (i)));
        return pages;
    }
}

TEST (NavigationController, TheFirstAddedPageShowsAtOnceAndLaterOnesDoNotReplaceIt)
{
    NavigationController navigation;
    navigation.setSize (200, 150);
    auto pages = makePages (4);

    navigation.addStep (pages[0]);
    EXPECT_EQ (navigation.currentIndex, 0);
    ASSERT_EQ (navigation.getNumChildComponents(), 1);
    EXPECT_EQ (navigation.getChildComponent (0), pages[0].get());
    EXPECT_EQ (pages[0]->getBounds(), juce::Rectangle<int> (0, 0, 200, 150));

    for (int i = 1; i < 4; ++i)
        navigation.addStep (pages[(size_t) i]);

    EXPECT_EQ (navigation.currentIndex, 0);
    EXPECT_EQ (navigation.getChildComponent (0), pages[0].get());
}

TEST (NavigationController, GoToStepShowsExactlyOnePageAndIgnoresBadIndices)
{
    NavigationController navigation;
    navigation.setSize (300, 100);
    auto pages = makePages (4);
    for (auto& p : pages)
        navigation.addStep (p);

    navigation.goToStep (2);
    EXPECT_EQ (navigation.currentIndex, 2);
    ASSERT_EQ (navigation.getNumChildComponents(), 1);
    EXPECT_EQ (navigation.getChildComponent (0), pages[2].get());
    EXPECT_TRUE (pages[2]->isVisible());
    EXPECT_EQ (pages[0]->getParentComponent(), nullptr);

    for (int bad : { 4, -1, 100 })
    {
        navigation.goToStep (bad);
        EXPECT_EQ (navigation.currentIndex, 2);
        EXPECT_EQ (navigation.getChildComponent (0), pages[2].get());
    }

    // The current index again: removed, added again and laid out anew.
    pages[2]->setBounds (5, 5, 10, 10);
    navigation.goToStep (2);
    EXPECT_EQ (navigation.getNumChildComponents(), 1);
    EXPECT_EQ (pages[2]->getBounds(), juce::Rectangle<int> (0, 0, 300, 100));
}

TEST (NavigationController, ANullPageIsNeverShown)
{
    NavigationController navigation;
    auto pages = makePages (1);
    navigation.addStep (pages[0]);
    navigation.addStep (nullptr);

    navigation.goToStep (1);
    EXPECT_EQ (navigation.currentIndex, 0);
}

TEST (WelcomePage, ShowsTheNameAndTheWelcomeTextWithTheVersionFilledIn)
{
    struct Case { juce::String welcome, shown; };
    const Case cases[] = {
        { "Vistrel @VERSION@ and @VERSION@ again", "Vistrel 1.3.2 and 1.3.2 again" },
        { "No placeholder here", "No placeholder here" },
        { "lower case @version@ stays", "lower case @version@ stays" },
    };

    for (auto& c : cases)
    {
        ScopedHookValue welcome (TestApplication::get().welcomeText, c.welcome);
        StepWelcomeComponent page (nullptr);
        EXPECT_EQ (page.descriptionLabel->getText(), c.shown);
        EXPECT_EQ (page.titleLabel->getText(), "Vistrel Installer");
    }

    StepWelcomeComponent page (nullptr);
    EXPECT_TRUE (page.descriptionLabel->getText().startsWith ("This will install Vistrel 1.3.2 plugin"));
    EXPECT_EQ (page.getWidth(), 600);
    EXPECT_EQ (page.getHeight(), 400);
    EXPECT_TRUE (page.canContinue());
    EXPECT_EQ (page.descriptionLabel->getName(), "new label");
    EXPECT_EQ (page.descriptionLabel->getFont().getHeight(), 15.0f);
    EXPECT_EQ (page.titleLabel->getFont().getHeight(), 17.0f);
    EXPECT_EQ (page.descriptionLabel->getJustificationType(), juce::Justification::topLeft);
    EXPECT_EQ (page.titleLabel->getJustificationType(), juce::Justification::centredLeft);

    for (auto size : { juce::Point<int> (332, 260), juce::Point<int> (100, 50) })
    {
        page.setSize (size.x, size.y);
        EXPECT_EQ (page.descriptionLabel->getBounds().withHeight (110), juce::Rectangle<int> (20, 66, 264, 110));
        EXPECT_GE (page.descriptionLabel->getHeight(), 110);
        EXPECT_EQ (page.titleLabel->getBounds(), juce::Rectangle<int> (20, 21, 264, 24));
    }
}

TEST (WelcomePage, ItsLabelsShowTheirWholeTextsWithThePagesFont)
{
    // Where a label draws its text, painted without the clip to its bounds that its parent gives it.
    auto drawnText = [] (juce::Label& label)
    {
        const int margin = 200;
        juce::Image image (juce::Image::ARGB, label.getWidth() + 2 * margin, label.getHeight() + 2 * margin, true);
        {
            juce::Graphics g (image);
            g.setOrigin ({ margin, margin });
            label.paintEntireComponent (g, false);
        }

        return rendering::boundsWhere (image, rendering::isVisible).translated (-margin, -margin);
    };

    juce::TsLookAndFeel lookAndFeel;
    StepWelcomeComponent page (nullptr);
    page.setLookAndFeel (&lookAndFeel);
    page.setSize (332, 260);

    for (auto* label : { page.descriptionLabel.get(), page.titleLabel.get() })
    {
        SCOPED_TRACE (label->getText());
        const auto drawn = drawnText (*label);
        EXPECT_FALSE (drawn.isEmpty());
        EXPECT_TRUE (label->getLocalBounds().contains (drawn)) << drawn.toString() << " in " << label->getLocalBounds().toString();
        EXPECT_LE (label->getBottom(), page.getHeight());
    }
    page.setLookAndFeel (nullptr);
}

TEST (LicencePage, ShowsTheLicenceReadOnlyScrollingAndWithoutCaret)
{
    StepLicenseAgreementComponent page (nullptr);
    auto& editor = *page.licenseEditor;

    EXPECT_EQ (editor.getText(), TestApplication::get().getLicenseText());
    EXPECT_EQ (editor.getName(), "new text editor");
    EXPECT_TRUE (editor.isMultiLine());
    EXPECT_TRUE (editor.isReadOnly());
    EXPECT_FALSE (editor.isCaretVisible());
    EXPECT_TRUE (editor.isPopupMenuEnabled());
    EXPECT_TRUE (editor.areScrollbarsShown());
    EXPECT_EQ (editor.findColour (juce::TextEditor::textColourId), juce::Colour (0xff4a4a4a));
    EXPECT_EQ (editor.findColour (juce::TextEditor::backgroundColourId), juce::Colour (0xadffffff));
    EXPECT_TRUE (page.canContinue());

    page.setSize (332, 260);
    EXPECT_EQ (editor.getBounds(), juce::Rectangle<int> (5, 5, 322, 250));
    page.setSize (8, 6);
    EXPECT_EQ (editor.getWidth(), 0);
    EXPECT_EQ (editor.getHeight(), 0);

    // Longer than the editor: it scrolls.
    page.setSize (332, 260);
    EXPECT_GT (editor.getTextHeight(), editor.getHeight());
}

namespace
{
    struct RecordingListener : AEPathContainerComponent::Listener
    {
        std::vector<std::pair<size_t, bool>> calls;
        void selectionChanged (size_t index, bool ticked) override { calls.emplace_back (index, ticked); }
    };
}

TEST (FolderList, HeightIsTwentyTwoPerRowPlusFortyFour)
{
    AEPathContainerComponent list;
    EXPECT_EQ (list.getWidth(), 600);
    EXPECT_EQ (list.getHeight(), 44);

    list.addItem ("one", true, {});
    list.addItem ("two", false, "/some/path");
    list.addItem ("three", true, {});
    EXPECT_EQ (list.getRows().size(), 4u);
    EXPECT_EQ (list.getToggles().size(), 3u);
    EXPECT_EQ (list.getHeight(), 4 * 22 + 44);
    EXPECT_EQ (list.getRows()[2]->getBounds(), juce::Rectangle<int> (0, 44, 600, 22));

    auto* detail = dynamic_cast<juce::Label*> (list.getRows()[2].get());
    ASSERT_NE (detail, nullptr);
    EXPECT_EQ (detail->getText(), "/some/path");
    EXPECT_EQ (detail->getFont().getHeight(), 11.0f);
    EXPECT_EQ (detail->getJustificationType(), juce::Justification::verticallyCentred);

    list.clear();
    EXPECT_EQ (list.getHeight(), 44);
    EXPECT_EQ (list.getNumChildComponents(), 0);
}

TEST (FolderList, ClicksReportTickBoxIndicesAndTheNewStateButAddingReportsNothing)
{
    AEPathContainerComponent list;
    RecordingListener listener;
    list.listener = &listener;

    list.addItem ("first", true, "detail line");
    list.addItem ("second", false, {});
    list.addItem ("third", true, {});
    EXPECT_TRUE (listener.calls.empty());
    EXPECT_TRUE (list.getToggles()[0]->getToggleState());
    EXPECT_FALSE (list.getToggles()[1]->getToggleState());

    list.getToggles()[1]->triggerClick();
    list.getToggles()[0]->triggerClick();
    juce::MessageManager::getInstance()->runDispatchLoopUntil (50);

    ASSERT_EQ (listener.calls.size(), 2u);
    EXPECT_EQ (listener.calls[0], std::make_pair (size_t (1), true));
    EXPECT_EQ (listener.calls[1], std::make_pair (size_t (0), false));

    // Without a listener a click only flips the box.
    list.listener = nullptr;
    list.getToggles()[2]->triggerClick();
    juce::MessageManager::getInstance()->runDispatchLoopUntil (50);
    EXPECT_FALSE (list.getToggles()[2]->getToggleState());
    EXPECT_EQ (listener.calls.size(), 2u);
}
