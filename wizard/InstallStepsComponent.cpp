#include "wizard/InstallStepsComponent.h"

#include "app/HfInstallerApplication.h"
#include "discovery/AfterEffectsDiscovery.h"
#include "engine/HfInstallationManager.h"
#include "lookandfeel/Palette.h"
#include "wizard/Dialogs.h"
#include "wizard/NavigationController.h"
#include "wizard/StepAfterEffectsPathComponent.h"
#include "wizard/StepInstallProgressComponent.h"
#include "wizard/StepLicenseAgreementComponent.h"
#include "wizard/StepWelcomeComponent.h"

namespace
{
    const juce::String supportAddress = "https://hollowfen.example/support";

    enum Page { welcomePage = 0, licensePage = 1, foldersPage = 2, progressPage = 3 };
}

InstallStepsComponent::InstallStepsComponent()
{
    previousButton = std::make_unique<juce::TextButton>();
    addAndMakeVisible (previousButton.get());
    previousButton->setButtonText (TRANS ("Previous"));
    previousButton->addListener (this);

    nextButton = std::make_unique<juce::TextButton>();
    addAndMakeVisible (nextButton.get());
    nextButton->setButtonText (TRANS ("Next"));
    nextButton->addListener (this);

    forwardClickGuard.watch (*previousButton);
    forwardClickGuard.watch (*nextButton);

    navigation = std::make_unique<NavigationController>();
    navigation->setSize (200, 200);
    addAndMakeVisible (navigation.get());

    welcomeStep = std::make_shared<StepWelcomeComponent> (this);
    navigation->addStep (welcomeStep);
    licenseStep = std::make_shared<StepLicenseAgreementComponent> (this);
    navigation->addStep (licenseStep);
    afterEffectsPathStep = std::make_shared<StepAfterEffectsPathComponent> (this);
    navigation->addStep (afterEffectsPathStep);
    installProgressStep = std::make_shared<StepInstallProgressComponent> (this);
    navigation->addStep (installProgressStep);

    setSize (320, 300);
    updateButtons();
}

InstallStepsComponent::~InstallStepsComponent()
{
    previousButton.reset();
    nextButton.reset();
    navigation.reset();
    selectedPaths.clear();
    installProgressStep.reset();
    afterEffectsPathStep.reset();
    licenseStep.reset();
    welcomeStep.reset();
}

void InstallStepsComponent::paint (juce::Graphics& g)
{
    g.fillAll (Palette::getBackgroundColour());

    g.setColour (juce::Colour (0xff353535));
    g.fillRect (0, getHeight() - 40, getWidth(), 40);

    g.setColour (juce::Colour (0x86737373));
    g.fillRect (0, getHeight() - 41, getWidth(), 1);
}

void InstallStepsComponent::resized()
{
    previousButton->setBounds (getWidth() - 155, getHeight() - 33, 70, 24);
    nextButton->setBounds (getWidth() - 80, getHeight() - 33, 70, 24);
    navigation->setBounds (0, 0, getWidth(), getHeight() - 40);
}

void InstallStepsComponent::updateButtons()
{
    const int index = navigation->currentIndex;

    nextButton->setColour (juce::TextButton::buttonColourId, Palette::getBackgroundColour());
    previousButton->setEnabled (index != welcomePage);

    switch (index)
    {
        case welcomePage:
            nextButton->setEnabled (welcomeStep->canContinue());
            nextButton->setButtonText (TRANS ("Next"));
            break;

        case licensePage:
            nextButton->setEnabled (licenseStep->canContinue());
            nextButton->setButtonText (TRANS ("I Accept"));
            break;

        case foldersPage:
            prepareInstallation();
            break;

        case progressPage:
            updateProgressStep();
            break;

        default:
            break;
    }
}

