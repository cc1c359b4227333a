#include "engine/HfInstallationManager.h"
#include "tests/engine/EngineTestSupport.h"
#include "tests/support/MessageLoop.h"
#include "tests/support/ScriptedFileSystem.h"
#include "tests/support/TestApplication.h"
#include "tests/support/WizardFixtures.h"
#include "wizard/DoubleClickGuard.h"
#include "wizard/InstallStepsComponent.h"
#include "wizard/NavigationController.h"
#include "wizard/StepAfterEffectsPathComponent.h"
#include "wizard/StepInstallProgressComponent.h"

#include <gtest/gtest.h>

using namespace testing_support;

namespace
{
    // The wizard over plug-in folders of the test's own and a manager holding the given archive.
    struct StepController : ::testing::Test
    {
        TemporaryFolder temp;
        ScriptedDialogs dialogs;
        HfInstallationManager& manager = *HfInstallationManager::getInstance();

        void SetUp() override
        {
            manager.reset();
            manager.setTargetSubdirectory ("Hollowfen/Vistrel");
        }

        void TearDown() override { manager.reset(); }

        void registerArchive (std::shared_ptr<juce::ZipFile> archive)
        {
            InstallationEntry entry;
            entry.kind = 1;
            entry.archive = std::move (archive);
            entry.overwrite = true;
            entry.setPermissions = false; // ACLs are the engine's tests' business
            manager.addEntry (entry);
        }

        // The wizard's clock, which the clicks below move on.
        juce::int64 now = 1000;
        DoubleClickGuard::ScopedClock clock { [this] { return now; } };

        static int doubleClickInterval() { return juce::MouseEvent::getDoubleClickTimeout(); }

        // A click that comes the given time after the one before: by default, a click of its
        // own rather than the second of a double click.
        void click (juce::Button& button, int after = doubleClickInterval())
        {
            now += after;
            button.triggerClick();
            juce::MessageManager::getInstance()->runDispatchLoopUntil (20);
        }

        void goToFolderPage (InstallStepsComponent& steps)
        {
            click (*steps.nextButton);
            click (*steps.nextButton);
            ASSERT_EQ (steps.navigation->currentIndex, 2);
        }
    };
}

TEST_F (StepController, StartsOnTheWelcomePageAndWalksForwardAndBack)
{
    ScopedRegistry registry ({});
    InstallStepsComponent steps;
    steps.setSize (332, 300);

    struct Expected { int page; const char* previous; bool previousEnabled; const char* next; bool nextEnabled; juce::uint32 nextColour; };
    auto expect = [&] (const Expected& e)
    {
        SCOPED_TRACE (e.page);
        EXPECT_EQ (steps.navigation->currentIndex, e.page);
        EXPECT_EQ (steps.previousButton->getButtonText(), e.previous);
        EXPECT_EQ (steps.previousButton->isEnabled(), e.previousEnabled);
        EXPECT_EQ (steps.nextButton->getButtonText(), e.next);
        EXPECT_EQ (steps.nextButton->isEnabled(), e.nextEnabled);
        EXPECT_EQ (steps.nextButton->findColour (juce::TextButton::buttonColourId).getARGB(), e.nextColour);
    };

    expect ({ 0, "Previous", false, "Next", true, 0xff3f3f3f });
    click (*steps.nextButton);
    expect ({ 1, "Previous", true, "I Accept", true, 0xff3f3f3f });
    click (*steps.nextButton);
    expect ({ 2, "Previous", true, "Install", false, 0xff9000a0 });
    click (*steps.previousButton);
    expect ({ 1, "Previous", true, "I Accept", true, 0xff3f3f3f });
    click (*steps.previousButton);
    expect ({ 0, "Previous", false, "Next", true, 0xff3f3f3f });
}

TEST_F (StepController, AForwardClickWithinTheDoubleClickIntervalAfterAPageChangeIsDropped)
{
    ScopedRegistry registry ({});

    struct Case { int secondClickAfter; int page; const char* next; };
    const Case cases[] = {
        { 80, 1, "I Accept" },
        { doubleClickInterval() - 1, 1, "I Accept" },
        { doubleClickInterval(), 2, "Install" },
        { -60000, 2, "Install" },   // the clock was set back meanwhile
    };
    for (auto& c : cases)
    {
        SCOPED_TRACE (c.secondClickAfter);
        InstallStepsComponent steps;
        click (*steps.nextButton);
        click (*steps.nextButton, c.secondClickAfter);

        EXPECT_EQ (steps.navigation->currentIndex, c.page);
        EXPECT_EQ (steps.nextButton->getButtonText(), c.next);
        EXPECT_TRUE (steps.previousButton->isEnabled());
    }
}

