#include "tests/engine/EngineTestSupport.h"
#include "tests/support/MessageLoop.h"
#include "tests/support/TestApplication.h"
#include "tests/support/WizardFixtures.h"
#include "wizard/StepInstallProgressComponent.h"

#include <gtest/gtest.h>

using namespace testing_support;

namespace
{
    juce::String statusOf (StepInstallProgressComponent& page) { return page.statusLabel->getText(); }

    // The page after the thread has recorded this error, as the update that follows shows it.
    void failWith (StepInstallProgressComponent& page, HfInstallerThreadException error)
    {
        page.installerThread->setError (error);
        page.installerUpdated();
    }
}

TEST (ProgressPage, BuildsItsChildrenWaitingAndLaysThemOutAroundTheMiddle)
{
    StepInstallProgressComponent page (nullptr);
    EXPECT_EQ (page.getWidth(), 600);
    EXPECT_EQ (statusOf (page), "Installing..");
    EXPECT_EQ (page.progress, 0.0);
    EXPECT_FALSE (page.errorDetailsEditor->isVisible());
    EXPECT_FALSE (page.successLabel->isVisible());
    EXPECT_FALSE (page.successMessageLabel->isVisible());
    EXPECT_TRUE (page.progressBar->isVisible());
    EXPECT_EQ (page.progressBar->findColour (juce::ProgressBar::backgroundColourId), juce::Colour (0xff2f2f2f));
    EXPECT_EQ (page.statusLabel->getMinimumHorizontalScale(), 1.0f);
    EXPECT_EQ (page.successLabel->getText(), "Success!");
    EXPECT_EQ (page.successMessageLabel->getText(), "Now go and animate like a beast!");
    EXPECT_EQ (page.successLabel->getFont().getHeight(), 22.0f);
    EXPECT_EQ (page.errorDetailsEditor->findColour (juce::TextEditor::textColourId), juce::Colour (0xff1d1d1d));
    EXPECT_FALSE (page.errorDetailsEditor->isPopupMenuEnabled());
    EXPECT_EQ (page.progressBar->getName(), "new component");

    struct Case { int w, h; juce::Rectangle<int> bar, status, box, success, message; };
    const Case cases[] = {
        { 332, 260, { 20, 80, 292, 26 }, { 21, 118, 290, 44 }, { 20, 163, 292, 95 }, { 21, 117, 290, 24 }, { -19, 153, 370, 24 } },
        { 501, 401, { 20, 150, 461, 26 }, { 105, 188, 290, 44 }, { 20, 233, 461, 95 }, { 105, 187, 290, 24 }, { 65, 223, 370, 24 } },
    };
    for (auto& c : cases)
    {
        page.setSize (c.w, c.h);
        EXPECT_EQ (page.progressBar->getBounds(), c.bar);
        EXPECT_EQ (page.statusLabel->getBounds(), c.status);
        EXPECT_EQ (page.errorDetailsEditor->getBounds(), c.box);
        EXPECT_EQ (page.successLabel->getBounds(), c.success);
        EXPECT_EQ (page.successMessageLabel->getBounds(), c.message);
    }
}

TEST (ProgressPage, NamesEachPhase)
{
    struct Case { int phase; const char* text; };
    const Case cases[] = {
        { HfInstallerThread::NotStarted, "Installing.." },
        { HfInstallerThread::Extracting, "Extracting files" },
        { HfInstallerThread::SettingPermissions, "Installing.." },
        { HfInstallerThread::MovingFiles, "Moving files from temporary folder" },
        { HfInstallerThread::CleaningUp, "Cleaning temporary files" },
        { 17, "Installing.." },
    };
    for (auto& c : cases)
        EXPECT_EQ (StepInstallProgressComponent::getPhaseText (c.phase), c.text);
}

TEST (ProgressPage, ShowsErrorsByTypeAndTheCancelText)
{
    struct Case { int type; const char* message; bool boxShown; };
    const Case cases[] = {
        { HfInstallerThreadException::ExtractionFailed, "not shown", false },
        { HfInstallerThreadException::StillInProgress, "Detail: Could not start the installer thread", true },
        { HfInstallerThreadException::DeleteFailed, "Detail: Could not delete this file: /x", true },
        { HfInstallerThreadException::MoveFailed, "Detail: Could not move this file : /a into : /b", true },
        { HfInstallerThreadException::CreateDirectoryFailed, "Detail: Could not create directory: /d", true },
        { HfInstallerThreadException::PermissionsFileMissing, "not shown either", false },
        { HfInstallerThreadException::PermissionsFailed, "[Detail] denied\n/f \n", true },
    };
    for (auto& c : cases)
    {
        SCOPED_TRACE (c.type);
        StepInstallProgressComponent page (nullptr);
        failWith (page, HfInstallerThreadException ((HfInstallerThreadException::ErrorType) c.type, c.message));

        EXPECT_EQ (statusOf (page), "An error occured.\nPlease contact our support. Error type: " + juce::String (c.type));
        EXPECT_EQ (page.progress, -1.0);
        EXPECT_EQ (page.errorDetailsEditor->isVisible(), c.boxShown);
        EXPECT_EQ (page.errorDetailsEditor->getText(), c.boxShown ? juce::String (c.message) : juce::String());
        EXPECT_TRUE (page.progressBar->isVisible());
    }

    StepInstallProgressComponent cancelled (nullptr);
    failWith (cancelled, HfInstallerThreadException (HfInstallerThreadException::None, {}));
    EXPECT_EQ (statusOf (cancelled), "Installation was cancelled..");
    EXPECT_FALSE (cancelled.errorDetailsEditor->isVisible());
    EXPECT_EQ (cancelled.progress, -1.0);
}

