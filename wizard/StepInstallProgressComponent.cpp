#include "wizard/StepInstallProgressComponent.h"

#include "lookandfeel/Palette.h"
#include "resources/ProductData.h"
#include "wizard/InstallStepsComponent.h"
#include "wizard/WizardLabels.h"

StepInstallProgressComponent::StepInstallProgressComponent (InstallStepsComponent* parentSteps)
    : InstallStep (parentSteps)
{
    progressBar = std::make_unique<juce::ProgressBar> (progress);
    progressBar->setName ("new component");
    addAndMakeVisible (progressBar.get());

    statusLabel = wizard::makeLabel (TRANS ("Installing.."), 15.0f, juce::Justification::centredTop);
    addAndMakeVisible (statusLabel.get());

    errorDetailsEditor = std::make_unique<juce::TextEditor> ("new text editor");
    addAndMakeVisible (errorDetailsEditor.get());
    errorDetailsEditor->setMultiLine (true, true);
    errorDetailsEditor->setReadOnly (true);
    errorDetailsEditor->setScrollbarsShown (true);
    errorDetailsEditor->setCaretVisible (false);
    errorDetailsEditor->setPopupMenuEnabled (false);
    errorDetailsEditor->setColour (juce::TextEditor::textColourId, juce::Colour (0xff1d1d1d));
    errorDetailsEditor->setText (juce::String());

    successLabel = wizard::makeLabel (TRANS ("Success!"), 22.0f, juce::Justification::centredTop);
    addAndMakeVisible (successLabel.get());

    successMessageLabel = wizard::makeLabel (TRANS ("Now go and animate like a beast!"), 15.0f, juce::Justification::centredTop);
    addAndMakeVisible (successMessageLabel.get());

    auto tick = ProductData::tickPng();
    successIcon = juce::ImageCache::getFromMemory (tick.data, static_cast<int> (tick.size));

    installerThread = std::make_unique<HfInstallerThread> (this);

    progressBar->setColour (juce::ProgressBar::backgroundColourId, Palette::getDarkBackgroundColour());
    statusLabel->setMinimumHorizontalScale (1.0f);

    errorDetailsEditor->setVisible (false);
    successLabel->setVisible (false);
    successMessageLabel->setVisible (false);

    setSize (600, 400);
}

StepInstallProgressComponent::~StepInstallProgressComponent()
{
    progressBar.reset();
    statusLabel.reset();
    errorDetailsEditor.reset();
    successLabel.reset();
    successMessageLabel.reset();
    successIcon = {};
    installerThread.reset();
}

void StepInstallProgressComponent::setStatus (const juce::String& text)
{
    statusLabel->setText (text, juce::dontSendNotification);
}

void StepInstallProgressComponent::setTasks (std::vector<InstallationTask> tasks)
{
    try
    {
        installerThread->setTasks (tasks);
        installerThread->prepare();
    }
    catch (const HfInstallerThreadException& error)
    {
        showError();
        throw HfInstallerThreadException (error);
    }
}

void StepInstallProgressComponent::startInstallation()
{
    if (installerThread->getState() == HfInstallerThread::Ready)
    {
        installerThread->start();

        // A refused preparation may have left the cancel text: the run opens waiting.
        progress = 0.0;
        setStatus (TRANS ("Installing.."));
    }
    else if (installerThread->getState() == HfInstallerThread::Failed)
        showError();
}

void StepInstallProgressComponent::showError()
{
    progress = -1.0;

    auto error = installerThread->getLastError();

    if (error.type == HfInstallerThreadException::None)
    {
        setStatus (TRANS ("Installation was cancelled.."));
        return;
    }

    setStatus (TRANS ("An error occured.\nPlease contact our support. Error type: " + juce::String (error.type)));

    switch (error.type)
    {
        case HfInstallerThreadException::StillInProgress:   // a run that could not start
        case HfInstallerThreadException::DeleteFailed:
        case HfInstallerThreadException::MoveFailed:
        case HfInstallerThreadException::CreateDirectoryFailed:
        case HfInstallerThreadException::PermissionsFailed:
            errorDetailsEditor->setVisible (true);
            errorDetailsEditor->setText (error.getMessage());
            break;

        default:
            break;
    }
}

juce::String StepInstallProgressComponent::getPhaseText (int phase)
{
    switch (phase)
    {
        case HfInstallerThread::Extracting:  return TRANS ("Extracting files");
        case HfInstallerThread::MovingFiles: return TRANS ("Moving files from temporary folder");
        case HfInstallerThread::CleaningUp:  return TRANS ("Cleaning temporary files");
        default:                             return TRANS ("Installing..");
    }
}

void StepInstallProgressComponent::installerUpdated()
{
    switch (installerThread->getState())
    {
        case HfInstallerThread::Running:
            progress = juce::jmin (installerThread->getProgress(), 0.99);
            setStatus (getPhaseText (installerThread->getPhase()));
            break;

        case HfInstallerThread::Succeeded:
            progress = 1.0;
            setStatus (TRANS ("Installation successfull"));

            if (parent != nullptr)
                parent->updateButtons();

            progressBar->setVisible (false);
            statusLabel->setVisible (false);
            successLabel->setVisible (true);
            successMessageLabel->setVisible (true);
            repaint();
            break;

        case HfInstallerThread::Failed:
            showError();

            if (parent != nullptr)
                parent->updateButtons();
            break;

        default:
            break;
    }
}

bool StepInstallProgressComponent::canContinue()
{
    return false;
}

void StepInstallProgressComponent::resized()
{
    const int w = getWidth(), h = getHeight();

    progressBar->setBounds (w / 2 - (w - 40) / 2, h / 2 - 50, w - 40, 26);
    statusLabel->setBounds (w / 2 - 145, h / 2 - 12, 290, 44);
    errorDetailsEditor->setBounds (20, h / 2 + 33, w - 40, 95);
    successLabel->setBounds (w / 2 - 145, h / 2 - 13, 290, 24);
    successMessageLabel->setBounds (w / 2 - 185, h / 2 + 23, 370, 24);
}

void StepInstallProgressComponent::paintOverChildren (juce::Graphics& g)
{
    if (installerThread->getState() != HfInstallerThread::Succeeded || ! successIcon.isValid())
        return;

    const int w = getWidth(), h = getHeight();
    g.drawImage (successIcon, juce::Rectangle<float> ((float) (w / 2 - 25), (float) (h / 2 - 75), 51.0f, 51.0f),
                 juce::RectanglePlacement::centred, false);
}