void InstallStepsComponent::prepareInstallation()
{
    nextButton->setButtonText (TRANS ("Install"));
    nextButton->setColour (juce::TextButton::buttonColourId, juce::Colour (0xff9000a0));

    bool enable = afterEffectsPathStep->canContinue();

    selectedPaths = afterEffectsPathStep->getSelectedPaths();
    auto* manager = HfInstallationManager::getInstance();
    manager->setTargetDirectories (selectedPaths);

    try
    {
        installProgressStep->setTasks (manager->buildTasks());
    }
    catch (const HfInstallerThreadException& error)
    {
        enable = false;

        if (error.type == HfInstallerThreadException::NotEnoughDiskSpace)
            Dialogs::showMessageBox (TRANS ("Not enough disk space"),
                                     TRANS ("There is not enough free disk space to run the installation."));
        else
            Dialogs::showMessageBox (TRANS ("Cannot install here"),
                                     TRANS ("An unexpected error occured, please contact our support at " + supportAddress));
    }

    // The whole total: the thread counts in 64 bits, so 4 GiB and more show as they are.
    const auto totalBytes = static_cast<juce::uint64> (juce::jmax ((juce::int64) 0, installProgressStep->installerThread->getTotalBytes()));
    const auto megabytes = (totalBytes + 999999) / 1000000;
    afterEffectsPathStep->requiredSpaceLabel->setText (juce::String (megabytes) + "MB", juce::dontSendNotification);

    nextButton->setEnabled (enable);
}

void InstallStepsComponent::updateProgressStep()
{
    auto& thread = *installProgressStep->installerThread;
    int state = thread.getState();

    previousButton->setButtonText ("Cancel");
    nextButton->setEnabled (false);

    if (state == HfInstallerThread::Ready)
    {
        try
        {
            installProgressStep->startInstallation();
        }
        catch (const HfInstallerThreadException& error)
        {
            // The worker has been started and has not yet marked itself running: the run
            // is already on its way, and its own updates refresh the buttons.
            if (thread.isThreadRunning())
                return;

            // The run cannot start (the system refused the worker, or nothing was
            // prepared): it ends here as a failed run, with the refusal as its error.
            thread.setError (error);
            installProgressStep->showError();
            state = HfInstallerThread::Failed;
        }
    }

    switch (state)
    {
        case HfInstallerThread::Succeeded:
            nextButton->setButtonText ("Finish");
            nextButton->setEnabled (true);
            previousButton->setVisible (false);
            break;

        case HfInstallerThread::Failed:
            previousButton->setVisible (false);
            nextButton->setButtonText (TRANS ("Close"));
            nextButton->setVisible (true);
            nextButton->setEnabled (true);
            break;

        default:
            break;
    }
}

void InstallStepsComponent::buttonClicked (juce::Button* button)
{
    const int index = navigation->currentIndex;

    // Every click is noted; the second click of a double click on the forward button does
    // not move on again.
    if (forwardClickGuard.clickArrived() && button == nextButton.get())
        return;

    if (button == previousButton.get())
    {
        if (index == progressPage)
            installProgressStep->installerThread->cancel();
        else
            navigation->goToStep (index - 1);
    }
    else if (button == nextButton.get())
    {
        if (index == progressPage)
        {
            if (auto* app = juce::JUCEApplication::getInstance())
                app->systemRequestedQuit();
        }
        else if (index == foldersPage)
        {
            if (isAfterEffectsRunning())
            {
                Dialogs::showMessageBox (TRANS ("After Effects is running"),
                                         TRANS ("After Effects application is running. Before proceeding, please close it."));
                return;
            }

            if (afterEffectsPathStep->hasHigherVersionSelected()
                && ! Dialogs::showOkCancelBox (TRANS ("Are you sure?"),
                                               TRANS ("You have a higher version of plugin installed on one of the chosen "
                                                      "locations already, do you really want to downgrade Tessmoor?")))
                return;

            navigation->goToStep (progressPage);
        }
        else
        {
            navigation->goToStep (index + 1);
        }
    }

    updateButtons();

    if (navigation->currentIndex != index)
        forwardClickGuard.pageChanged();
}