TEST_F (StepController, ADoubleClickOnIAcceptNeverStartsARun)
{
    ScopedHookValue folderName (TestApplication::get().temporaryFolderName, engine_test::temporaryFolderName());
    registerArchive (engine_test::ZipWriter().file ("Vistrel.aex", engine_test::bytes (100)).open());
    auto folder = temp.make ("cc/Plug-ins");
    ScopedRegistry registry ({ { "12", folder } });
    InstallStepsComponent steps;

    click (*steps.nextButton);       // Next
    click (*steps.nextButton);       // I Accept ...
    click (*steps.nextButton, 80);   // ... twice
    juce::MessageManager::getInstance()->runDispatchLoopUntil (100);

    EXPECT_EQ (steps.navigation->currentIndex, 2);
    EXPECT_EQ (steps.nextButton->getButtonText(), "Install");
    EXPECT_TRUE (steps.nextButton->isEnabled());
    EXPECT_EQ (steps.installProgressStep->installerThread->getState(), HfInstallerThread::Ready);
    EXPECT_FALSE (pluginCopyIn (folder).exists());
}

TEST_F (StepController, LaysOutTheButtonBarFromTheRightEdge)
{
    ScopedRegistry registry ({});
    InstallStepsComponent steps;
    steps.setSize (332, 300);

    EXPECT_EQ (steps.previousButton->getBounds(), juce::Rectangle<int> (177, 267, 70, 24));
    EXPECT_EQ (steps.nextButton->getBounds(), juce::Rectangle<int> (252, 267, 70, 24));
    EXPECT_EQ (steps.navigation->getBounds(), juce::Rectangle<int> (0, 0, 332, 260));

    auto image = steps.createComponentSnapshot (steps.getLocalBounds());
    EXPECT_EQ (image.getPixelAt (5, 100).getARGB(), 0xff3f3f3fu);   // step area
    EXPECT_EQ (image.getPixelAt (5, 280).getARGB(), 0xff353535u);   // button bar
    EXPECT_EQ (image.getPixelAt (5, 259), juce::Colour (0xff3f3f3f).overlaidWith (juce::Colour (0x86737373))); // line on top of the bar
}

TEST_F (StepController, WithNothingTickedInstallIsDisabledAndTheSizeIsZero)
{
    registerArchive (engine_test::ZipWriter().file ("Vistrel.aex", engine_test::bytes (1000)).open());
    ScopedRegistry registry ({});
    InstallStepsComponent steps;
    ASSERT_NO_FATAL_FAILURE (goToFolderPage (steps));

    EXPECT_FALSE (steps.nextButton->isEnabled());
    EXPECT_EQ (steps.afterEffectsPathStep->requiredSpaceLabel->getText(), "0MB");
    EXPECT_TRUE (dialogs.shown.empty());
}

TEST_F (StepController, ShowsTheRequiredSizeInWholeMegabytesRoundedUp)
{
    struct Case { size_t entryBytes; int folders; const char* shown; };
    const Case cases[] = {
        { 1000000, 1, "1MB" },
        { 1000001, 1, "2MB" },
        { 5850592, 1, "6MB" },
        { 5850592, 2, "12MB" },
    };

    for (auto& c : cases)
    {
        SCOPED_TRACE (c.shown);
        manager.reset();
        registerArchive (engine_test::ZipWriter().file ("Vistrel.aex", engine_test::bytes (c.entryBytes)).open());

        std::vector<std::pair<juce::String, juce::File>> folders { { "12", temp.make ("one/Plug-ins") } };
        if (c.folders == 2)
            folders.push_back ({ "13", temp.make ("two/Plug-ins") });
        ScopedRegistry registry (folders);

        InstallStepsComponent steps;
        ASSERT_NO_FATAL_FAILURE (goToFolderPage (steps));
        EXPECT_EQ (steps.afterEffectsPathStep->requiredSpaceLabel->getText(), c.shown);
        EXPECT_TRUE (steps.nextButton->isEnabled());
    }
    EXPECT_TRUE (dialogs.shown.empty());
}