TEST (ProgressPage, StartingAnUnpreparedThreadIsRefused)
{
    StepInstallProgressComponent page (nullptr);
    try
    {
        page.startInstallation();
        FAIL() << "nothing thrown";
    }
    catch (const HfInstallerThreadException& e)
    {
        EXPECT_EQ (e.type, HfInstallerThreadException::StillInProgress);
        EXPECT_EQ (e.getMessage(), "Installation is still in progress");
    }
    EXPECT_EQ (page.installerThread->getState(), HfInstallerThread::Ready);
}

TEST (ProgressPage, ARefusedPreparationIsShownAndRaisedAgain)
{
    StepInstallProgressComponent page (nullptr);
    std::vector<InstallationTask> tasks { InstallationTask (nullptr, "/nowhere", true, true) };

    try
    {
        page.setTasks (tasks);
        FAIL() << "nothing thrown";
    }
    catch (const HfInstallerThreadException& e)
    {
        EXPECT_EQ (e.type, HfInstallerThreadException::InvalidArchive);
        EXPECT_TRUE (e.getMessage().isEmpty());
    }
    // The preparation records no error, so the page shows the cancel text, off screen.
    EXPECT_EQ (statusOf (page), "Installation was cancelled..");
    EXPECT_EQ (page.progress, -1.0);
}

TEST (ProgressPage, ARunAfterARefusedPreparationOpensWithTheWaitingDisplay)
{
    ScopedHookValue folderName (TestApplication::get().temporaryFolderName, engine_test::temporaryFolderName());
    TemporaryFolder temp;
    StepInstallProgressComponent page (nullptr);
    EXPECT_THROW (page.setTasks ({ InstallationTask (nullptr, "/nowhere", true, true) }), HfInstallerThreadException);
    ASSERT_EQ (statusOf (page), "Installation was cancelled..");

    auto archive = engine_test::ZipWriter().file ("a.bin", engine_test::bytes (2000)).open();
    page.setTasks ({ InstallationTask (archive, temp.folder.getChildFile ("dest").getFullPathName(), true, false) });
    page.startInstallation();

    // The worker's first update has not been delivered yet.
    EXPECT_EQ (statusOf (page), "Installing..");
    EXPECT_EQ (page.progress, 0.0);
    EXPECT_TRUE (runMessageLoopUntil ([&] { return page.successLabel->isVisible(); }));
}

TEST (ProgressPage, ARunShowsItsProgressThenSuccessWithTheTick)
{
    TemporaryFolder temp;
    StepInstallProgressComponent page (nullptr);
    page.setSize (332, 260);
    auto archive = engine_test::ZipWriter().file ("a.bin", engine_test::bytes (2000)).file ("b.bin", engine_test::bytes (2000)).open();
    page.setTasks ({ InstallationTask (archive, temp.folder.getChildFile ("dest").getFullPathName(), true, false) });

    auto whiteIn = [] (const juce::Image& image)
    {
        int count = 0;
        for (int y = 55; y < 106; ++y)
            for (int x = 141; x < 192; ++x)
                count += image.getPixelAt (x, y).getBrightness() > 0.95f ? 1 : 0;
        return count;
    };
    EXPECT_EQ (whiteIn (page.createComponentSnapshot (page.getLocalBounds())), 0);

    page.startInstallation();
    ASSERT_TRUE (runMessageLoopUntil ([&] { return page.installerThread->getState() == HfInstallerThread::Succeeded
                                                   && page.successLabel->isVisible(); }));

    EXPECT_EQ (page.progress, 1.0);
    EXPECT_FALSE (page.progressBar->isVisible());
    EXPECT_FALSE (page.statusLabel->isVisible());
    EXPECT_TRUE (page.successMessageLabel->isVisible());
    EXPECT_EQ (statusOf (page), "Installation successfull");

    // The tick is drawn over the children only now, at its own size 5 pixels below the box's top.
    auto snapshot = page.createComponentSnapshot (page.getLocalBounds());
    EXPECT_GT (whiteIn (snapshot), 100);
    for (int x = 141; x < 192; ++x)
        EXPECT_LT (snapshot.getPixelAt (x, 57).getBrightness(), 0.95f) << "nothing in the box's top 5 rows";
}

TEST (ProgressPage, UpdatesWhileCancelRequestedOrReadyKeepTheRunningDisplay)
{
    TemporaryFolder temp;
    StepInstallProgressComponent page (nullptr);
    auto archive = engine_test::ZipWriter().file ("a.bin", engine_test::bytes (2000)).open();
    page.setTasks ({ InstallationTask (archive, temp.folder.getChildFile ("dest").getFullPathName(), true, false) });
    auto& thread = *page.installerThread;

    for (auto state : { HfInstallerThread::CancelRequested, HfInstallerThread::Ready })
    {
        SCOPED_TRACE (state);
        thread.setState (HfInstallerThread::Running);
        thread.setPhase (HfInstallerThread::Extracting, false);
        page.installerUpdated();
        ASSERT_EQ (statusOf (page), "Extracting files");
        ASSERT_EQ (page.progress, 0.0);

        // The thread moves on, but an update in this state shows none of it.
        thread.setState (state);
        thread.setPhase (HfInstallerThread::CleaningUp, false);
        page.installerUpdated();
        EXPECT_EQ (statusOf (page), "Extracting files");
        EXPECT_EQ (page.progress, 0.0);
    }
}
