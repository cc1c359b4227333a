#include "wizard/StepAfterEffectsPathComponent.h"

#include "discovery/AfterEffectsDiscovery.h"
#include "discovery/HostNames.h"
#include "wizard/Dialogs.h"
#include "wizard/InstallStepsComponent.h"
#include "wizard/WizardLabels.h"

StepAfterEffectsPathComponent::StepAfterEffectsPathComponent (InstallStepsComponent* parentSteps)
    : InstallStep (parentSteps)
{
    titleLabel = wizard::makeLabel (TRANS ("Select your After Effects installation"), 15.0f, juce::Justification::centredLeft);
    addAndMakeVisible (titleLabel.get());

    browseButton = std::make_unique<juce::TextButton> ("new button");
    browseButton->setButtonText (TRANS ("Browse"));
    browseButton->addListener (this);
    addAndMakeVisible (browseButton.get());

    requiredSpaceCaption = wizard::makeLabel (TRANS ("Required disk space:"), 12.0f, juce::Justification::centredLeft);
    addAndMakeVisible (requiredSpaceCaption.get());

    requiredSpaceLabel = wizard::makeLabel (TRANS ("? MB\n"), 12.0f, juce::Justification::centredLeft);
    addAndMakeVisible (requiredSpaceLabel.get());

    hintLabel = wizard::makeLabel (TRANS ("Haven't found your version of After Effects?"), 15.0f, juce::Justification::centredLeft);
    addAndMakeVisible (hintLabel.get());

    viewport = std::make_unique<juce::Viewport> ("new viewport");
    viewport->setScrollBarsShown (true, false, false, false);
    addAndMakeVisible (viewport.get());

    emptyListLabel = wizard::makeLabel (TRANS ("Could not find any After Effects installation, please press 'Browse' to find one"),
                                        15.0f, juce::Justification::centred);
    addAndMakeVisible (emptyListLabel.get());
    emptyListLabel->setVisible (false);

    container = new AEPathContainerComponent();
    viewport->setViewedComponent (container, true);
    container->listener = this;

    hintLabel->setMinimumHorizontalScale (1.0f);

    installations = discoverAfterEffectsInstallations();
    refreshList();

    if (installations.empty())
        hintLabel->setText (HostNames::locateAfterEffectsFolder, juce::dontSendNotification);

    setSize (600, 400);
}

StepAfterEffectsPathComponent::~StepAfterEffectsPathComponent()
{
    titleLabel.reset();
    browseButton.reset();
    requiredSpaceCaption.reset();
    requiredSpaceLabel.reset();
    hintLabel.reset();
    viewport.reset();
    container = nullptr;
    emptyListLabel.reset();
}

void StepAfterEffectsPathComponent::resized()
{
    const int w = getWidth();

    titleLabel->setBounds (20, 4, 247, 48);
    browseButton->setBounds (200, 193, 64, 24);
    requiredSpaceCaption->setBounds (w - 161, 237, 120, 24);
    requiredSpaceLabel->setBounds (w - 51, 237, 70, 24);
    hintLabel->setBounds (21, 185, 179, 39);
    viewport->setBounds (20, 48, w - 40, 132);
    emptyListLabel->setBounds ((w - 40) / 2 - 89, 74, 218, 80);
    fitListWidth();
}

void StepAfterEffectsPathComponent::fitListWidth()
{
    // The list has set its own height, and the viewport has decided from it whether its
    // scroll bar shows; the rows then take the width left beside the bar. Only the width
    // changes here, so the viewport's decision stands.
    if (container != nullptr)
        container->setBounds (container->getBounds().withWidth (viewport->getMaximumVisibleWidth()));
}

bool StepAfterEffectsPathComponent::canContinue()
{
    for (auto& installation : installations)
        if (installation.selected)
            return true;

    return false;
}

std::vector<juce::String> StepAfterEffectsPathComponent::getSelectedPaths() const
{
    std::vector<juce::String> paths;

    for (auto& installation : installations)
        if (installation.selected)
            paths.push_back (installation.path.getFullPathName());

    return paths;
}

bool StepAfterEffectsPathComponent::hasHigherVersionSelected() const
{
    for (auto& installation : installations)
        if (installation.selected && installation.isInstalledVersionHigher())
            return true;

    return false;
}

void StepAfterEffectsPathComponent::selectionChanged (size_t index, bool ticked)
{
    if (index >= installations.size())
        return;

    installations[index].selected = ticked;

    if (parent != nullptr)
        parent->updateButtons();
}

void StepAfterEffectsPathComponent::buttonClicked (juce::Button* button)
{
    if (button == browseButton.get())
        browseForInstallation();
}

void StepAfterEffectsPathComponent::refreshList()
{
    if (container == nullptr)
        return;

    container->clear();

    for (auto& installation : installations)
    {
        auto text = installation.getDisplayName();

        if (installation.status.isNotEmpty())
            text << " (" << installation.status << ")";

        container->addItem (text, installation.selected,
                            installation.custom ? installation.path.getFullPathName() : juce::String());
    }

    emptyListLabel->setVisible (installations.empty());
    fitListWidth();
}

void StepAfterEffectsPathComponent::browseForInstallation()
{
    auto chosen = Dialogs::chooseFolder ("Choose a directory...", juce::File::getCurrentWorkingDirectory());

    if (! chosen.has_value())
        return;

    auto folder = findPluginsFolder (*chosen);

    if (! folder.exists())
    {
        Dialogs::showMessageBox (TRANS ("After Effects not found"),
                                 TRANS ("Selected folder does not contain an After Effects installation. "
                                        "Please select root folder of your After Effects installation."));
        return;
    }

    if (isAlreadyListed (folder))
    {
        Dialogs::showMessageBox (TRANS ("Already listed"), TRANS ("Selected After Effects installation is already listed."));
        return;
    }

    AfterEffectsInstallation record (folder, HostNames::customLocation, true);

    if (installations.size() >= 2 && installations.back().getDisplayName() == HostNames::customLocation)
        installations.back() = std::move (record);
    else
        installations.push_back (std::move (record));

    refreshList();

    if (parent != nullptr)
        parent->updateButtons();
}

juce::File StepAfterEffectsPathComponent::findPluginsFolder (const juce::File& folder)
{
    if (folder.getFileName().equalsIgnoreCase ("Plug-ins"))
        return folder;

    auto inSupportFiles = folder.getChildFile ("Support Files").getChildFile ("Plug-ins");
    if (inSupportFiles.exists())
        return inSupportFiles;

    auto sibling = folder.getSiblingFile ("Plug-ins");
    if (sibling.exists())
        return sibling;

    return {};
}

bool StepAfterEffectsPathComponent::isAlreadyListed (const juce::File& folder) const
{
    const auto wanted = folder.getFullPathName().toStdString();

    for (auto& installation : installations)
    {
        const auto listed = installation.path.getFullPathName().toStdString();

        if (listed.size() == wanted.size()
            && std::equal (listed.begin(), listed.end(), wanted.begin(), [] (char a, char b)
                           {
                               auto lower = [] (char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char> (c - 'A' + 'a') : c; };
                               return lower (a) == lower (b);
                           }))
            return true;
    }

    return false;
}