TEST_F (StepController, ShowsTotalsOfFourGibibytesAndMoreWhole)
{
    // Room for them whatever the machine's disk holds.
    testing_support::ScriptedFileSystem fileSystem;
    fileSystem.freeBytes = 1000000000000ll;
    platform::ScopedFileSystemReplacement replacement (fileSystem);

    // Two entries that claim 1.25 GB each, installed into two folders: 5,000,000,000 bytes in all.
    engine_test::ZipWriter writer;
    for (auto name : { "a.bin", "b.bin" })
    {
        engine_test::ZipWriter::Entry entry { name, juce::MemoryBlock (1), false, {}, {}, 0 };
        entry.storedSize = 1250000000u;
        writer.add (entry);
    }
    registerArchive (writer.open());
    ScopedRegistry registry ({ { "12", temp.make ("one/Plug-ins") }, { "13", temp.make ("two/Plug-ins") } });

    InstallStepsComponent steps;
    ASSERT_NO_FATAL_FAILURE (goToFolderPage (steps));
    EXPECT_EQ (steps.installProgressStep->installerThread->getTotalBytes(), 5000000000);
    EXPECT_EQ (steps.afterEffectsPathStep->requiredSpaceLabel->getText(), "5000MB");
}

TEST_F (StepController, APreparationErrorShowsCannotInstallHereAndKeepsInstallDisabled)
{
    registerArchive (nullptr);
    ScopedRegistry registry ({ { "12", temp.make ("cc/Plug-ins") } });
    InstallStepsComponent steps;
    ASSERT_NO_FATAL_FAILURE (goToFolderPage (steps));

    ASSERT_EQ (dialogs.shown.size(), 1u);
    EXPECT_EQ (dialogs.shown[0].title, "Cannot install here");
    EXPECT_TRUE (dialogs.shown[0].message.startsWith ("An unexpected error occured, please contact our support at http"));
    EXPECT_FALSE (steps.nextButton->isEnabled());
    EXPECT_EQ (steps.afterEffectsPathStep->requiredSpaceLabel->getText(), "0MB");

    // Every refresh while the error persists shows the box again.
    steps.afterEffectsPathStep->container->getToggles()[0]->triggerClick();
    juce::MessageManager::getInstance()->runDispatchLoopUntil (20);
    EXPECT_EQ (dialogs.shown.size(), 1u) << "nothing ticked: nothing to prepare";
    steps.afterEffectsPathStep->container->getToggles()[0]->triggerClick();
    juce::MessageManager::getInstance()->runDispatchLoopUntil (20);
    EXPECT_EQ (dialogs.shown.size(), 2u);
}

TEST_F (StepController, InstallIsRefusedWhileAfterEffectsRuns)
{
    registerArchive (engine_test::ZipWriter().file ("Vistrel.aex", engine_test::bytes (10)).open());
    // A newer plug-in too: the downgrade question, which comes after this check, must not be asked.
    auto folder = temp.make ("cc/Plug-ins");
    installPluginCopy (folder, "2.0");
    ScopedRegistry registry ({ { "12", folder } });

    RunningProgram host (temp.folder, "AfterFX.exe");
    ASSERT_TRUE (host.started());
    ASSERT_TRUE (host.waitUntilListed());

    InstallStepsComponent steps;
    ASSERT_NO_FATAL_FAILURE (goToFolderPage (steps));
    dialogs.okCancelAnswers = { true };
    click (*steps.nextButton);

    ASSERT_EQ (dialogs.shown.size(), 1u);
    EXPECT_EQ (dialogs.shown[0].kind, "message");
    EXPECT_EQ (dialogs.shown[0].title, "After Effects is running");
    EXPECT_EQ (dialogs.shown[0].message, "After Effects application is running. Before proceeding, please close it.");
    EXPECT_EQ (steps.navigation->currentIndex, 2);
}

TEST_F (StepController, ADowngradeNeedsConfirmationThenTheRunInstallsAndOffersFinish)
{
    registerArchive (engine_test::ZipWriter().file ("Vistrel.aex", engine_test::bytes (4096)).open());
    auto folder = temp.make ("cc/Plug-ins");
    installPluginCopy (folder, "2.0");
    ScopedRegistry registry ({ { "12", folder } });
    InstallStepsComponent steps;
    ASSERT_NO_FATAL_FAILURE (goToFolderPage (steps));

    dialogs.okCancelAnswers = { false, true };
    click (*steps.nextButton);
    ASSERT_EQ (dialogs.shown.size(), 1u);
    EXPECT_EQ (dialogs.shown[0].title, "Are you sure?");
    EXPECT_EQ (dialogs.shown[0].message, "You have a higher version of plugin installed on one of the chosen locations "
                                         "already, do you really want to downgrade Tessmoor?");
    EXPECT_EQ (steps.navigation->currentIndex, 2);

    click (*steps.nextButton);
    EXPECT_EQ (steps.navigation->currentIndex, 3);
    EXPECT_EQ (steps.previousButton->getButtonText(), "Cancel");

    auto& thread = *steps.installProgressStep->installerThread;
    ASSERT_TRUE (runMessageLoopUntil ([&] { return thread.getState() == HfInstallerThread::Succeeded
                                                   && steps.nextButton->getButtonText() == "Finish"; }));
    EXPECT_TRUE (steps.nextButton->isEnabled());
    EXPECT_FALSE (steps.previousButton->isVisible());
    EXPECT_EQ (folder.getChildFile ("Hollowfen/Vistrel/Vistrel.aex").getSize(), 4096);
}

TEST_F (StepController, AWorkerThatCannotStartShowsAFailedRunAndOffersClose)
{
    registerArchive (engine_test::ZipWriter().file ("Vistrel.aex", engine_test::bytes (100)).open());
    auto folder = temp.make ("cc/Plug-ins");
    ScopedRegistry registry ({ { "12", folder } });
    InstallStepsComponent steps;
    auto& page = *steps.installProgressStep;
    page.installerThread = std::make_unique<engine_test::UnstartableThread> (&page);
    ASSERT_NO_FATAL_FAILURE (goToFolderPage (steps));
    ASSERT_TRUE (steps.nextButton->isEnabled());

    click (*steps.nextButton);

    EXPECT_EQ (steps.navigation->currentIndex, 3);
    EXPECT_EQ (page.installerThread->getState(), HfInstallerThread::Failed);
    EXPECT_EQ (page.statusLabel->getText(), "An error occured.\nPlease contact our support. Error type: 4");
    EXPECT_TRUE (page.errorDetailsEditor->isVisible());
    EXPECT_EQ (page.errorDetailsEditor->getText(), "Detail: Could not start the installer thread");
    EXPECT_EQ (page.progress, -1.0);
    EXPECT_EQ (steps.nextButton->getButtonText(), "Close");
    EXPECT_TRUE (steps.nextButton->isEnabled());
    EXPECT_FALSE (steps.previousButton->isVisible());
    EXPECT_FALSE (pluginCopyIn (folder).exists());
}

TEST_F (StepController, DuringARunOnlyCancelIsOfferedAndACancelledRunOffersClose)
{
    engine_test::ZipWriter writer;
    writer.file ("first.bin", "first").file ("Vistrel.aex", "second").file ("third.bin", "third");
    engine_test::GatedArchive gated (writer);
    registerArchive (gated.archive);
    ScopedRegistry registry ({ { "12", temp.make ("cc/Plug-ins") } });
    InstallStepsComponent steps;
    ASSERT_NO_FATAL_FAILURE (goToFolderPage (steps));

    gated.holdAtEntry (1); // the worker stops as it opens the second entry
    click (*steps.nextButton);
    ASSERT_EQ (steps.navigation->currentIndex, 3);
    ASSERT_TRUE (gated.stream->waitUntilReached()) << steps.installProgressStep->installerThread->getState()
                                                   << " " << steps.installProgressStep->installerThread->getLastError().getMessage();
    juce::MessageManager::getInstance()->runDispatchLoopUntil (50);

    auto expectRunningButtons = [&]
    {
        EXPECT_EQ (steps.previousButton->getButtonText(), "Cancel");
        EXPECT_TRUE (steps.previousButton->isEnabled());
        EXPECT_TRUE (steps.previousButton->isVisible());
        EXPECT_EQ (steps.nextButton->getButtonText(), "Install");
        EXPECT_FALSE (steps.nextButton->isEnabled());
        EXPECT_EQ (steps.nextButton->findColour (juce::TextButton::buttonColourId).getARGB(), 0xff3f3f3fu);
    };
    expectRunningButtons();

    click (*steps.previousButton);
    EXPECT_EQ (steps.installProgressStep->installerThread->getState(), HfInstallerThread::CancelRequested);
    expectRunningButtons();

    gated.stream->release();
    ASSERT_TRUE (runMessageLoopUntil ([&] { return steps.nextButton->getButtonText() == "Close"; }));
    EXPECT_TRUE (steps.nextButton->isEnabled());
    EXPECT_TRUE (steps.nextButton->isVisible());
    EXPECT_FALSE (steps.previousButton->isVisible());
    EXPECT_EQ (steps.installProgressStep->installerThread->getState(), HfInstallerThread::Failed);
}
